// The check of a number field: while typing only number characters pass
// (for int digits and signs, for float also the point and the exponent
// letters); the whole text passes when it reads as a number within
// [Min, Max]. Refusals show nothing.
#pragma once

#include <string>

#include "platform/window/validator.h"

// Reads at most 31 characters of text as a T; true and value written when
// it reads, false and value untouched otherwise.
//   int: as a stream extracts an int (white space, a sign, digits; it stops
//        at the first other character, so "12+3" is 12); out of range fails.
//   float: as "%f" converts one value; trailing characters are ignored; a
//          value that overflows to infinity, or is not a number, fails.
template <class T>
bool Parse_Number(const std::string& text, T& value);
template <>
bool Parse_Number<int>(const std::string& text, int& value);
template <>
bool Parse_Number<float>(const std::string& text, float& value);

template <class T>
class Number_Validator : public TValidator {
 public:
  Number_Validator(T min, T max) : Min(min), Max(max) {}

  bool Is_Valid_Input(const std::string& text, bool suppress_fill) const;
  bool Is_Valid(const std::string& text) const;
  // The text holds a number, but one the field cannot take: outside
  // [Min, Max], or for float infinite or not a number. Text that holds no
  // number at all ("", "-") is not out of range.
  bool Is_Out_Of_Range(const std::string& text) const;

  bool IsValidInput(std::string& text, bool suppress_fill) override { return Is_Valid_Input(text, suppress_fill); }
  bool IsValid(const std::string& text) override { return Is_Valid(text); }

  T Min;
  T Max;
};

extern template class Number_Validator<int>;
extern template class Number_Validator<float>;
