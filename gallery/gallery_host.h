// Where the gallery hands its choice back: the frame that opened it.
#pragma once

class Shape_Drawing;

class Gallery_Host {
 public:
  // The gallery closes; drawing is the one chosen, or null. The host copies it.
  virtual void Leave_Gallery(const Shape_Drawing* drawing) = 0;
  // The gallery's Name and Level button: the frame's change of user.
  virtual int Change_User() = 0;

 protected:
  ~Gallery_Host() = default;
};
