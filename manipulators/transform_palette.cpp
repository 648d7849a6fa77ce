#include "manipulators/transform_palette.h"

#include "toolkit/program_messages.h"
#include "manipulators/shape_transform_window.h"
#include "model/gui_colors.h"
#include "platform/gdi/region.h"
#include "platform/window/message_box.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/tip_window.h"

const std::array<int32_t, 5> Default_Manipulator_Ids = {4401, 4402, 4403, 4404, 4405};

namespace {

int32_t Cell_Side() { return (*The_GUI_Sizes)[11] + 2 * (*The_GUI_Sizes)[25]; }

TRect Palette_Rect(TPoint position, int32_t height) {
  const int32_t width = 2 * Cell_Side() + (*The_GUI_Sizes)[12] + (*The_GUI_Sizes)[29];
  return TRect(position, TSize(width, height));
}

// A tab's data: its section and page.
uint32_t Tab_Data(int32_t section, int32_t page) { return uint32_t(section * 4 + page); }

const char* const Section_Labels[] = {"1", "2", "3", "4", "5+"};

void Hide_Tip() {
  if (The_Tip_Window != nullptr) {
    The_Tip_Window->Hide();
    The_Tip_Window->Cancel();
  }
}

}  // namespace

Transform_Palette::Transform_Palette(TWindow* parent, TPoint position, int32_t height, Manipulator_Editor* editor_,
                                     Palette_Users& users_)
    : Divided_Notebook(parent, Window_Id, Palette_Rect(position, height), (*The_GUI_Sizes)[12], 0x7FFFFFFF),
      editor(editor_),
      users(users_) {
  level = users.Current().level;
  const int32_t s29 = (*The_GUI_Sizes)[29];
  window = new Shape_Transform_Window(this, parent, TPoint(s29, s29), height - 4 * s29);
}

Transform_Palette::~Transform_Palette() = default;

void Transform_Palette::SetupWindow() {
  level = users.Current().level;
  if (Manipulator_Tabs_Level_Table[size_t(level)]) Add_Section_Tabs();
  Section_Count = Has_Tabs() ? Max_Sections : 1;
  Divided_Notebook::SetupWindow();  // creates the page window too
  Load_Source();
  User_File_Exists = Level_File_Exists(users.Current());
  Show(0, 0, true);
}

void Transform_Palette::Add_Section_Tabs() {
  Painting_Held = 1;
  for (int32_t i = 0; i < Max_Sections; ++i) Add_Divider(Section_Labels[i], Tab_Data(i, 0));
  Painting_Held = 0;
}

void Transform_Palette::Paint(TDC& dc, bool erase, TRect& rect) {
  if (The_Tip_Window != nullptr && The_Tip_Window->Shown) {
    TRect tip = The_Tip_Window->Tip_Rect;
    TPoint origin(0, 0);
    ClientToScreen(origin);
    if (tip.Offset_By(-origin.x, -origin.y).Touches(rect)) The_Tip_Window->Hide();
  }
  dc.ExcludeClipRect(window->Window_Rect_In_Parent());
  Divided_Notebook::Paint(dc, erase, rect);
}

void Transform_Palette::Selection_Changed(uint32_t divider, uint32_t, uint32_t data) {
  const int32_t page = int32_t(data % 4);
  Show(int32_t(divider), page, true);
}

bool Transform_Palette::Can_Select(uint32_t, uint32_t) { return editing == nullptr; }

LRESULT Transform_Palette::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == Manipulator_Edited_Message) {
    Edit_Done(int(wp));
    return 0;
  }
  return Divided_Notebook::WindowProc(msg, wp, lp);
}

// ---- Sections

int32_t Transform_Palette::Section_Of(const Shape_Transform& manipulator) const {
  if (Section_Count == 1) return 0;
  return manipulator.Count() - 1 < 5 ? std::max(manipulator.Count() - 1, 0) : 4;
}

