// Whoever shows the current user's name, level and points (the frame's
// caption). Lower parts that change what it shows (points earned, a
// demonstration starting or ending) tell it through this face; the
// application hands itself in at start-up.
#pragma once

class Caption_Owner {
 public:
  virtual void Update_Caption() = 0;

 protected:
  ~Caption_Owner() = default;
};

// Null while nothing shows a caption.
extern Caption_Owner* The_Caption_Owner;
