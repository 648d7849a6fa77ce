// The window that asked for a print job: the printer tells it, on the
// user-interface thread, when the job is well under way and when it ended.
#pragma once

class Printout;

class Printer_Client {
 public:
  // At most once per job: the job was seen at the printer and was still
  // there at the next on-time five-second look.
  virtual void Job_Printing(Printout* printout) { (void)printout; }
  // Once per job: printed, failed, removed or cancelled; the client takes
  // its printout back.
  virtual void Job_Ended(Printout* printout) { (void)printout; }

 protected:
  ~Printer_Client() = default;
};
