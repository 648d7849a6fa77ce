// The current user of the Name and Level dialog standing on the staircase:
// the name in the user's colour and font (a disc for the unnamed default
// user), moved over the level window as a sprite.
#pragma once

#include <memory>
#include <string>

#include "platform/gdi/color.h"
#include "platform/gdi/font.h"
#include "toolkit/mobile_object.h"

class User;

class User_Avatar : public Mobile_Object {
 public:
  User_Avatar(int body_width_, int longest_name_width_);

  // Takes the user's name, shortened to fit (at a blank when it can), its
  // colour and its font, or font when the user has none.
  void Set_User(const User& user, const TFont& font);
  void Draw(TDC& dc, const TRect& rect) override;

  // The box whose bottom-right corner (the foot) is at foot, and the body:
  // the box narrowed to the body width.
  TRect Box_At(TPoint foot) const;
  TRect Body_At(TPoint foot) const;
  const std::string& Shown_Name() const { return shown_name; }

  int body_width;
  int longest_name_width;

 private:
  std::string shown_name;
  int name_width = 0;
  int name_height = 0;
  std::unique_ptr<TFont> font;
  TColor color;
};
