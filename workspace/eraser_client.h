// The one operation through which the eraser takes back a window's newest
// change. A window that makes a change that can be taken back makes itself
// the eraser's client (Eraser::Attach) with the colour of that change.
#pragma once

class Eraser_Client {
 public:
  Eraser_Client() = default;
  Eraser_Client(const Eraser_Client&) = delete;
  Eraser_Client& operator=(const Eraser_Client&) = delete;
  // A client that goes leaves the eraser, so a click never reaches it.
  virtual ~Eraser_Client();

  // Takes back the newest change; true when something was taken back.
  virtual bool Erase() { return false; }
};
