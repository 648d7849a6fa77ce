// The gallery's link to the desktop clipboard: a drop point (fixed slot 1)
// that puts the drawing dropped on it on the clipboard, whole, as a PNG
// picture, and shows its miniature on a picture of a clipboard. The drawing
// in slot 1 stands for what the clipboard holds: when it is dragged into
// the bin the clipboard is emptied, and when another program changes the
// clipboard the slot lets its drawing go.
#pragma once

#include <cstdint>

#include "gallery/gallery_io_point.h"
#include "platform/system/clipboard_service.h"
#include "platform/window/response_table.h"

class Shape_Drawing;

class Clipboard_IO : public Gallery_IO_Point {
 public:
  // What the clipboard service's watch posts to the point.
  static constexpr UINT Clipboard_Changed_Message = WM_USER + 0x7A;
  static constexpr int Clip_Picture = 11;  // metafile slot

  // rect: in the gallery window's client coordinates.
  Clipboard_IO(Gallery_Window* gallery, const TRect& rect);
  ~Clipboard_IO() override;

  void SetupWindow() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  bool Find(TEventInfo& info) override;

  Drawing_Place My_Place() const override;
  void Accept_Drop(const Drawing_Place& source) override;
  void Given_Away() override;
  bool Pick_Up(const TPoint& point, Drawing_Place& place, TRect& rectangle) override;
  void Show_Picked_Up(const Drawing_Place& place) override;

  // The PNG the clipboard gets for a picture: all its pixels, each row read
  // at the bitmap's own stride, with the program palette's colours.
  static TClipboard_Service::TPicture Picture_Png(Shape_Drawing& picture);
  // The service in use: one a test installed, else the display's.
  static TClipboard_Service& Service();

  // ---- State, readable by tests
  const TRect& Miniature_Area() const { return miniature_area; }
  bool Own_Change() const { return own_change != 0; }

 private:
  LRESULT Ev_Clipboard_Changed(WPARAM, LPARAM);
  void Draw_Board();

  TRect miniature_area;
  uint8_t own_change = 0;
  bool watching = false;

  static const TResponse_Table<Clipboard_IO> Table;
};
