// The headless backend: no window at all. Time is a virtual clock that moves
// only when a test advances it (or when the loop would otherwise sleep
// until a timer: the wait then jumps the clock to it); input is what tests
// inject; the screen is read back as pixels or written as a PNG.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/system/clock.h"
#include "platform/window/backend.h"

class THeadless_Backend : public TBackend {
 public:
  explicit THeadless_Backend(TSize screen = {1024, 768});

  TSize Screen_Size() const override { return size_; }
  TClock& Clock() override { return clock_; }
  TVirtual_Clock& Virtual_Clock() { return clock_; }

  void Poll(std::vector<TInput_Event>& out) override;
  void Wait(uint32_t timeout_ms) override;
  void Wake() override;
  void Present(const TScreen& screen, const std::vector<TRect>& changed, const TCursor_Image* cursor,
               TPoint cursor_pos) override;
  void Warp_Pointer(TPoint p) override;
  void Warp_Pointer_From(TPoint from, TPoint to) override;
  void Confine_Pointer(const TRect& r) override { confined_to_ = r; }
  void Set_Title(const std::string& title) override { title_ = title; }
  void Set_Icon(TSize size, const std::vector<uint32_t>&) override { icon_size_ = size; }
  void Add_Icon(TSize size, const std::vector<uint32_t>&) override { small_icon_size_ = size; }
  TSize Icon_Size() const { return icon_size_; }
  TSize Small_Icon_Size() const { return small_icon_size_; }
  void Set_Minimised(bool m) override { minimised_ = m; }
  void Hold_Screen_Saver(bool hold) override { saver_held_ = hold; }

  // ---- For tests (Inject is safe from any thread)
  void Inject(const TInput_Event& event);
  void Move_To(TPoint p);
  void Press(TPoint p, uint8_t button = TInput_Event::Left);
  void Release(TPoint p, uint8_t button = TInput_Event::Left);
  void Click(TPoint p, uint8_t button = TInput_Event::Left);
  void Key_Down(uint32_t vk, bool repeat = false);
  void Key_Up(uint32_t vk);
  void Key(uint32_t vk);
  void Leave_Screen(TPoint outside);
  // Where the hand has put the pointer: the point of the last pointer event
  // injected, or of a warp. Hand_To moves it there before its event comes.
  TPoint Pointer();
  void Hand_To(TPoint p);

  int Present_Count() const { return present_count_; }
  const std::vector<TRect>& Last_Changed() const { return last_changed_; }
  // The last presented picture with the cursor drawn over it (0x00RRGGBB).
  const std::vector<uint32_t>& Presented() const { return presented_; }
  uint32_t Presented_Pixel(int x, int y) const { return presented_[size_t(y) * size_.cx + x]; }
  // The presented pixels of r, row by row.
  std::vector<uint32_t> Presented_Pixels(const TRect& r) const {
    std::vector<uint32_t> pixels;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) pixels.push_back(Presented_Pixel(x, y));
    return pixels;
  }
  bool Write_Presented_PNG(const std::string& path) const;
  TPoint Warped_To() const { return warped_to_; }
  TRect Confined_To() const { return confined_to_; }
  const std::string& Title() const { return title_; }
  bool Minimised() const { return minimised_; }
  bool Screen_Saver_Held() const { return saver_held_; }
  // How long an unbounded wait may take in real time before the test is
  // deemed stuck (it then aborts with a message rather than hang).
  void Set_Stuck_Limit_Ms(uint32_t ms) { stuck_limit_ms_ = ms; }

 private:
  TSize size_;
  TVirtual_Clock clock_;
  std::mutex lock_;
  std::condition_variable woken_;
  bool wake_pending_ = false;
  std::deque<TInput_Event> injected_;
  TPoint pointer_;
  int present_count_ = 0;
  std::vector<TRect> last_changed_;
  std::vector<uint32_t> screen_copy_;
  std::vector<uint32_t> presented_;
  TPoint warped_to_{-1, -1};
  TRect confined_to_;
  std::string title_;
  TSize icon_size_;
  TSize small_icon_size_;
  bool minimised_ = false;
  bool saver_held_ = false;
  uint32_t stuck_limit_ms_ = 30000;
};
