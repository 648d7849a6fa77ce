// TValidator: checks the text of an edit control. IsValidInput judges the
// text a keystroke would make (false refuses the keystroke); IsValid judges
// the whole text when the field is left or its window closes; Error reports
// a refusal (the base shows nothing).
#pragma once

#include <string>

class TWindow;

class TValidator {
 public:
  virtual ~TValidator() = default;
  // str may be changed in place (completed or corrected) when suppress_fill
  // is false; its buffer holds at least str.size() + 1 characters' room.
  virtual bool IsValidInput(std::string& str, bool suppress_fill);
  virtual bool IsValid(const std::string& str);
  virtual void Error(TWindow* owner);
  // IsValid, and Error when it fails.
  bool Valid(const std::string& str, TWindow* owner = nullptr);
};
