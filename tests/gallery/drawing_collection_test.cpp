// The store's places: Add, the move table row by row, the bin list and its
// cursor, slots and copies.
#include <gtest/gtest.h>

#include "tests/gallery/gallery_store_fixture.h"

namespace {

using Place = Drawing_Place;

constexpr Place Cell(int32_t row, int32_t column) { return Place{Place::Grid, row, column}; }
constexpr Place Bin(int32_t position) { return Place{Place::Bin, position, 0}; }
constexpr Place Slot(int32_t slot) { return Place{Place::Slot, slot, 0}; }
constexpr Place Nowhere{};

class Drawing_Collection_Test : public Gallery_Store_Test {
 protected:
  Drawing_Collection_Test() : store(ann) {}

  // Drawings 1, 2, 3 in cells (0,0), (0,1), (0,2); 4 and 5 in the bin
  // list (4 at the front).
  void Fill() {
    for (int seed = 1; seed <= 3; ++seed) ASSERT_TRUE(Add_At(store, Drawing(seed), 0, seed - 1));
    auto four = Drawing(4), five = Drawing(5);
    ASSERT_TRUE(store.Add(five, Place::Bin, 0, 0));
    ASSERT_TRUE(store.Add(four, Place::Bin, 0, 0));
  }
  Drawing_Collection::Presentation_Data* At(const Place& place) { return store.Find(place); }

