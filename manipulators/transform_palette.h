// The manipulator palette: the panel that keeps every manipulator the
// current user can apply, in five image-count sections of up to four pages
// (levels 4 and 5) or one page (levels 1 to 3), shown a page at a time by
// its page window. It loads the level's built-in set or the user's own file,
// saves, undoes and recalls, asks before losing changes and takes back what
// the manipulator editor made.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "manipulators/palette_links.h"
#include "manipulators/shape_transform_section.h"
#include "toolkit/divided_notebook.h"
#include "users/level_tables.h"

class ipstream;
class opstream;
class Shape_Transform_Window;

// The built-in set of each level index (0 to 4).
extern const std::array<int32_t, 5> Default_Manipulator_Ids;
// Added to the save questions when the user's own file would be replaced.
inline constexpr char Overwrite_Note[] = "\n(previously saved manipulators will be overwritten)";

// A walk over the manipulators with a given number of images (-1: all).
struct Manipulator_Iterator {
  int32_t images = -1;
  int32_t section = 0;
  int32_t position = 0;
};

class Transform_Palette : public Divided_Notebook {
 public:
  static constexpr int Window_Id = 2800;
  static constexpr int32_t Max_Sections = 5;
  static constexpr int32_t File_Source = -2;
  static constexpr int32_t No_Source = -1;

  Transform_Palette(TWindow* parent, TPoint position, int32_t height, Manipulator_Editor* editor,
                    Palette_Users& users);
  ~Transform_Palette() override;

  void Set_Game(Palette_Game* game_) { game = game_; }

  void SetupWindow() override;
  bool CanClose() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  void Selection_Changed(uint32_t divider, uint32_t sub, uint32_t data) override;
  bool Can_Select(uint32_t divider, uint32_t sub) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  // Files. The readers answer whether the collection was replaced.
  bool Read_All(ipstream& is);
  // Empties the collection and places the records with images in order.
  void Place_All(std::vector<Manipulator_Ref>& records);
  void Write_All(opstream& os) const;
  bool Load_Defaults();
  bool Read_File(const std::string& path);
  bool Write_User_File(const Palette_Users::Person& user);

  // Sections.
  int32_t Section_Of(const Shape_Transform& manipulator) const;
  // The position given, -1 when refused (then nothing is kept).
  int32_t Place(Manipulator_Ref manipulator, int32_t* section);
  bool Remove(const Shape_Transform* manipulator, std::unique_ptr<Shape_Transform_Page>* removed_page);
  void Clear_All();

  // Sources.
  std::pair<int32_t, std::string> Manipulator_Source(const Palette_Users::Person& user) const;
  bool Source_Changed() const;
  void Change_User();
  // Before a demonstration plays as another user: the person is asked
  // whether to save the manipulators they changed (during it nobody is).
  void Offer_Save_Before_Demonstration();

  // Commands.
  void New();
  void Edit(const Shape_Transform& manipulator);
  void Duplicate(const Shape_Transform& manipulator);
  void Delete(const Shape_Transform* manipulator);
  void Save_Changes();
  void Undo_Changes();
  void Recall_Original();
  void Recall_Custom();
  void Edit_Done(int code);

  Manipulator_Iterator First_With_Images(int32_t images) const;
  // The next manipulator of the walk, null at its end.
  Manipulator_Ref Next_With_Images(Manipulator_Iterator& it) const;

  void Reset_Selection();
  void Select_Section(int32_t n);
  void Select_Page(int32_t n);
  void Select_Cell(int32_t section, int32_t index);
  void Notify_Changed();
  bool Game_Running() const { return game != nullptr && game->Run_In_Progress(); }

  TPoint Slot_Screen_Points(int32_t section, int32_t index, TPoint* tab_point) const;
  TPoint Current_Tab_Screen_Point() const;

  // What the main window hands the drawing window on
  // Manipulator_Selected_Message: the selected manipulator of the page shown,
  // held for as long as the drawing wants it.
  std::shared_ptr<const Transform_Set_2D> Selected_Manipulator() const;

  int32_t Level() const { return level; }
  bool Custom_Files() const { return Custom_Files_Level_Table[size_t(level)] != 0; }
  bool Editing() const { return editing != nullptr; }
  bool Editing_New() const { return editing != nullptr && editing_new; }
  const Shape_Transform* Editing_Source() const { return editing_source.lock().get(); }
  Shape_Transform_Section& Section(int32_t i) { return sections[size_t(i)]; }
  Shape_Transform_Window* Window() const { return window; }
  Palette_Users& Users() const { return users; }
  int32_t Total() const { return total; }

  int32_t Section_Count = 1;
  bool Enabled = true;
  bool Modified = false;
  bool User_File_Exists = false;
  int32_t Source_Id = No_Source;
  std::string Source_Name;

 private:
  void Add_Section_Tabs();
  void Rebuild_Tabs();
  void Load_Source();
  // Reloads the source; false (and the collection kept) when it cannot be read.
  bool Reload();
  void Show(int32_t section, int32_t page, bool repaint);
  void Select_Tab(int32_t section, int32_t page);
  bool Has_Tabs() const { return !Dividers.empty(); }
  bool Source_Differs(const std::pair<int32_t, std::string>& source) const;
  int Ask(const std::string& text, const std::string& caption, UINT type) const;
  void Stop(const std::string& text, const std::string& caption) const;
  bool Level_File_Exists(const Palette_Users::Person& user) const;
  void Set_User_File_Flag(const std::string& name, int32_t at_level, bool on);
  void Make_Diagram(Shape_Transform& manipulator) const;
  void Add_Page_Tab(int32_t section, int32_t page);
  void Open_Editor();
  void Release_Editing();

  Manipulator_Editor* editor;
  Palette_Users& users;
  Palette_Game* game = nullptr;
  Shape_Transform_Window* window = nullptr;
  int32_t level = 0;
  int32_t total = 0;
  std::array<Shape_Transform_Section, Max_Sections> sections;
  std::unique_ptr<Shape_Transform> editing;
  std::weak_ptr<Shape_Transform> editing_source;
  int32_t edited_images = 0;
  bool editing_new = false;
};
