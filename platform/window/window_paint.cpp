// Painting: window regions, update regions, visible regions and WM_PAINT.
//
// Every window draws straight into the one screen. What a window may touch is
// its visible region: its rectangle (or client rectangle), cut by its window
// region, by each ancestor's client area and region, by every window above it
// (higher siblings at each level, and top-level windows in front) and, with
// WS_CLIPCHILDREN, by its own visible children. A window without
// WS_CLIPCHILDREN paints over its children, so invalidating it invalidates
// the children under the same area as well, and parents are painted before
// their children.
#include <algorithm>
#include <mutex>

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/region.h"
#include "platform/window/desktop.h"
#include "platform/window/screen.h"
#include "platform/window/window.h"
#include "platform/window/window_dc.h"

namespace {

// The desktop behind every window.
constexpr uint32_t Desktop_Color = 0x00203040;

}  // namespace

// ---- Regions of a window

void TWindow::SetWindowRgn(const TRegion* region, bool redraw) {
  bool on_screen = handle_ && IsWindowVisible();
  TRect old = GetWindowRect();
  {
    std::lock_guard tree(TDesktop::Current().Tree_Lock());
    if (region) window_region_ = std::make_shared<TRegion>(*region);
    else window_region_.reset();
  }
  if (!on_screen) return;
  TDesktop::Current().Layout_Changed();
  if (redraw) {
    TDesktop::Current().Expose(old, this);
    RedrawWindow(nullptr, true);
  }
}

bool TWindow::Shape_Contains(TPoint window_point) const {
  return !window_region_ || window_region_->Contains(window_point);
}

TRegion TWindow::Shape_At(const TRect& r) const {
  TRegion shape(r);
  if (window_region_) {
    TRegion cut = *window_region_;
    cut.Offset(r.left, r.top);
    shape &= cut;
  }
  return shape;
}

TRegion TWindow::Screen_Shape() const { return Shape_At(GetWindowRect()); }

TRegion TWindow::Shape_In_Parent() const { return Shape_At(Window_Rect_In_Parent()); }

TRegion TWindow::Visible_Region(bool client_only, bool exclude_children) const {
  if (!handle_ || !IsWindowVisible()) return TRegion();
  TDesktop& desk = TDesktop::Current();
  TRegion vis = Screen_Shape();
  if (client_only) vis &= TRegion(GetClientRect().Offset_By(Client_Screen_Origin().x, Client_Screen_Origin().y));
  vis &= TRegion(desk.Screen().Bounds());
  // Up the tree: each ancestor's client area and shape, and the siblings in
  // front at every level.
  const TWindow* w = this;
  while (w->Is_Child() && w->Parent) {
    const TWindow* parent = w->Parent;
    TPoint o = parent->Client_Screen_Origin();
    vis &= TRegion(parent->GetClientRect().Offset_By(o.x, o.y));
    vis &= parent->Screen_Shape();
    for (const TWindow* sibling : parent->z_order_) {
      if (sibling == w) break;
      if (sibling->Attr.Style & WS_VISIBLE) vis -= sibling->Screen_Shape();
    }
    w = parent;
  }
  for (const TWindow* top : desk.Top_Levels()) {
    if (top == w) break;
    if (top->Attr.Style & WS_VISIBLE) vis -= top->Screen_Shape();
  }
  if (exclude_children)
    for (const TWindow* child : z_order_)
      if (child->Attr.Style & WS_VISIBLE) vis -= child->Screen_Shape();
  return vis;
}

// ---- Update regions