  Drawing_Collection store;
};

TEST_F(Drawing_Collection_Test, AddTakesFreePlacesAndPreparesAtOnce) {
  auto drawing = Drawing(1);
  ASSERT_TRUE(store.Add(drawing, Place::Grid, 3, 4));
  EXPECT_EQ(drawing, nullptr);
  EXPECT_EQ(store.State(Cell(3, 4)), Drawing_Collection::Presentation_Data::Ready);
  EXPECT_TRUE(Shows(store, Cell(3, 4), 1));
  // An occupied or impossible cell is refused and the caller keeps the drawing.
  for (Place refused : {Cell(3, 4), Cell(12, 0), Cell(0, -1), Place{0, 0, 0}, Slot(5)}) {
    auto other = Drawing(2);
    EXPECT_FALSE(store.Add(other, refused.kind, refused.a, refused.b));
    EXPECT_NE(other, nullptr);
  }
  // A full slot keeps its drawing; Add still reports success.
  auto first = Drawing(3), second = Drawing(4);
  EXPECT_TRUE(store.Add(first, Place::Slot, 0, 0));
  EXPECT_TRUE(store.Add(second, Place::Slot, 0, 0));
  EXPECT_TRUE(Shows(store, Slot(0), 3));
  EXPECT_FALSE(store.Changed());
}

TEST_F(Drawing_Collection_Test, GridMoves) {
  Fill();
  auto* one = At(Cell(0, 0));
  auto* two = At(Cell(0, 1));
  // grid -> grid exchanges, also with an empty cell.
  EXPECT_TRUE(store.Move(Cell(0, 1), Cell(0, 0)));
  EXPECT_EQ(At(Cell(0, 0)), two);
  EXPECT_EQ(At(Cell(0, 1)), one);
  EXPECT_EQ(one->place, Cell(0, 1));
  EXPECT_EQ(two->place, Cell(0, 0));
  EXPECT_TRUE(store.Changed());
  EXPECT_TRUE(store.Move(Cell(5, 5), Cell(0, 1)));
  EXPECT_EQ(At(Cell(0, 1)), nullptr);
  EXPECT_EQ(one->place, Cell(5, 5));
  // grid -> slot shares and changes nothing else (a save clears changed).
  store.Save(ann, HWND());
  EXPECT_FALSE(store.Changed());
  EXPECT_TRUE(store.Move(Slot(2), Cell(5, 5)));
  EXPECT_EQ(At(Slot(2)), one);
  EXPECT_EQ(At(Cell(5, 5)), one);
  EXPECT_EQ(store.Place_Of(Slot(2)), Cell(5, 5));
  EXPECT_FALSE(store.Changed());
  // grid -> bin: to the front whatever a says; the cell empties.
  EXPECT_TRUE(store.Move(Bin(-1), Cell(5, 5)));
  EXPECT_EQ(store.Find(Bin(0)), one);
  EXPECT_EQ(one->place, Bin(0));
  EXPECT_EQ(At(Cell(5, 5)), nullptr);
  EXPECT_EQ(At(Slot(2)), one);
  EXPECT_TRUE(store.Changed());
  // From an empty place: nothing to move.
  EXPECT_FALSE(store.Move(Cell(0, 0), Cell(9, 9)));
  EXPECT_TRUE(store.Move(Cell(9, 9), Cell(9, 9)));
}

TEST_F(Drawing_Collection_Test, BinMoves) {
  Fill();
  auto six_drawing = Drawing(6);
  ASSERT_TRUE(store.Add(six_drawing, Place::Bin, -1, 0));
  auto* four = At(Bin(0));
  auto* five = At(Bin(1));
  auto* six = At(Bin(2));
  // bin -> occupied cell: back to the front from position 0, else to the
  // back; false, and nothing changed.
  EXPECT_FALSE(store.Move(Cell(0, 0), Bin(0)));
  EXPECT_EQ(At(Bin(0)), four);
  EXPECT_FALSE(store.Move(Cell(0, 0), Bin(1)));
  EXPECT_EQ(At(Bin(-1)), five);
  EXPECT_EQ(At(Bin(1)), six);
  EXPECT_FALSE(store.Changed());
  // A position past the end refuses and removes nothing.
  EXPECT_FALSE(store.Move(Cell(6, 6), Bin(3)));
  EXPECT_EQ(store.Bin_Length(), 3);
  // bin -> bin: front or back; the place says which.
  EXPECT_TRUE(store.Move(Bin(-1), Bin(0)));
  EXPECT_EQ(At(Bin(-1)), four);
  EXPECT_EQ(four->place, Bin(-1));
  EXPECT_FALSE(store.Changed());
  // bin -> slot: the slot becomes the place.
  EXPECT_TRUE(store.Move(Slot(1), Bin(-1)));
  EXPECT_EQ(four->place, Slot(1));
  EXPECT_EQ(At(Slot(1)), four);
  EXPECT_EQ(store.Bin_Length(), 2);
  // bin -> free cell.
  EXPECT_TRUE(store.Move(Cell(7, 8), Bin(0)));
  EXPECT_EQ(At(Cell(7, 8)), six);
  EXPECT_EQ(six->place, Cell(7, 8));
  EXPECT_TRUE(store.Changed());
}

TEST_F(Drawing_Collection_Test, SlotMoves) {
  Fill();
  auto* one = At(Cell(0, 0));
  ASSERT_TRUE(store.Move(Slot(0), Cell(0, 0)));
  // slot -> grid with a grid place: an independent copy takes the cell.
  EXPECT_FALSE(store.Move(Cell(0, 1), Slot(0)));  // occupied
  EXPECT_TRUE(store.Move(Cell(4, 4), Slot(0)));
  auto* copy = At(Cell(4, 4));
  EXPECT_NE(copy, one);
  EXPECT_EQ(copy->place, Cell(4, 4));
  EXPECT_EQ(At(Slot(0)), one);  // the slot keeps it
  EXPECT_EQ(store.State(Cell(4, 4)), Drawing_Collection::Presentation_Data::Ready);
  EXPECT_TRUE(Shows(store, Cell(4, 4), 1));
  EXPECT_TRUE(store.Changed());
  // slot -> slot shares; slot -> bin keeps a grid place, empties the slot.
  EXPECT_TRUE(store.Move(Slot(1), Slot(0)));
  EXPECT_EQ(At(Slot(1)), one);
  EXPECT_EQ(At(Slot(0)), one);
  EXPECT_TRUE(store.Move(Bin(-1), Slot(0)));
  EXPECT_EQ(At(Slot(0)), nullptr);
  EXPECT_EQ(At(Bin(0)), one);
  EXPECT_EQ(one->place, Cell(0, 0));
  EXPECT_EQ(At(Cell(0, 0)), one);
  // A drawing of no grid cell moves itself from a slot into the grid, and
  // to the bin takes the bin's front as place.
  auto loose = Drawing(9);
  ASSERT_TRUE(store.Add(loose, Place::Slot, 3, 0));
  auto* nine = At(Slot(3));
  EXPECT_TRUE(store.Move(Cell(11, 11), Slot(3)));
  EXPECT_EQ(At(Cell(11, 11)), nine);
  auto other = Drawing(10);
  ASSERT_TRUE(store.Add(other, Place::Slot, 4, 0));
  auto* ten = At(Slot(4));
  EXPECT_TRUE(store.Move(Bin(5), Slot(4)));
  EXPECT_EQ(ten->place, Bin(0));
  EXPECT_EQ(At(Bin(0)), ten);
}

TEST_F(Drawing_Collection_Test, ASlotTakingADrawingClearsThePlaceOfTheOneBefore) {
  Fill();
  auto* four = At(Bin(0));
  ASSERT_TRUE(store.Move(Slot(2), Bin(0)));
  EXPECT_EQ(four->place, Slot(2));
  auto* one = At(Cell(0, 0));
  ASSERT_TRUE(store.Move(Slot(2), Cell(0, 0)));
  EXPECT_EQ(four->place, Nowhere);
  // A grid drawing pushed out of a slot keeps its cell.
  ASSERT_TRUE(store.Move(Slot(2), Cell(0, 1)));
  EXPECT_EQ(one->place, Cell(0, 0));
}

TEST_F(Drawing_Collection_Test, FindStepsThroughTheBinWithItsCursor) {
  std::vector<Drawing_Collection::Presentation_Data*> order;
  for (int seed = 0; seed < 6; ++seed) {
    auto drawing = Drawing(seed);
    ASSERT_TRUE(store.Add(drawing, Place::Bin, -1, 0));
    order.push_back(At(Bin(-1)));
  }
  // Forward, back, a jump, the same again, past the end.
  for (int32_t position : {0, 1, 2, 3, 2, 1, 5, 4, 4, 0, 3})
    EXPECT_EQ(At(Bin(position)), order[size_t(position)]) << position;
  EXPECT_EQ(At(Bin(6)), nullptr);
  EXPECT_EQ(At(Bin(-2)), nullptr);
  EXPECT_EQ(At(Bin(5)), order[5]);
  // Every change of the list forgets the cursor: the remembered node may be gone.
  ASSERT_TRUE(At(Bin(3)));
  ASSERT_TRUE(store.Move(Cell(0, 0), Bin(3)));
  EXPECT_EQ(At(Bin(3)), order[4]);
  EXPECT_EQ(At(Bin(4)), order[5]);
  store.Forget_Place(Bin(-1));
  EXPECT_EQ(At(Bin(4)), nullptr);
  EXPECT_EQ(At(Bin(3)), order[4]);
  store.Forget_Place(Bin(0));
  EXPECT_EQ(At(Bin(0)), order[1]);
  EXPECT_EQ(At(Bin(2)), order[4]);
  EXPECT_EQ(store.Bin_Length(), 3);
}

TEST_F(Drawing_Collection_Test, ForgetPlaceEmptiesWithoutDeleting) {
  Fill();
  auto* one = At(Cell(0, 0));
  ASSERT_TRUE(store.Move(Slot(0), Cell(0, 0)));
  store.Forget_Place(Cell(0, 0));
  EXPECT_EQ(At(Cell(0, 0)), nullptr);
  EXPECT_EQ(At(Slot(0)), one);
  EXPECT_TRUE(Shows(store, Slot(0), 1));
  store.Forget_Place(Slot(0));
  EXPECT_EQ(store.State(Slot(0)), 0);
  EXPECT_EQ(store.Place_Of(Slot(0)), Nowhere);
}

TEST_F(Drawing_Collection_Test, ReducedPicturesAreTheShrunkDrawing) {
  ASSERT_TRUE(Add_At(store, Drawing(3), 2, 2));
  auto full = Drawing(3);
  Shape_Drawing third(S() / 3, S() / 3, nullptr, TColor(255, 255, 255));
  third.Shrink_From(*full, 3);
  Shape_Drawing sixth(S() / 3 / 2, S() / 3 / 2, nullptr, TColor(255, 255, 255));
  sixth.Shrink_From(third, 2);
  Shape_Drawing twelfth(S() / 3 / 4, S() / 3 / 4, nullptr, TColor(255, 255, 255));
  twelfth.Shrink_From(sixth, 2);
  Shape_Drawing* expected[] = {full.get(), &third, &sixth, &twelfth};
  for (int32_t size = 0; size < Picture_Size_Count; ++size) {
    Shape_Drawing* picture = store.Picture(Cell(2, 2), Picture_Size(size), 0, HWND());
    ASSERT_NE(picture, nullptr) << size;
    EXPECT_EQ(picture->Width(), Drawing_Collection::Picture_Side(Picture_Size(size)));
    EXPECT_TRUE(picture->Same_Pixels(*expected[size])) << size;
  }
  EXPECT_EQ(store.Picture(Cell(2, 3), Third_Picture_Size, 0, HWND()), nullptr);
}

}  // namespace
