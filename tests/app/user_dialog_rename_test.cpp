// The whole program renames a person from the gallery's Name and Level
// button when her gallery cannot go with her: the rename is undone with the
// file and the reason named, and the next start finds her under her name
// with her gallery. A gallery another program replaced while it was shown
// moves with her, and is never written over.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "app/user_dialog.h"
#include "gallery/drawing_collection.h"
#include "gallery/drawing_place.h"
#include "gallery/gallery_window.h"
#include "model/gui_colors.h"
#include "model/shape_drawing.h"
#include "tests/platform/system/temp_home.h"
#include "tests/platform/system/unmovable_file.h"
#include "tests/program/program_session.h"
#include "toolkit/gui_sizes.h"
#include "toolkit/round_button.h"
#include "users/gallery_file.h"
#include "users/user_data.h"
#include "users/user_database.h"

namespace {

// The Name and Level dialog, opened as the button opens it, with the edits
// made on its copy and OK pressed.
void Answer_Dialog_With(Program_Session& program, std::function<void(User_Database&)> edit) {
  IFS_Frame_Window* frame = program.Frame();
  frame->Run_User_Dialog = [frame, edit] {
    User_Dialog& dialog = *frame->Dialog;
    dialog.Create();
    edit(*dialog.Edited());
    dialog.SendMessage(WM_COMMAND, User_Dialog::OK_Id);
    return 1;
  };
}

std::vector<uint8_t> Bytes_Of(const std::string& path) {
  return Read_Regular_File(path, 64 << 20).value_or(std::vector<uint8_t>());
}

bool Add_Drawing(Gallery_Window& window, int32_t column) {
  const int side = (*The_GUI_Sizes)[Drawing_Side_Size];
  auto drawing = std::make_unique<Shape_Drawing>(side, side, The_GUI_Colors->Palette.get(), TColor(0, 120, 200));
  return window.Collection()->Add(drawing, Drawing_Place::Grid, 0, column);
}

enum class Gallery_Fault { Cannot_Move, Stray_Cannot_Move, Replaced };

}  // namespace

class User_Dialog_Rename_Test : public Temp_Home {};

TEST_F(User_Dialog_Rename_Test, AGalleryThatCannotGoWithItsOwnerKeepsHerNameAndNothingIsWrittenOverAnother) {
  const struct {
    const char* what;
    Gallery_Fault fault;
    std::string box;  // "{}" the data folder
  } cases[] = {
      {"her gallery cannot be moved", Gallery_Fault::Cannot_Move,
       "WARNING: Unable to move file {}Ann.gal to Annie.gal\nYou have no permission to move the file: no user is "
       "renamed and every file stays with its owner."},
      {"a stray gallery under her new name cannot be moved", Gallery_Fault::Stray_Cannot_Move,
       "WARNING: Unable to move file {}Annie.gal\nYou have no permission to move the file: no user is renamed and "
       "every file stays with its owner."},
      {"another program replaced her gallery while it was shown", Gallery_Fault::Replaced,
       "WARNING: Unable to write file {}Annie.gal\nAnother program has put a different file in its place: your "
       "changes are kept until you leave the program, and are not saved over that file.\nTo save them, move that "
       "file out of the folder and save the gallery again."},
  };
  if (!Unmovable_File::Root()) GTEST_SKIP() << Unmovable_File::Why_Skipped;
  int run = 0;
  for (const auto& c : cases) {
    const std::string data = root_ + "/data-" + std::to_string(++run) + "/";
    std::filesystem::create_directories(data);
    std::vector<uint8_t> gallery;
    const std::string other = "another program's file";
    std::unique_ptr<Unmovable_File> unmovable;
    {
      Program_Session program(Program_Options{.user_path = data});
      program.Start();
      Answer_Dialog_With(program, [](User_Database& copy) { copy.Set_Current(copy.Add_User(std::make_unique<User>(3, "Ann"))); });
      program.Click(Program_Session::Center_Of(program.Main()->name_button));
      ASSERT_EQ(The_User_Database->current_user->name, "Ann");
      const TPoint gallery_button = Program_Session::Center_Of(program.Main()->gallery_button);
      program.Click(gallery_button);
      Gallery_Window& window = *program.Frame()->Gallery;
      ASSERT_TRUE(Add_Drawing(window, 0));
      program.Click(window.Save_Button_Screen_Point());
      gallery = Bytes_Of(data + "Ann.gal");
      ASSERT_FALSE(gallery.empty());
      program.Click(gallery_button);

      if (c.fault == Gallery_Fault::Cannot_Move) unmovable = std::make_unique<Unmovable_File>(data + "Ann.gal", Unmovable_File::Immutable);
      if (c.fault == Gallery_Fault::Stray_Cannot_Move) {
        Write(data + "Annie.gal", "stray");
        unmovable = std::make_unique<Unmovable_File>(data + "Annie.gal", Unmovable_File::Immutable);
      }
      if (unmovable) {
        ASSERT_TRUE(unmovable->made) << c.what;
      }
      if (c.fault == Gallery_Fault::Replaced) {
        Write(data + "Ann.gal.new", other);
        std::filesystem::rename(data + "Ann.gal.new", data + "Ann.gal");
      }
      program.Boxes.clear();
      Answer_Dialog_With(program, [](User_Database& copy) { copy.current_user->name = "Annie"; });
      program.Click(Program_Session::Center_Of(window.ChildWithId(Gallery_Window::Name_Level_Id)));
      if (c.fault == Gallery_Fault::Replaced) {
        ASSERT_EQ(The_User_Database->current_user->name, "Annie") << c.what;
        EXPECT_TRUE(program.Boxes.empty()) << c.what;
        ASSERT_TRUE(Add_Drawing(window, 1));
        program.Click(window.Save_Button_Screen_Point());
      }
      std::string box = c.box;
      box.replace(box.find("{}"), 2, data);
      ASSERT_EQ(program.Boxes.size(), 1u) << c.what;
      EXPECT_EQ(program.Boxes[0].caption + ": " + program.Boxes[0].text, box) << c.what;
      EXPECT_EQ(The_User_Database->current_user->name, c.fault == Gallery_Fault::Replaced ? "Annie" : "Ann") << c.what;
      EXPECT_EQ(program.Stop(), 0);
    }
    if (unmovable) unmovable->Release();
    Program_Session program(Program_Options{.user_path = data});
    program.Start();
    const std::string name = c.fault == Gallery_Fault::Replaced ? "Annie" : "Ann";
    EXPECT_EQ(The_User_Database->current_user->name, name) << c.what;
    if (c.fault == Gallery_Fault::Replaced) {
      EXPECT_EQ(Read(data + "Annie.gal"), other) << c.what;
    } else {
      EXPECT_EQ(Bytes_Of(data + "Ann.gal"), gallery) << c.what;
    }
    for (const auto& entry : std::filesystem::directory_iterator(data)) {
      const std::string file = entry.path().filename().string();
      EXPECT_TRUE(file.rfind(".quendar-move-", 0) != 0 && file != "quendar.jnl") << c.what << ": " << file;
      EXPECT_TRUE(file.rfind("Annie", 0) != 0 || name == "Annie" || c.fault == Gallery_Fault::Stray_Cannot_Move)
          << c.what << ": " << file;
    }
    if (c.fault == Gallery_Fault::Replaced) {
      // What the other program put there is no gallery, and is said so.
      ASSERT_EQ(program.Boxes.size(), 1u) << c.what;
      EXPECT_EQ(program.Boxes[0].text.rfind("Unable to read file " + data + "Annie.gal\n", 0), 0u) << program.Boxes[0].text;
    } else {
      EXPECT_TRUE(program.Boxes.empty()) << c.what << ": " << program.Boxes[0].text;
    }
    EXPECT_EQ(program.Stop(), 0);
  }
}

