// The palette's commands from the page window's menu and buttons, and the
// return from the manipulator editor.
#include <filesystem>

#include "manipulators/shape_transform_window.h"
#include "manipulators/transform_palette.h"
#include "platform/window/cursor.h"
#include "platform/window/user.h"
#include "toolkit/small_utilities.h"

namespace {

const char Overwrite_Note[] = "\n(previously saved manipulators will be overwritten)";

class Busy_Cursor {
 public:
  Busy_Cursor() : previous(SetCursor(Program_Busy_Cursor())) {}
  ~Busy_Cursor() { SetCursor(previous != nullptr ? previous : &TCursor::Arrow()); }
  Busy_Cursor(const Busy_Cursor&) = delete;
  Busy_Cursor& operator=(const Busy_Cursor&) = delete;

 private:
  const TCursor* previous;
};

}  // namespace

void Transform_Palette::Open_Editor() {
  if (editor != nullptr) editor->Open(*editing, editing->Name_Buffer(), *this);
}

void Transform_Palette::Release_Editing() {
  editing.reset();
  editing_source.reset();
  editing_new = false;
}

void Transform_Palette::New() {
  editing = std::make_unique<Shape_Transform>();
  editing_source.reset();
  editing_new = true;
  edited_images = 0;
  Open_Editor();
}

void Transform_Palette::Edit(const Shape_Transform& manipulator) {
  editing = std::make_unique<Shape_Transform>(manipulator);
  editing_source.reset();
  for (int32_t s = 0; s < Section_Count; ++s) {
    const int32_t position = sections[size_t(s)].Position_Of(&manipulator);
    if (position < 0) continue;
    const Shape_Transform_Page* page = sections[size_t(s)].Page(position / Shape_Transform_Page::Slot_Count);
    editing_source = page->Slot(position % Shape_Transform_Page::Slot_Count);
  }
  edited_images = manipulator.Count();
  editing_new = false;
  Open_Editor();
}

void Transform_Palette::Duplicate(const Shape_Transform& manipulator) {
  auto copy = std::make_shared<Shape_Transform>(manipulator);
  if (manipulator.Name()[0] != '\0') copy->Set_Name(std::string("copy of ") + manipulator.Name());
  Shape_Transform* placed = copy.get();
  int32_t s = 0;
  const int32_t position = Place(std::move(copy), &s);
  if (position < 0) {
    Stop("There is no room to store the copy", "");
    return;
  }
  Make_Diagram(*placed);
  Select_Cell(s, position);
  window->Post_Selected(false);
  Modified = true;
  Notify_Changed();
}

void Transform_Palette::Delete(const Shape_Transform* manipulator) {
  if (manipulator == nullptr) return;
  Shape_Transform_Page* shown = window->Page();
  Shape_Transform_Section* shown_section = window->Section();
  std::unique_ptr<Shape_Transform_Page> removed;
  if (!Remove(manipulator, &removed)) return;
  if (removed && removed.get() == shown) {
    const int32_t s = int32_t(shown_section - sections.data());
    Show(s, shown_section->Page_Count() - 1, true);
  } else {
    window->Invalidate(false);
  }
  // The drawing keeps its own reference; it is told the selection changed.
  window->Post_Selected(false);
  Modified = true;
  Notify_Changed();
}

void Transform_Palette::Save_Changes() {
  if (Source_Id != File_Source && User_File_Exists &&
      Ask("Overwrite previously saved manipulator changes?", "Save Changes", MB_YESNO) != IDYES) {
    return;
  }
  Write_User_File(users.Current());
}

void Transform_Palette::Undo_Changes() {
  if (Modified && Ask("Recent shape manipulator changes will be lost, proceed?", "Undo Changes", MB_YESNO) != IDYES) {
    return;
  }
  Busy_Cursor busy;
  if (!Reload()) return;
  Show(0, 0, true);
  Modified = false;
  Notify_Changed();
}

