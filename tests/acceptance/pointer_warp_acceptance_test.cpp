// The warp a drag asks for at its end, on a real X display: made only while
// the pointer is still where the drag last saw it, so that a hand that has
// moved on since keeps its place.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "platform/backend/sdl/sdl_backend.h"
#include "platform/window/desktop.h"
#include "platform/window/window.h"
#include "tests/acceptance/acceptance_support.h"

namespace {

const TSize Screen_Size(640, 480);

// Where the X server has the pointer now, as another client asks it.
TPoint Pointer() {
  TPoint p(-1, -1);
  std::unique_ptr<FILE, int (*)(FILE*)> out(popen("xdotool getmouselocation", "r"), pclose);
  if (out && std::fscanf(out.get(), "x:%d y:%d", &p.x, &p.y) != 2) p = TPoint(-1, -1);
  return p;
}

// Moves the pointer as a hand does, and waits until the server has it there.
bool Hand_To(TPoint p) {
  Xdotool("mousemove " + std::to_string(p.x) + " " + std::to_string(p.y));
  return Wait_While_Progressing([&] { return Pointer() == p; });
}

}  // namespace

TEST(Pointer_Warp_Acceptance, A_Warp_Moves_The_Pointer_Only_From_Where_It_Is) {
  if (!In_Child_On_Screen(Screen_Size.cx, Screen_Size.cy)) return;
  // The window covers the screen from its top-left corner: its points are
  // the screen's.
  std::unique_ptr<TSDL_Backend> opened = TSDL_Backend::Open(std::nullopt);
  ASSERT_TRUE(opened) << "no display";
  TSDL_Backend& backend = *opened;
  TDesktop::Start(std::move(opened));
  {
    // The window is shown with the first presentation of the screen.
    TWindow shown(nullptr);
    shown.Attr.W = Screen_Size.cx;
    shown.Attr.H = Screen_Size.cy;
    ASSERT_TRUE(shown.Create());
    TDesktop::Current().Run_Loop([&] { return backend.Present_Count() > 0; });
    backend.Wait_Until_Shown();
    const TPoint a(200, 150), b(260, 150), to(400, 300);
    ASSERT_TRUE(Hand_To(a)) << "the pointer never came to " << a.x << "," << a.y;
    // Asked from where the hand no longer is: the pointer stays. Once the
    // server has handled the request, another client sees where it is.
    backend.Warp_Pointer_From(b, to);
    backend.Wait_Until_Shown();
    EXPECT_EQ(At(Pointer()), At(a)) << "a warp from where the pointer is not moved it";
    // Asked from where it is: it moves.
    backend.Warp_Pointer_From(a, to);
    backend.Wait_Until_Shown();
    EXPECT_EQ(At(Pointer()), At(to)) << "a warp from where the pointer is did not move it";
  }
  TDesktop::Stop();
}
