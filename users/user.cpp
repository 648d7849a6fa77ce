#include "users/user.h"

#include <cstring>

#include "model/gui_colors.h"
#include "model/ipstream.h"
#include "model/opstream.h"
#include "model/tstreamableclass.h"
#include "platform/gdi/font.h"
#include "platform/system/file_system.h"
#include "users/user_data.h"
#include "users/user_names.h"

User_Data The_User_Data;

namespace {

const TStreamableClass user_class("User", &User::Streamer::Build);

// Heights of stored fonts that a list row can show; others drop the font.
constexpr int32_t Largest_Font_Height = 200;

}  // namespace

User::User(int32_t level_, const char* name_) : level(level_), name(name_ ? name_ : "") {
  if (The_GUI_Colors != nullptr) color = The_GUI_Colors->Scheme[1];
  if (name_ != nullptr) {
    has_color_file = File_Exists(File_Path("clr"));
    has_level4_manipulators = File_Exists(File_Path("man", 3));
    has_level5_manipulators = File_Exists(File_Path("man", 4));
  }
}

User::User(const User& other) : TStreamableBase(other) { *this = other; }

User& User::operator=(const User& other) {
  level = other.level;
  name = other.name;
  color = other.color;
  font = other.font;
  has_color_file = other.has_color_file;
  has_level4_manipulators = other.has_level4_manipulators;
  has_level5_manipulators = other.has_level5_manipulators;
  points = other.points;
  source_record = const_cast<User*>(&other);
  return *this;
}

std::string User::File_Path(const char* extension, int32_t level_index) const {
  const std::string& shown = name.empty() ? std::string(Anonymous_Name) : name;
  if (!Is_Safe_File_Name(shown)) return {};
  std::string path = The_User_Data.directory + Name_To_UTF8(shown);
  if (std::strcmp(extension, "man") == 0)
    path += ", level " + std::to_string((level_index == -1 ? level : level_index) + 1);
  path += '.';
  path += extension;
  return path;
}

TStreamableBase* User::Streamer::Read(ipstream& is, uint32_t version) {
  const auto level = static_cast<int32_t>(is.Read_Word());
  std::optional<std::string> name = is.Read_String();
  uint32_t color = 0;
  is.Read_Bytes(&color, 4);
  std::shared_ptr<const TFont> font;
  if (is.Read_Word() != 0) {
    const auto height = static_cast<int32_t>(is.Read_Word());
    std::optional<std::string> face = is.Read_String();
    if (face && height >= -Largest_Font_Height && height <= Largest_Font_Height)
      font = std::make_shared<TFont>(*face, height, FW_NORMAL);
  }
  const bool has_color_file = is.Read_Word() != 0;
  const bool has_level4 = is.Read_Word() != 0;
  const bool has_level5 = is.Read_Word() != 0;
  const auto points = version == 1 ? 0 : static_cast<int32_t>(is.Read_Word());
  if (is.Fail()) return user;  // the caller drops a user that did not read whole

  user->level = level >= 0 && level < Level_Count ? level : 0;
  user->name = name.value_or("");
  TColor rgb = TColor(color & 0x00FFFFFF);
  if (The_GUI_Colors != nullptr && The_GUI_Colors->Is_Palette_Device)
    rgb = RGB_To_Palette_Color(rgb, *The_GUI_Colors->Palette);
  user->color = rgb;
  user->font = std::move(font);
  user->has_color_file = has_color_file;
  user->has_level4_manipulators = has_level4;
  user->has_level5_manipulators = has_level5;
  user->points = points;
  return user;
}

void User::Streamer::Write(opstream& os) const {
  os.Write_Word(static_cast<uint32_t>(user->level));
  os.Write_String(user->name);
  TColor rgb = user->color;
  if (!rgb.Is_Rgb() && The_GUI_Colors != nullptr) rgb = Palette_Color_To_RGB(rgb, *The_GUI_Colors->Palette);
  const uint32_t stored = rgb.Value() & 0x00FFFFFF;
  os.Write_Bytes(&stored, 4);
  os.Write_Word(user->font ? 1 : 0);
  if (user->font) {
    os.Write_Word(static_cast<uint32_t>(user->font->Font_Spec().height));
    os.Write_String(user->font->Font_Spec().face_name);
  }
  os.Write_Word(user->has_color_file ? 1 : 0);
  os.Write_Word(user->has_level4_manipulators ? 1 : 0);
  os.Write_Word(user->has_level5_manipulators ? 1 : 0);
  os.Write_Word(static_cast<uint32_t>(user->points));
}

std::unique_ptr<TStreamer> User::Streamer::Build(TStreamableBase* object) {
  if (object == nullptr) return std::make_unique<Streamer>(new User());
  auto* user = dynamic_cast<User*>(object);
  return user != nullptr ? std::make_unique<Streamer>(user) : nullptr;
}
