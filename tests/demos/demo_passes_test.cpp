// The pass cycle's dialog input, built against a dialog that reports fixed
// points: creating or selecting "Demo", the level column of the pass, and
// the way back to the person's own row with its scroll steps.
#include <gtest/gtest.h>

#include <memory>

#include "demos/simulated_user.h"
#include "platform/backend/headless/headless_session.h"
#include "users/user_database.h"

namespace {

using A = User_Action;

struct Fake_Dialog : Demo_User_Dialog {
  TPoint First_Row_Point() const override { return {10, 10}; }
  TPoint User_Row_Point(const std::string& name, int& s) const override {
    s = steps;
    return name == "Ann" ? TPoint(10, 90) : TPoint(10, 50);
  }
  TPoint Scroll_Up_Point() const override { return {10, 1}; }
  TPoint Scroll_Down_Point() const override { return {10, 200}; }
  TPoint Level_Column_Point(int n) const override { return {100 + 10 * n, 100}; }
  TPoint OK_Button_Point() const override { return {300, 300}; }
  int steps = 0;
};

// The points the queue clicks (button downs), in order, and the typed keys.
std::vector<TPoint> Clicked(const Simulated_User& driver, std::string* typed = nullptr) {
  std::vector<TPoint> out;
  for (const A& a : driver.Queue()) {
    if (a.kind == A::Left_Down) out.emplace_back(a.x, a.y);
    if (typed && a.kind == A::Key_Down) typed->push_back(char(a.param));
  }
  return out;
}

class Passes : public ::testing::Test {
 protected:
  void SetUp() override {
    database = std::make_unique<User_Database>(For_Stream_Tag());
    The_User_Database = database.get();
  }
  void TearDown() override {
    driver.Cancel();
    The_User_Database = nullptr;
  }
  void Person(const char* name, int32_t level) {
    database->Set_Current(database->Add_User(std::make_unique<User>(level, name)));
  }

  THeadless_Session session;
  std::unique_ptr<User_Database> database;
  Simulated_User driver{nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
  Fake_Dialog dialog;
};

TEST_F(Passes, The_First_Pass_Types_Demo_When_There_Is_None) {
  Person("Ann", 2);
  driver.Manipulator_Demo();
  EXPECT_EQ(driver.Saved_User_Name, "Ann");
  EXPECT_EQ(driver.Pass_Pending, 1);
  driver.Select_Demo_User(dialog);
  std::string typed;
  // The Name and Level button (no button here: 0, 0), then the dialog.
  EXPECT_EQ(Clicked(driver, &typed), (std::vector<TPoint>{{0, 0}, {10, 10}, {130, 100}, {300, 300}}));
  // The capital with Shift held around it.
  EXPECT_EQ(typed, std::string(1, char(VK_SHIFT)) + "DEMO\r");
}

// A listed "Demo" is selected wherever it sorts (first of all, or written
// in lower case by older data); only without one is the name typed.
TEST_F(Passes, Demo_Is_Typed_Only_When_None_Is_Listed) {
  struct Case {
    std::vector<const char*> others;
    bool typed;
  } cases[] = {{{"Zoe"}, true}, {{"Demo", "Zoe"}, false}, {{"Ann", "Demo"}, false}, {{"demo", "Zoe"}, false}};
  for (const Case& c : cases) {
    SetUp();
    for (const char* name : c.others) database->Add_User(std::make_unique<User>(0, name));
    Person("Yan", 1);
    driver.Manipulator_Demo();
    const size_t opening = Clicked(driver).size();
    driver.Select_Demo_User(dialog);
    std::string typed;
    const std::vector<TPoint> clicks = Clicked(driver, &typed);
    const TPoint first = clicks.at(opening);
    EXPECT_EQ(!typed.empty(), c.typed) << c.others.front();
    EXPECT_EQ(first, c.typed ? TPoint(10, 10) : TPoint(10, 50)) << c.others.front();
    driver.Cancel();
  }
}

TEST_F(Passes, A_Listed_Demo_Is_Selected_And_The_Person_Comes_Back_Through_Scrolling) {
  Person("Demo", 0);
  Person("Ann", 1);
  driver.Manipulator_Demo();
  const size_t opening = Clicked(driver).size();
  driver.Select_Demo_User(dialog);
  std::vector<TPoint> clicks = Clicked(driver);
  EXPECT_EQ(std::vector<TPoint>(clicks.begin() + long(opening), clicks.end()),
            (std::vector<TPoint>{{10, 50}, {130, 100}, {300, 300}}));
  // After the script the next dialog goes back to Ann, two rows up.
  driver.Cancel();
  driver.Manipulator_Demo();
  driver.Pass_Count = 5;
  dialog.steps = -2;
  const size_t start = Clicked(driver).size();
  driver.Select_Demo_User(dialog);
  clicks = Clicked(driver);
  EXPECT_EQ(std::vector<TPoint>(clicks.begin() + long(start), clicks.end()),
            (std::vector<TPoint>{{10, 1}, {10, 1}, {10, 90}, {300, 300}}));
}

// Begun by "Demo" (any letter case) at the level the cycle needs: no dialog,
// the first pass at once; the cycle's last pass ends with Help, not the
// dialog, as the person was "Demo" already.
TEST_F(Passes, Begun_By_Demo_At_Its_Level_Needs_No_Dialog) {
  Person("dEMO", 0);
  driver.Multi_Level_Pattern_Demo();
  EXPECT_EQ(driver.Pass_Count, 1u);
  EXPECT_EQ(driver.Pass_Pending, 1);  // the dialog moves on to level 2
  driver.Cancel();
  driver.Multi_Level_Pattern_Demo();
  driver.Pass_Count = 4;
  driver.Pass_Pending = 0;
  const size_t before = driver.Queue().size();
  driver.Next_Demo_Pass();
  EXPECT_EQ(driver.Pass_Count, 5u);
  EXPECT_EQ(driver.Pass_Pending, 0);  // Help is clicked directly
  EXPECT_GT(driver.Queue().size(), before);
  database->current_user->level = 1;
  driver.Cancel();
  driver.Multi_Level_Pattern_Demo();  // at level 2: the dialog first
  EXPECT_EQ(driver.Pass_Count, 0u);
  EXPECT_EQ(driver.Pass_Pending, 1);
}

}  // namespace
