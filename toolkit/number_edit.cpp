#include "toolkit/number_edit.h"

#include <cmath>
#include <cstdio>
#include <type_traits>

template <class T>
Number_Edit<T>::Number_Edit(TWindow* parent, int id, const TRect& rect, T value, T min, T max, TModule* module,
                            uint32_t key_down_mask, uint32_t key_up_mask)
    : ExtEdit(parent, id, rect, "", Text_Limit, false, module, key_down_mask, key_up_mask), Value(value) {
  SetValidator(new Number_Validator<T>(min, max));
}

template <class T>
Number_Edit<T>::Number_Edit(TWindow* parent, int resource_id, T value, T min, T max, TModule* module,
                            uint32_t key_down_mask, uint32_t key_up_mask)
    : ExtEdit(parent, resource_id, Text_Limit, module, key_down_mask, key_up_mask), Value(value) {
  SetValidator(new Number_Validator<T>(min, max));
}

template <class T>
void Number_Edit<T>::Setup_Window() {
  ExtEdit::SetupWindow();
  // A real field takes text of any length; only its head is read.
  if constexpr (std::is_floating_point_v<T>) SetTextLimit(0);
  Set_Value(Value);
}

template <class T>
std::string Number_Edit<T>::Format(T value) {
  if constexpr (std::is_integral_v<T>) {
    return std::to_string(value);
  } else {
    char text[Text_Limit];
    // Very small values keep three digits of their own instead of turning
    // into 0.000xyz.
    const double v = value;
    const bool tiny = v != 0 && std::fabs(v) < 0.001;
    std::snprintf(text, sizeof text, tiny ? "%.3e" : "%.6g", v);
    return text;
  }
}

template <class T>
void Number_Edit<T>::Set_Value(T value) {
  SetText(Format(value));
}

template <class T>
bool Number_Edit<T>::Get_Value(T& value) const {
  return Parse_Number<T>(GetText(), value);
}

template <class T>
bool Number_Edit<T>::Is_Out_Of_Range() const {
  const auto* check = dynamic_cast<const Number_Validator<T>*>(GetValidator());
  return check && check->Is_Out_Of_Range(GetText());
}

template class Number_Edit<int>;
template class Number_Edit<float>;
