// Rules on user names: the order in which the list keeps them, the one case
// fold used wherever names are compared without regard to case, and which
// names can be turned into per-user file names. Names are single-byte
// Windows-1252 text, like every program string.
#pragma once

#include <string>
#include <string_view>

// The longest name the list accepts.
inline constexpr size_t Max_User_Name_Length = 39;

// The name the default user's files carry; no listed user may take it.
inline constexpr const char* Anonymous_Name = "Anonymous";

// The user order: negative when a comes before b, 0 when they are equal,
// positive when a comes after b. Letters (A-Z, a-z only) compare by their
// upper-case form, the upper-case one first when they are the same letter;
// a non-letter comes before any letter; two non-letters compare as signed
// bytes (so codes 128-255 come first); a prefix comes before the longer name.
int Compare_User_Names(std::string_view a, std::string_view b);

// The byte in lower case: ASCII letters and the Latin letters of the code
// page with both forms.
char Fold_Name_Char(char c);
bool Same_Name_Ignoring_Case(std::string_view a, std::string_view b);

// Why a name cannot be a user's name, or null when it can: a '/' or a control
// character, the names "." and "..", the default user's "Anonymous" in any
// case, or a name too long for a file name.
const char* User_Name_Problem(std::string_view name);

// True when the name is safe inside a file name: no '/', no control
// character, not "." or "..". Paths are never built from other names.
bool Is_Safe_File_Name(std::string_view name);

// The name as UTF-8, the form of file names.
std::string Name_To_UTF8(std::string_view name);
