// The review panel over the drawing window: the state chosen shown large in
// the middle and the next twelve older states as small round pictures on a
// spiral round it, stepped through with the corners, the keys or a click,
// then kept ("OK") or let go ("Cancel").
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "model/shape_drawing.h"
#include "toolkit/round_window.h"

class Virtual_Drawing;

class Review_Window : public Round_Window {
 public:
  static constexpr int Window_Id = 1900;
  static constexpr int Cell_Count = 13;
  static constexpr int Page = 12;

  Review_Window(TWindow* parent, const TRect& rect);
  ~Review_Window() override;

  void SetupWindow() override;
  void EvKeyDown(UINT key, UINT repeat_count, UINT flags) override;
  UINT EvGetDlgCode(const MSG*) override { return 133; }
  bool PreProcessMsg(MSG&) override { return false; }

  // The frames are lent, position 0 the current state, count - 1 the oldest.
  void Set_Frames(Shape_Drawing** frames, Virtual_Drawing** frame_pieces, int32_t count, int32_t position);
  Shape_Drawing* Shown_Frame() const;

  void Older();
  void Newer();
  void Older_Page();
  void Newer_Page();
  void Oldest();
  void Newest();

  void Corner_Pressed(int corner) override;
  void Corner_Clicked(int corner) override;
  void Client_Button_Down(UINT keys, const TPoint& point) override;
  bool Is_Corner_Enabled(int corner) override;
  void Paint_Client(TDC& dc) override;
  void Draw_Frames(TDC& dc);

  std::unique_ptr<Shape_Drawing> display;
  std::unique_ptr<Shape_Drawing> thumb;
  Shape_Drawing** frames = nullptr;
  Virtual_Drawing** frame_pieces = nullptr;
  std::vector<std::unique_ptr<Shape_Drawing>> thumbnails;
  int32_t count = 0;
  int32_t position = 0;
  std::array<TRect, Cell_Count> cell_frame;
  std::array<TRect, Cell_Count> cell;

 private:
  void Move_To(int32_t new_position);
  void Finish(int code);
  // The small picture of frame, made on first need.
  Shape_Drawing& Thumbnail(int32_t frame);
};