void Transform_Palette::Recall_Original() {
  const Palette_Users::Person user = users.Current();
  if (Modified && users.Data_Directory_Writable()) {
    std::string text = "Save customized shape manipulators for future use?";
    if (User_File_Exists && Source_Id != File_Source) text += Overwrite_Note;
    const int answer = Ask(text, "Recall Original", MB_YESNOCANCEL);
    if (answer == IDCANCEL) return;
    if (answer == IDYES) {
      if (!Write_User_File(user)) return;
      User_File_Exists = true;
    }
  } else if (users.Data_Directory_Writable() && User_File_Exists) {
    if (Ask("Retain customized shape manipulators for future use?", "Recall Original", MB_YESNO) == IDNO) {
      if (Recycle_File(users.File_Path(user.name, user.level))) User_File_Exists = false;
    }
  }
  Busy_Cursor busy;
  if (!Load_Defaults()) return;
  Show(0, 0, true);
  Modified = false;
  Source_Id = Default_Manipulator_Ids[size_t(level)];
  Source_Name.clear();
  Notify_Changed();
}

void Transform_Palette::Recall_Custom() {
  if (Modified && Ask("Recent changes will be lost, proceed?", "Recall Custom", MB_YESNO) != IDYES) return;
  Busy_Cursor busy;
  const Palette_Users::Person user = users.Current();
  const bool flag_was = users.File_Flag(user.name, user.level);
  users.Set_File_Flag(user.name, user.level, true);
  const auto [id, name] = Manipulator_Source(user);
  if (id != File_Source || !Read_File(name)) {
    // Nothing was read: the flag and the source stay as they were.
    users.Set_File_Flag(user.name, user.level, flag_was);
    return;
  }
  Source_Id = id;
  Source_Name = name;
  Show(0, 0, true);
  Modified = false;
  Notify_Changed();
}

void Transform_Palette::Edit_Done(int code) {
  if (editing == nullptr) return;
  Manipulator_Ref source = editing_source.lock();
  const bool is_new = editing_new || source == nullptr;

  if (code == 1 && editing->Count() > 0) {
    auto copy = std::shared_ptr<Shape_Transform>(editing.release());
    Make_Diagram(*copy);
    const bool moves = !is_new && Section_Count > 1 && copy->Count() != edited_images &&
                       Section_Of(*copy) != Section_Of(*source);
    if (is_new || moves) {
      // The original is removed only once its copy has a place: a full
      // section keeps the original as it was.
      const int32_t target = Section_Of(*copy);
      const bool room = Section_Count > 1 ? sections[size_t(target)].Total() < Shape_Transform_Section::Max_Pages * 10
                                          : sections[0].Last_Page().Count() < Shape_Transform_Page::Slot_Count;
      if (!room) {
        if (Section_Count > 1) {
          editing.reset(new Shape_Transform(*copy));
          Open_Editor();
          Stop("The isn't room for another shape manipulator with " + std::to_string(copy->Count()) + " images.",
               "WARNING");
        } else {
          Release_Editing();
          Stop("There is no room to store the new shape manipulator", "");
        }
        return;
      }
      if (moves) {
        std::unique_ptr<Shape_Transform_Page> removed;
        Remove(source.get(), &removed);
        if (removed && removed.get() == window->Page()) Show(0, 0, false);
      }
      int32_t s = 0;
      Shape_Transform* placed = copy.get();
      const int32_t position = Place(std::move(copy), &s);
      Make_Diagram(*placed);
      Release_Editing();
      Select_Cell(s, position);
    } else {
      // The copy takes its original's slot.
      for (auto& section : sections) {
        const int32_t position = section.Position_Of(source.get());
        if (position < 0) continue;
        section.Page(position / Shape_Transform_Page::Slot_Count)
            ->Exchange(position % Shape_Transform_Page::Slot_Count, copy);
      }
      Release_Editing();
      window->Invalidate(false);
    }
    window->Post_Selected(false);
    Modified = true;
    Notify_Changed();
    return;
  }
  const bool kept_empty = code == 1;
  Release_Editing();
  if (kept_empty) {
    if (!is_new) Delete(source.get());
    Modified = true;
    Notify_Changed();
    return;
  }
  if (!is_new) window->Invalidate(false);
}
