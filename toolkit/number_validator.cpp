#include "toolkit/number_validator.h"

#include <cstdio>
#include <sstream>
#include <type_traits>

namespace {

// The field reads no more than this of its text.
constexpr size_t Max_Number_Length = 31;

bool Allowed_Character(char c, bool floating) {
  if ((c >= '0' && c <= '9') || c == '+' || c == '-') return true;
  return floating && (c == '.' || c == 'e' || c == 'E');
}

}  // namespace

template <>
bool Parse_Number<int>(const std::string& text, int& value) {
  std::istringstream in(text.substr(0, Max_Number_Length));
  int read = 0;
  in >> read;
  // Reading up to the end of the text sets only eof: the number still read.
  if (in.fail()) return false;
  value = read;
  return true;
}

template <>
bool Parse_Number<float>(const std::string& text, float& value) {
  const std::string head = text.substr(0, Max_Number_Length);
  float read = 0;
  if (std::sscanf(head.c_str(), "%f", &read) != 1) return false;
  value = read;
  return true;
}

template <class T>
bool Number_Validator<T>::Is_Valid_Input(const std::string& text, bool) const {
  for (char c : text)
    if (!Allowed_Character(c, std::is_floating_point_v<T>)) return false;
  return true;
}

template <class T>
bool Number_Validator<T>::Is_Valid(const std::string& text) const {
  T value{};
  return Parse_Number<T>(text, value) && Min <= value && value <= Max;
}

template class Number_Validator<int>;
template class Number_Validator<float>;
