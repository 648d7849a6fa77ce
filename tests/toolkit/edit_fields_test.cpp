// Edit fields: keys handed to the parent by mask, number fields' text,
// parsing, typing check, range check and focus refusals.
#include <cfloat>
#include <climits>
#include <optional>

#include "toolkit/ext_edit.h"
#include "toolkit/number_edit.h"
#include "tests/toolkit/widget_fixture.h"

namespace {

class Edit_Fields_Test : public Widget_Test {
 protected:
  template <class Field>
  Field* Make(Field* field) {
    Made(field)->SetFocus();
    Run_Until_Idle();
    Take_Log();
    return field;
  }
  ExtEdit* Ext(uint32_t down_mask, uint32_t up_mask, const char* text = "abc") {
    return Make(new ExtEdit(main, 40, TRect(10, 10, 200, 34), text, 0, false, nullptr, down_mask, up_mask));
  }
  void Key(UINT vk) {
    headless->Key(vk);
    Run_Until_Idle();
  }
  void Type(TWindow* field, const std::string& text) {
    for (char c : text) field->SendMessage(WM_CHAR, uint8_t(c), 1);
  }
};

TEST_F(Edit_Fields_Test, Keys_Of_The_Masks_Go_To_The_Parent_Instead_Of_The_Field_Once_Per_Press) {
  // Keys of the down mask go on key down, those of the up mask on release;
  // the user list's field has F1 (and so Up) in the first, Up and Down among
  // others in the second, and one press of Up must move the list once. Keys
  // in no mask stay with the field, which moves its caret.
  const struct {
    uint32_t down_mask, up_mask;
    std::vector<UINT> keys;
    std::vector<std::string> sent;
    int caret;  // where the caret ends, from 1 (-1: not asked)
  } cases[] = {
      {0x2004, 0, {VK_UP, VK_F1, VK_LEFT}, {"key down 38 from 40", "key down 112 from 40"}, 0},
      {0, 0, {VK_RIGHT, VK_HOME, VK_RETURN}, {}, 0},
      {0x2000, 0, {VK_F1, VK_UP}, {"key down 112 from 40"}, -1},
      {0, 0x143C, {VK_RETURN, VK_ESCAPE, VK_PRIOR, VK_NEXT, VK_UP, VK_DOWN, VK_LEFT},
       {"key up 13 from 40", "key up 27 from 40", "key up 33 from 40", "key up 34 from 40", "key up 38 from 40",
        "key up 40 from 40"}, -1},
      {0x2004, 0x143C, {VK_UP, VK_DOWN}, {"key down 38 from 40", "key up 40 from 40"}, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.down_mask << " " << c.up_mask);
    ExtEdit* field = Ext(c.down_mask, c.up_mask);
    field->SetSelection(1, 1);
    for (UINT vk : c.keys) Key(vk);
    EXPECT_EQ(Take_Log(), c.sent);
    EXPECT_TRUE(c.caret < 0 || field->Caret() == c.caret) << field->Caret();
    delete field;
  }
  // Held down, Up repeats on key down and still sends nothing on release.
  Ext(0x2004, 0x143C);
  headless->Key_Down(VK_UP);
  headless->Key_Down(VK_UP, true);
  headless->Key_Up(VK_UP);
  Run_Until_Idle();
  EXPECT_EQ(Take_Log(), (std::vector<std::string>{"key down 38 from 40", "key down 38 from 40"}));
}

TEST_F(Edit_Fields_Test, Number_Fields_Show_Their_Value) {
  auto* whole = Make(new Number_Edit<int>(main, 41, TRect(10, 40, 200, 64), -5, -100, 100, nullptr, 0x2004, 0));
  EXPECT_EQ(whole->GetText(), "-5");
  // Exponent form only strictly inside (-0.001, 0.001) and not at 0.
  const std::pair<float, const char*> formats[] = {
      {0.25f, "0.25"},         {0.00025f, "2.500e-04"}, {-0.0005f, "-5.000e-04"}, {0.001f, "0.001"},
      {-0.001f, "-0.001"},     {1e-7f, "1.000e-07"},    {0.f, "0"},                {-0.f, "-0"},
      {123.456789f, "123.457"}, {1234567.f, "1.23457e+06"}, {100.f, "100"},       {FLT_MAX, "3.40282e+38"},
      {-FLT_MAX, "-3.40282e+38"}};
  for (auto [value, text] : formats) EXPECT_EQ(Number_Edit<float>::Format(value), text) << value;
  auto* real = Make(new Number_Edit<float>(main, 42, TRect(10, 70, 200, 94), 0.00025f, -1, 1, nullptr, 0x2004, 0));
  EXPECT_EQ(real->GetText(), "2.500e-04");
  real->Set_Value(0.5f);  // the text changes, the value given at construction does not
  EXPECT_EQ(real->GetText(), "0.5");
  EXPECT_FLOAT_EQ(real->Value, 0.00025f);
}

TEST_F(Edit_Fields_Test, Whole_Numbers_Read_As_A_Stream_Reads_Them) {
  // Refused text leaves the value alone; only the first 31 characters are read.
  const std::pair<std::string, std::optional<int>> reads[] = {
      {"7", 7},   {"+7", 7},  {"7a", 7},  {"12+3", 12}, {" -42", -42},       {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN}, {"", {}}, {"-", {}}, {"+", {}}, {"a7", {}}, {"2147483648", {}},
      {"99999999999999999999", {}}, {std::string(30, '0') + "12", 1}};
  for (const auto& [text, expected] : reads) {
    int value = 99;
    EXPECT_EQ(Parse_Number<int>(text, value), expected.has_value()) << text;
    EXPECT_EQ(value, expected.value_or(99)) << text;
  }
}

TEST_F(Edit_Fields_Test, Real_Numbers_Read_As_One_Converted_Value) {
  // Text that holds no number, and numbers no float can hold, leave the
  // value alone and are refused; only the latter are out of range.
  const Number_Validator<float> any(-FLT_MAX, FLT_MAX);
  const struct {
    const char* text;
    std::optional<float> value;
    bool out_of_range;
  } reads[] = {{"1e3", 1000.f, false}, {"-2.5xyz", -2.5f, false}, {"3.4e38", 3.4e38f, false}, {"e", {}, false},
               {"", {}, false},        {"-", {}, false},          {"1e39", {}, true},         {"-1e39", {}, true},
               {"nan", {}, true},      {"inf", {}, true}};
  for (const auto& r : reads) {
    float value = 7;
    EXPECT_EQ(Parse_Number<float>(r.text, value), r.value.has_value()) << r.text;
    EXPECT_FLOAT_EQ(value, r.value.value_or(7.f)) << r.text;
    EXPECT_TRUE(r.value || !any.Is_Valid(r.text)) << r.text;
    EXPECT_EQ(any.Is_Out_Of_Range(r.text), r.out_of_range) << r.text;
  }
  EXPECT_TRUE(Number_Validator<float>(-1, 1).Is_Out_Of_Range("1.5"));
  float value = 0;
  // A real field takes text longer than its limit and reads its head.
  auto* real = Make(new Number_Edit<float>(main, 48, TRect(10, 70, 200, 94), 0, -FLT_MAX, FLT_MAX, nullptr, 0, 0));
  real->SetFocus();
  real->Clear();
  Type(real, std::string(31, '0') + "12");
  EXPECT_EQ(real->GetText().size(), 33u);
  real->Set_Value(-2.5f);
  real->SetText(real->GetText() + std::string(40, '0'));
  EXPECT_TRUE(real->Get_Value(value) && value == -2.5f) << value;
  real->SetText(std::string(31, '0') + "12");
  EXPECT_TRUE(real->Get_Value(value) && value == 0.f) << value;
}

TEST_F(Edit_Fields_Test, The_Range_Is_Checked_By_The_Validator_Not_By_Get_Value) {
  auto* step = Make(new Number_Edit<int>(main, 43, TRect(10, 40, 200, 64), 0, 0, INT_MAX, nullptr, 0x2004, 0));
  step->SetText("-1");
  int value = 0;
  EXPECT_TRUE(step->Get_Value(value) && value == -1 && !step->IsValid()) << value;
  step->SetText("2147483647");
  EXPECT_TRUE(step->IsValid());
  step->SetText("-");
  EXPECT_TRUE(!step->Get_Value(value) && value == -1) << value;
}

TEST_F(Edit_Fields_Test, Typing_Takes_Only_Number_Characters) {
  auto* whole = Make(new Number_Edit<int>(main, 44, TRect(10, 40, 200, 64), 0, -9, 9, nullptr, 0, 0));
  auto* real = Make(new Number_Edit<float>(main, 45, TRect(10, 70, 200, 94), 0, -9, 9, nullptr, 0, 0));
  whole->Clear();
  Type(whole, "-1.5e2x+");
  EXPECT_EQ(whole->GetText(), "-152+");  // signs anywhere, no point, no letters
  real->Clear();
  Type(real, "-1.5e2x+");
  EXPECT_EQ(real->GetText(), "-1.5e2+");
}

TEST_F(Edit_Fields_Test, A_Field_With_A_Bad_Value_Keeps_The_Focus_Except_From_OK_And_Cancel) {
  auto* field = Make(new Number_Edit<int>(main, 46, TRect(10, 40, 200, 64), 5, 0, 10, nullptr, 0, 0));
  auto* other = Make(new ExtEdit(main, 47, TRect(10, 70, 200, 94), "", 0, false, nullptr, 0, 0));
  auto* ok = Make(new ExtEdit(main, IDOK, TRect(10, 100, 200, 124), "", 0, false, nullptr, 0, 0));
  const auto Focus_To = [&](TWindow* w) { return w->SetFocus(), Run_Until_Idle(), GetFocus(); };
  field->SetFocus();
  field->SetText("11");
  EXPECT_EQ(Focus_To(other), field->GetHandle());
  EXPECT_FALSE(main->CanClose());
  EXPECT_EQ(Focus_To(ok), ok->GetHandle());
  // Closing asks the field, which takes the focus and refuses.
  EXPECT_FALSE(main->CanClose());
  EXPECT_EQ(GetFocus(), field->GetHandle());
  field->SetText("10");
  EXPECT_EQ(Focus_To(other), other->GetHandle());
  EXPECT_TRUE(main->CanClose());
  // A disabled field never holds anything up.
  field->SetText("-3");
  field->EnableWindow(false);
  EXPECT_TRUE(main->CanClose());
}

}  // namespace