int32_t Transform_Palette::Place(Manipulator_Ref manipulator, int32_t* section_out) {
  const int32_t s = Section_Of(*manipulator);
  if (section_out != nullptr) *section_out = s;
  Shape_Transform_Section& section = sections[size_t(s)];
  if (!Manipulator_Tabs_Level_Table[size_t(level)] &&
      section.Last_Page().Count() == Shape_Transform_Page::Slot_Count) {
    return -1;
  }
  const int32_t pages_before = section.Page_Count();
  const int32_t position = section.Add(std::move(manipulator));
  if (position < 0) return -1;
  ++total;
  if (Section_Count > 1 && section.Page_Count() > pages_before) Add_Page_Tab(s, section.Page_Count() - 1);
  return position;
}

void Transform_Palette::Add_Page_Tab(int32_t section, int32_t page) {
  if (!Has_Tabs()) return;
  const std::string label = std::to_string(section + 1) + char('A' + page - 1);
  Add_Sub_Divider(uint32_t(section), label.c_str(), Tab_Data(section, page));
}

bool Transform_Palette::Remove(const Shape_Transform* manipulator,
                               std::unique_ptr<Shape_Transform_Page>* removed_page) {
  if (removed_page != nullptr) removed_page->reset();
  if (manipulator == nullptr) return false;
  const int32_t s = Section_Of(*manipulator);
  Shape_Transform_Section& section = sections[size_t(s)];
  if (section.Total() == 0) return false;
  std::unique_ptr<Shape_Transform_Page> emptied;
  const bool found = section.Remove(manipulator, &emptied);
  if (emptied && Section_Count > 1 && Has_Tabs()) Remove_Entry(uint32_t(s), uint32_t(emptied->Page_Number));
  if (found) {
    --total;
    Modified = true;
  }
  if (removed_page != nullptr) *removed_page = std::move(emptied);
  return found;
}

void Transform_Palette::Clear_All() {
  for (int32_t i = 0; i < Max_Sections; ++i) {
    sections[size_t(i)].Clear();
    if (i < int32_t(Dividers.size())) Remove_Sub_Dividers(uint32_t(i));
  }
  total = 0;
}

// ---- Showing pages

void Transform_Palette::Show(int32_t s, int32_t page, bool repaint) {
  if (s < 0 || s >= Section_Count) s = 0;
  Shape_Transform_Section& section = sections[size_t(s)];
  if (section.Page(page) == nullptr) page = 0;
  window->Show_Page(&section, section.Page(page), repaint);
  Select_Tab(s, page);
}

// Marks the tab selected without another report of the change.
void Transform_Palette::Select_Tab(int32_t s, int32_t page) {
  if (!Has_Tabs()) return;
  const uint32_t sub = Dividers[size_t(s)].Sub_Dividers.empty() ? 0 : uint32_t(page);
  if (Selected_Divider == uint32_t(s) && Selected_Sub == sub) return;
  Selected_Divider = uint32_t(s);
  Selected_Sub = sub;
  if (GetHandle()) Repaint();
}

void Transform_Palette::Reset_Selection() {
  for (auto& section : sections) {
    for (int32_t p = 0; p < section.Page_Count(); ++p) section.Page(p)->Clear_Selection();
  }
  Show(0, 0, true);
}

void Transform_Palette::Select_Section(int32_t n) {
  if (n < 0 || n >= int32_t(Dividers.size()) || editing != nullptr) return;
  if (window->Section() == &sections[size_t(n)] && window->Page() == sections[size_t(n)].Page(0)) return;
  Hide_Tip();
  Show(n, 0, true);
}

void Transform_Palette::Select_Page(int32_t n) {
  Shape_Transform_Section* section = window->Section();
  if (section == nullptr || editing != nullptr || n < 1) return;
  const int32_t page_tabs = section->Page_Count() > 1 ? section->Page_Count() : 0;
  if (n >= page_tabs || section->Page(n) == window->Page()) return;
  Hide_Tip();
  Show(int32_t(section - sections.data()), n, true);
}

void Transform_Palette::Select_Cell(int32_t s, int32_t index) {
  if (s < 0 || s >= Section_Count) return;
  Shape_Transform_Page* page = sections[size_t(s)].Page(index / Shape_Transform_Page::Slot_Count);
  if (page == nullptr) return;
  page->Select_Slot(index % Shape_Transform_Page::Slot_Count);
  Show(s, index / Shape_Transform_Page::Slot_Count, true);
}

