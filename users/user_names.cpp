#include "users/user_names.h"

#include <cstdint>

#include "platform/gdi/code_page_1252.h"

namespace {

bool Is_Letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char Upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

// The longest file name made from a user's name: ", level 5.man".
constexpr size_t Longest_Suffix = 13;
// What a single file name may hold on the file systems we run on.
constexpr size_t Max_File_Name_Bytes = 255;

}  // namespace

int Compare_User_Names(std::string_view a, std::string_view b) {
  const size_t common = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < common; ++i) {
    const char x = a[i], y = b[i];
    if (x == y) continue;
    const bool x_letter = Is_Letter(x), y_letter = Is_Letter(y);
    if (x_letter && y_letter) {
      if (Upper(x) != Upper(y)) return Upper(x) < Upper(y) ? -1 : 1;
      return x < y ? -1 : 1;  // the same letter: 'A' before 'a'
    }
    if (x_letter != y_letter) return x_letter ? 1 : -1;
    return static_cast<int8_t>(x) < static_cast<int8_t>(y) ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

char Fold_Name_Char(char c) {
  const auto u = static_cast<uint8_t>(c);
  if (u >= 'A' && u <= 'Z') return char(u + 32);
  // Latin capitals of the code page and their small forms.
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return char(u + 32);
  if (u == 0x8A || u == 0x8C || u == 0x8E) return char(u + 16);
  if (u == 0x9F) return char(0xFF);
  return c;
}

bool Same_Name_Ignoring_Case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Fold_Name_Char(a[i]) != Fold_Name_Char(b[i])) return false;
  return true;
}

bool Is_Safe_File_Name(std::string_view name) {
  if (name == "." || name == "..") return false;
  for (char c : name) {
    const auto u = static_cast<uint8_t>(c);
    if (c == '/' || u < 0x20 || u == 0x7F) return false;
  }
  return Name_To_UTF8(name).size() + Longest_Suffix <= Max_File_Name_Bytes;
}

const char* User_Name_Problem(std::string_view name) {
  if (name.size() > Max_User_Name_Length) return "is too long for a user name.";
  if (!Is_Safe_File_Name(name)) return "cannot be used as a user name.";
  if (Same_Name_Ignoring_Case(name, Anonymous_Name)) return "is kept for the files of \"New\".";
  return nullptr;
}

std::string Name_To_UTF8(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (char c : name) {
    const char32_t u = Unicode_From_1252(static_cast<uint8_t>(c));
    if (u < 0x80) {
      out += char(u);
    } else if (u < 0x800) {
      out += char(0xC0 | (u >> 6));
      out += char(0x80 | (u & 0x3F));
    } else {
      out += char(0xE0 | (u >> 12));
      out += char(0x80 | ((u >> 6) & 0x3F));
      out += char(0x80 | (u & 0x3F));
    }
  }
  return out;
}