void TWindow::Add_Update(const TRegion& client_region, bool erase, bool all_children) {
  // Other threads may ask whether an update is pending.
  std::lock_guard tree(TDesktop::Current().Tree_Lock());
  TRegion r = client_region;
  r &= TRegion(GetClientRect());
  if (r.IsEmpty()) return;
  if (!update_region_) update_region_ = std::make_shared<TRegion>();
  *update_region_ |= r;
  erase_pending_ = erase_pending_ || erase;
  TDesktop::Current().Paint_Pending(this, true);
  // Painting this window covers its children there: they paint again after.
  if ((Attr.Style & WS_CLIPCHILDREN) && !all_children) return;
  for (TWindow* child : z_order_) {
    if (!(child->Attr.Style & WS_VISIBLE)) continue;
    TRegion part = r;
    TPoint o = child->Window_Rect_In_Parent().TopLeft() + child->Client_Origin();
    part.Offset(-o.x, -o.y);
    child->Add_Update(part, erase, all_children);
  }
}

void TWindow::RedrawWindow(const TRegion* client_region, bool erase) {
  if (!handle_ || !IsWindowVisible()) return;
  Add_Update(client_region ? *client_region : TRegion(GetClientRect()), erase, true);
}

void TWindow::Invalidate(bool erase) { InvalidateRect(GetClientRect(), erase); }

void TWindow::InvalidateRect(const TRect& client_rect, bool erase) {
  if (!handle_ || !IsWindowVisible()) return;
  Add_Update(TRegion(client_rect), erase);
}

void TWindow::InvalidateRgn(const TRegion& client_region, bool erase) {
  if (!handle_ || !IsWindowVisible()) return;
  Add_Update(client_region, erase);
}

void TWindow::Validate() {
  std::unique_lock<std::recursive_mutex> tree;
  if (TDesktop::Running()) tree = std::unique_lock(TDesktop::Current().Tree_Lock());
  update_region_.reset();
  erase_pending_ = false;
  if (TDesktop::Running()) TDesktop::Current().Paint_Pending(this, false);
}

void TWindow::ValidateRect(const TRect& client_rect) {
  std::lock_guard tree(TDesktop::Current().Tree_Lock());
  if (!update_region_) return;
  *update_region_ -= TRegion(client_rect);
  if (update_region_->IsEmpty()) Validate();
}

bool TWindow::Has_Update() const {
  std::lock_guard tree(TDesktop::Current().Tree_Lock());
  return update_region_ && !update_region_->IsEmpty();
}

bool TWindow::GetUpdateRect(TRect& rect) const {
  std::lock_guard tree(TDesktop::Current().Tree_Lock());
  rect = Has_Update() ? update_region_->Bounds() : TRect();
  return Has_Update();
}

std::pair<TRegion, bool> TWindow::Begin_Paint() {
  std::lock_guard tree(TDesktop::Current().Tree_Lock());
  std::pair<TRegion, bool> taken{update_region_ ? *update_region_ : TRegion(), erase_pending_};
  Validate();
  return taken;
}

void TWindow::UpdateWindow() {
  if (handle_ && Has_Update()) SendMessage(WM_PAINT);
}

void TWindow::EvPaint() {
  TPaintDC dc(*this);
  Paint(dc, dc.Erase(), dc.Rect());
}

void TWindow::Paint_Border() {
  TRect area = Client_Area();
  if (area.TopLeft() == TPoint(0, 0) || !IsWindowVisible()) return;
  TWindowDC dc(*this);
  TBrush black(TColor(0, 0, 0));
  dc.FrameRect({0, 0, Attr.W, Attr.H}, black);
}

bool TWindow::EvEraseBkgnd(TDC& dc) {
  TBrush white(TColor(255, 255, 255));
  dc.FillRect(GetClientRect(), white);
  return true;
}

// ---- The desktop's side

