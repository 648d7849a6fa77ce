#include "toolkit/number_validator.h"

#include <cmath>
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

namespace {

// One "%f" conversion of the text's head, infinities and NaN included.
bool Scan_Float(const std::string& text, float& value) {
  const std::string head = text.substr(0, Max_Number_Length);
  return std::sscanf(head.c_str(), "%f", &value) == 1;
}

}  // namespace

template <>
bool Parse_Number<float>(const std::string& text, float& value) {
  float read = 0;
  // "1e39" overflows to infinity and "nan" reads as a number: neither is a
  // value any field can hold.
  if (!Scan_Float(text, read) || !std::isfinite(read)) return false;
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

template <class T>
bool Number_Validator<T>::Is_Out_Of_Range(const std::string& text) const {
  T value{};
  if constexpr (std::is_floating_point_v<T>) {
    if (!Scan_Float(text, value)) return false;
    return !(std::isfinite(value) && Min <= value && value <= Max);
  } else {
    return Parse_Number<T>(text, value) && !(Min <= value && value <= Max);
  }
}

template class Number_Validator<int>;
template class Number_Validator<float>;