// Ann, current, becomes Zed while Bob takes her name and becomes current:
// the changes to her gallery, saved at the question, go to her own file
// under her new name, and Bob's gallery under her old name stays his.
TEST_F(User_Dialog_Rename_Test, ALeavingUsersGalleryIsSavedUnderHerNewName) {
  const std::string data = root_ + "/data/";
  std::filesystem::create_directories(data);
  Program_Session program(Program_Options{.user_path = data});
  program.Start();
  Answer_Dialog_With(program, [](User_Database& copy) {
    copy.Add_User(std::make_unique<User>(3, "Bob"));
    copy.Set_Current(copy.Add_User(std::make_unique<User>(3, "Ann")));
  });
  program.Click(Program_Session::Center_Of(program.Main()->name_button));
  // Under four bytes: an empty gallery, opened without a word.
  Write(data + "Bob.gal", "Bob");
  program.Click(Program_Session::Center_Of(program.Main()->gallery_button));
  Gallery_Window& window = *program.Frame()->Gallery;
  ASSERT_TRUE(Add_Drawing(window, 0));
  program.Click(window.Save_Button_Screen_Point());
  const File_Id ann_gallery = Identity_Of(data + "Ann.gal");
  ASSERT_TRUE(ann_gallery.Known());
  program.Click(Program_Session::Center_Of(program.Main()->gallery_button));
  ASSERT_TRUE(Add_Drawing(window, 1));
  ASSERT_TRUE(window.Collection()->Move(Drawing_Place{Drawing_Place::Grid, 0, 2}, Drawing_Place{Drawing_Place::Grid, 0, 1}));
  program.Boxes.clear();
  Answer_Dialog_With(program, [](User_Database& copy) {
    copy.At(copy.Find_User("Ann"))->name = "Zed";
    copy.Resort_User(copy.Find_User("Zed"));
    copy.At(copy.Find_User("Bob"))->name = "Ann";
    copy.Resort_User(copy.Find_User("Ann"));
    copy.Set_Current(copy.Find_User("Ann"));
  });
  program.Click(Program_Session::Center_Of(window.ChildWithId(Gallery_Window::Name_Level_Id)));
  ASSERT_EQ(program.Boxes.size(), 1u);
  EXPECT_EQ(program.Boxes[0].text, "Save changes to Gallery belonging to Ann?");
  EXPECT_EQ(Read(data + "Ann.gal"), "Bob");
  EXPECT_EQ(Identity_Of(data + "Zed.gal"), ann_gallery);
  // Both of her drawings are in her gallery.
  const std::vector<uint8_t> saved = Bytes_Of(data + "Zed.gal");
  EXPECT_EQ(Gallery_File::Scan(saved.data(), saved.size()).records.size(), 2u);
  EXPECT_EQ(program.Stop(), 0);
}
