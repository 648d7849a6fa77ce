// The printer of gallery drawings. So far it prints nothing.
#pragma once

class Printer {
 public:
  // Becomes The_Printer.
  Printer();
  ~Printer();
  Printer(const Printer&) = delete;
  Printer& operator=(const Printer&) = delete;
};

extern Printer* The_Printer;