void Transform_Palette::Notify_Changed() {
  if (game != nullptr) game->Refresh_Targets();
}

std::shared_ptr<const Transform_Set_2D> Transform_Palette::Selected_Manipulator() const {
  const Shape_Transform_Page* page = window->Page();
  if (page == nullptr) return nullptr;
  const int32_t slot = page->Selected_Slot();
  return slot < 0 ? nullptr : page->Slot(slot);
}

// ---- Walks for the game

Manipulator_Iterator Transform_Palette::First_With_Images(int32_t images) const {
  Manipulator_Iterator it;
  it.images = images;
  if (images != -1) {
    it.section = Section_Count == 1 ? 0 : std::min(std::max(images - 1, 0), 4);
    const Shape_Transform_Section& section = sections[size_t(it.section)];
    it.position = 0;
    while (it.position < section.Total() && section.At(it.position)->Count() != images) ++it.position;
    return it;
  }
  it.section = 0;
  while (it.section < Section_Count && sections[size_t(it.section)].Total() == 0) ++it.section;
  it.position = 0;
  return it;
}

Manipulator_Ref Transform_Palette::Next_With_Images(Manipulator_Iterator& it) const {
  if (it.section < 0 || it.section >= Section_Count) return nullptr;
  const Shape_Transform_Section& section = sections[size_t(it.section)];
  if (it.position < 0 || it.position >= section.Total()) return nullptr;
  const Shape_Transform_Page* page = section.Page(it.position / Shape_Transform_Page::Slot_Count);
  Manipulator_Ref found = page->Slot(it.position % Shape_Transform_Page::Slot_Count);
  ++it.position;
  if (it.images != -1) {
    while (it.position < section.Total() && section.At(it.position)->Count() != it.images) ++it.position;
  } else if (it.position >= section.Total()) {
    ++it.section;
    while (it.section < Section_Count && sections[size_t(it.section)].Total() == 0) ++it.section;
    it.position = 0;
  }
  return found;
}

// ---- Screen points for the demonstrations

TPoint Transform_Palette::Slot_Screen_Points(int32_t s, int32_t index, TPoint* tab_point) const {
  if (tab_point != nullptr) {
    *tab_point = TPoint(0, 0);
    if (Has_Tabs() && s >= 0 && s < int32_t(Dividers.size())) {
      const Notebook_Divider& d = Dividers[size_t(s)];
      const size_t page = size_t(index / Shape_Transform_Page::Slot_Count);
      const TRect r = page < d.Sub_Dividers.size() ? d.Sub_Dividers[page].Rect : d.Rect;
      TPoint p((r.left + r.right) / 2, (3 * r.top + r.bottom) / 4);
      ClientToScreen(p);
      *tab_point = p;
    }
  }
  return window->Slot_Screen_Point(index % Shape_Transform_Page::Slot_Count);
}

TPoint Transform_Palette::Current_Tab_Screen_Point() const {
  if (!Has_Tabs()) return TPoint(0, 0);
  const Notebook_Divider& d = Dividers[Selected_Divider];
  const TRect r = d.Sub_Dividers.empty() ? d.Rect : d.Sub_Dividers[Selected_Sub].Rect;
  TPoint p((r.left + r.right) / 2, (3 * r.top + r.bottom) / 4);
  ClientToScreen(p);
  return p;
}

// ---- Helpers

int Transform_Palette::Ask(const std::string& text, const std::string& caption, UINT type) const {
  return ::MessageBox(Parent != nullptr ? Parent->GetHandle() : GetHandle(), text, caption, type | MB_ICONQUESTION);
}

void Transform_Palette::Stop(const std::string& text, const std::string& caption) const {
  ::MessageBox(Parent != nullptr ? Parent->GetHandle() : GetHandle(), text, caption, MB_OK | MB_ICONSTOP);
}

void Transform_Palette::Make_Diagram(Shape_Transform& manipulator) const { window->Make_Diagram(manipulator); }
