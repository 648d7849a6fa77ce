// A number field: an ExtEdit that shows a value of type T (int or float),
// reads it back, and checks what is typed with a Number_Validator<T>.
#pragma once

#include <string>

#include "toolkit/ext_edit.h"
#include "toolkit/number_validator.h"

template <class T>
class Number_Edit : public ExtEdit {
 public:
  static constexpr unsigned Text_Limit = 32;

  Number_Edit(TWindow* parent, int id, const TRect& rect, T value, T min, T max, TModule* module,
              uint32_t key_down_mask, uint32_t key_up_mask);
  // Attached to the control of that id in a code-built dialog.
  Number_Edit(TWindow* parent, int resource_id, T value, T min, T max, TModule* module, uint32_t key_down_mask,
              uint32_t key_up_mask);

  void SetupWindow() override { Setup_Window(); }
  // Shows the initial value; a real field lifts the text limit.
  void Setup_Window();
  // Shows value as text (Value itself is not changed).
  void Set_Value(T value);
  // Reads the text; true with value written when it parses (the range is
  // not checked), false with value untouched.
  bool Get_Value(T& value) const;
  // The text holds a number the field cannot take (see Number_Validator).
  bool Is_Out_Of_Range() const;
  // The text a value is shown as.
  static std::string Format(T value);

  T Value;
};

extern template class Number_Edit<int>;
extern template class Number_Edit<float>;