void TDesktop::Expose(const TRect& screen_rect, const TWindow* leaving) {
  TRect area = screen_rect.Intersection(screen_->Bounds());
  if (area.IsEmpty()) return;
  auto inside = [&](const TWindow* w) {
    for (const TWindow* a = w; a; a = a->Parent)
      if (a == leaving) return true;
    return false;
  };
  if (leaving && leaving->Is_Child() && leaving->Parent) {
    // The parent and the siblings under the one leaving repaint their share
    // (the one leaving is hidden or gone by now, or repaints itself).
    TWindow* parent = leaving->Parent;
    TRegion r(area.Offset_By(-parent->Client_Screen_Origin().x, -parent->Client_Screen_Origin().y));
    parent->RedrawWindow(&r, true);
    return;
  }
  TRegion uncovered(area);
  for (TWindow* top : top_levels_) {
    if (inside(top) || !top->IsWindowVisible()) continue;
    TRegion shape = top->Screen_Shape();
    if (!shape.Touches(area)) continue;
    uncovered -= shape;
    TPoint o = top->Client_Screen_Origin();
    TRegion r(area.Offset_By(-o.x, -o.y));
    top->RedrawWindow(&r, true);
    // A frame's caption is outside its client area.
    if (top->Client_Origin() != TPoint(0, 0)) top->WindowProc(WM_NCPAINT, 0, 0);
  }
  Paint_Desktop(uncovered);
}

void TDesktop::Paint_Desktop(const TRegion& screen_region) {
  if (screen_region.IsEmpty()) return;
  std::lock_guard guard(screen_->Lock());
  TSurface& s = *screen_->Surface();
  for (const TRect& r : screen_region.Rects()) {
    TRect c = r.Intersection(s.Bounds());
    for (int y = c.top; y < c.bottom; ++y) std::fill(s.Row32(y) + c.left, s.Row32(y) + c.right, Desktop_Color);
    screen_->Mark_Changed(c);
  }
}

void TDesktop::Register_Binding(const std::shared_ptr<TDevice_Binding>& binding, TWindow* window, TDC_Kind kind,
                                bool clip_children) {
  // A context may be made on this thread and handed to another (an
  // animation's player): whichever thread draws, drawing off this thread
  // marks what it touched, which wakes the loop to present it. Drawing on
  // this thread is shown when the loop has handled what it was doing.
  binding->Set_Drawn([screen = screen_.get(), ui = ui_thread_](const TRect& touched) {
    if (std::this_thread::get_id() != ui) screen->Mark_Changed(touched);
  });
  std::lock_guard guard(bindings_lock_);
  bindings_.push_back({binding, window, kind, clip_children});
}

void TDesktop::Release_Binding(const TDevice_Binding* binding, std::optional<TRect> limit) {
  std::lock_guard guard(bindings_lock_);
  for (auto it = bindings_.begin(); it != bindings_.end(); ++it) {
    auto live = it->binding.lock();
    if (live.get() != binding) continue;
    // What it drew is shown at the next presentation.
    if (live->Is_Valid()) {
      TRect r = live->Visible() ? live->Visible()->Bounds() : screen_->Bounds();
      if (limit) r = r.Intersection(*limit);
      screen_->Mark_Changed(r);
    }
    bindings_.erase(it);
    return;
  }
}

void TDesktop::Refresh_Binding(TDevice_Binding& binding, TWindow* window, TDC_Kind kind, bool clip_children) {
  if (kind == TDC_Kind::Screen) return;
  if (!window || !Window(window->GetHandle())) {
    binding.Invalidate();
    return;
  }
  bool client = kind == TDC_Kind::Client;
  binding.Set_Origin(client ? window->Client_Screen_Origin() : window->GetWindowRect().TopLeft());
  binding.Set_Visible(window->Visible_Region(client, clip_children));
}

void TDesktop::Refresh_Bindings() {
  // Always the tree first, then the bindings (a worker making a context
  // takes them in that order too).
  std::lock_guard tree(tree_lock_);
  std::lock_guard guard(bindings_lock_);
  for (auto it = bindings_.begin(); it != bindings_.end();) {
    auto live = it->binding.lock();
    if (!live) {
      it = bindings_.erase(it);
      continue;
    }
    if (it->window && !Window(it->window->GetHandle())) {
      live->Invalidate();
      it->window = nullptr;
    } else if (it->window) {
      Refresh_Binding(*live, it->window, it->kind, it->clip_children);
    }
    ++it;
  }
}
