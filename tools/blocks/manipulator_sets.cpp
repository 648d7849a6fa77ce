// The built-in manipulator sets, one per user level (RCDATA 4401 to 4405):
// each an object stream of a count and that many named manipulators.
//
// Every map is (a, b, c, d, e, f, step) with x' = a x + b y + e and
// y' = c x + d y + f on the unit square, y growing upward. Coefficients are
// kept as written to four decimals (0.3333 rather than 1/3): these are the
// values the sets have always carried.
#include <cstdint>
#include <string_view>
#include <vector>

#include "model/affine_transform_2d.h"
#include "model/opstream.h"
#include "model/transform_set_2d.h"
#include "model/tstreamableclass.h"
#include "tools/blocks/block_maker.h"

namespace {

struct Map_Row {
  float a, b, c, d, e, f;
  int32_t step = 0;
};
using Map = Map_Row;

struct Record {
  const char* name;
  std::vector<Map> maps;
};

// Shorthands for the commonest maps: a square of side s at (e, f), and the
// same with a colour step.
Map Sq(float s, float e, float f, int32_t step = 0) { return {s, 0, 0, s, e, f, step}; }

const std::vector<Record> Level_1 = {
    {"Small", {Sq(0.3333f, 0.3333f, 0.3333f)}},
    {"Two", {Sq(0.3333f, 0.0833f, 0.3333f), Sq(0.3333f, 0.5833f, 0.3333f)}},
    {"Three ", {Sq(0.3333f, 0.3333f, 0.5833f), Sq(0.3333f, 0.5833f, 0.0833f), Sq(0.3333f, 0.0833f, 0.0833f)}},
    {"Four ",
     {Sq(0.3333f, 0.0833f, 0.5833f), Sq(0.3333f, 0.5833f, 0.5833f), Sq(0.3333f, 0.5833f, 0.0833f),
      Sq(0.3333f, 0.0833f, 0.0833f)}},
    {"Five",
     {Sq(0.3333f, 0, 0.6667f), Sq(0.3333f, 0.6667f, 0.6667f), Sq(0.3333f, 0.6667f, 0), Sq(0.3333f, 0, 0),
      Sq(0.3333f, 0.3333f, 0.3333f)}},
};

const std::vector<Record> Level_2 = {
    {"Upside Down", {{1, 0, 0, -1, 0, 1}}},
    {"Mirror", {{-1, 0, 0, 1, 1, 0}}},
    {"Short", {{1, 0, 0, 0.5f, 0, 0}}},
    {"Thin", {{0.5f, 0, 0, 1, 0.25f, 0}}},
    {"Small", {Sq(0.5f, 0.25f, 0.25f)}},
    {"Two", {Sq(0.48f, 0.01f, 0.26f), Sq(0.48f, 0.51f, 0.26f)}},
    {"Three", {Sq(0.48f, 0.26f, 0.51f), Sq(0.48f, 0.51f, 0.01f), Sq(0.48f, 0.01f, 0.01f)}},
    {"Four", {Sq(0.48f, 0.01f, 0.51f), Sq(0.48f, 0.51f, 0.51f), Sq(0.48f, 0.51f, 0.01f), Sq(0.48f, 0.01f, 0.01f)}},
};

const std::vector<Record> Level_3 = {
    {"Rotate 90 Counter Clockwise", {{0, -1, 1, 0, 1, 0}}},
    {"Mirror About Vertical", {{-1, 0, 0, 1, 1, 0}}},
    {"Compress Horizontal", {{0.5f, 0, 0, 1, 0.25f, 0}}},
    {"Compress Vertical", {{1, 0, 0, 0.5f, 0, 0.25f}}},
    {"Rotate 45 Counter Clockwise", {{0.7071f, -0.7071f, 0.7071f, 0.7071f, 0.5f, -0.2071f}}},
    {"Shear Horizontally", {{0.5f, 0.5f, 0, 1, 0, 0}}},
    {"Shrink", {Sq(0.5f, 0, 0)}},
    {"Two", {Sq(0.5f, 0, 0), Sq(0.5f, 0.5f, 0.5f)}},
    {"Three", {Sq(0.5f, 0, 0.5f), Sq(0.5f, 0.5f, 0), Sq(0.5f, 0, 0)}},
    {"Four", {Sq(0.5f, 0, 0.5f), Sq(0.5f, 0.5f, 0.5f), Sq(0.5f, 0.5f, 0), Sq(0.5f, 0, 0)}},
};

// Squares of side s on an n x n grid at the given cells (column, row from
// the bottom), with steps in turn from steps (repeated when shorter).
std::vector<Map> Grid(float s, std::vector<std::pair<int, int>> cells, std::vector<int32_t> steps = {0}) {
  std::vector<Map> maps;
  for (size_t i = 0; i < cells.size(); ++i) {
    maps.push_back(Sq(s, s * float(cells[i].first), s * float(cells[i].second), steps[i % steps.size()]));
  }
  return maps;
}

// A third of the square, four decimals as the other sets write it.
constexpr float T1 = 0.3333f, T2 = 0.6667f;
Map Third(float e, float f, int32_t step = 0) { return Sq(T1, e, f, step); }

// Quarter squares round the border of a 4 x 4 grid, each turned a quarter
// further than the one before, with steps in turn.
std::vector<Map> Turning_Ring(std::vector<int32_t> steps = {0}) {
  const std::pair<int, int> cells[] = {{1, 0}, {2, 0}, {3, 1}, {3, 2}, {2, 3}, {1, 3}, {0, 2}, {0, 1}};
  const float s = 0.25f;
  std::vector<Map> maps;
  for (int i = 0; i < 8; ++i) {
    const float e = s * float(cells[i].first), f = s * float(cells[i].second);
    const int32_t step = steps[size_t(i) % steps.size()];
    switch (i % 4) {
      case 0: maps.push_back({s, 0, 0, s, e, f, step}); break;
      case 1: maps.push_back({0, -s, s, 0, e + s, f, step}); break;
      case 2: maps.push_back({-s, 0, 0, -s, e + s, f + s, step}); break;
      default: maps.push_back({0, s, -s, 0, e, f + s, step}); break;
    }
  }
  return maps;
}

const Map Rot_45{0.7071f, -0.7071f, 0.7071f, 0.7071f, 0.5f, -0.2071f};

const std::vector<Record> Level_4 = {
    // One image.
    {"Flip About Horizontal", {{1, 0, 0, -1, 0, 1}}},
    {"Flip About Vertical", {{-1, 0, 0, 1, 1, 0}}},
    {"Rotate 90 Counter Clockwise", {{0, -1, 1, 0, 1, 0}}},
    {"Rotate 45 Counter Clockwise", {Rot_45}},
    {"Compress Horizontal Toward Center", {{0.5f, 0, 0, 1, 0.25f, 0}}},
    {"Compress Vertical Toward Center", {{1, 0, 0, 0.5f, 0, 0.25f}}},
    {"Compress To Left", {{0.5f, 0, 0, 1, 0, 0}}},
    {"Compress to Bottom", {{1, 0, 0, 0.5f, 0, 0}}},
    {"Shear Horizontally", {{0.5f, 0.5f, 0, 1, 0, 0}}},
    {"Shear Vertically", {{1, 0, 0.5f, 0.5f, 0, 0}}},
    // Two images.
    {"Two Same Orientation", {Sq(0.5f, 0, 0.25f), Sq(0.5f, 0.5f, 0.25f)}},
    {"Two, One Up, On Down", {{0.5f, 0, 0, 1, 0, 0}, {0.5f, 0, 0, -1, 0.5f, 1}}},
    {"Two, Mirror", {Sq(0.5f, 0, 0.25f), {-0.5f, 0, 0, 0.5f, 1, 0.25f}}},
    {"", {Sq(0.5f, 0.25f, 0.5f), Sq(0.5f, 0.25f, 0)}},
    {"Two, Overlapped, One Rotated 90", {Sq(T2, 0, 0), {0, -T2, T2, 0, 1, T1}}},
    {"Two, Overlapped Mirror", {Sq(T2, 0, 0.1667f), {-T2, 0, 0, T2, 1, 0.1667f}}},
    {"", {Sq(0.5f, 0, 0), Sq(0.5f, 0.5f, 0.5f)}},
    {"", {{0, -0.5f, 0.5f, 0, 0.5f, 0.25f}, {0, 0.5f, -0.5f, 0, 0.5f, 0.75f}}},
    {"", {Sq(0.5f, 0, 0.5f), {-0.5f, 0, 0, -0.5f, 1, 0.5f}}},
    {"", {Sq(T2, 0, 0), Third(T2, T2)}},
    // Three images.
    {"Three, Same Orientation", {Sq(0.5f, 0.25f, 0.5f), Sq(0.5f, 0, 0), Sq(0.5f, 0.5f, 0)}},
    {"Three, Two Sideways", {Sq(0.5f, 0.25f, 0.5f), {0, -0.5f, 0.5f, 0, 0.5f, 0}, {0, 0.5f, -0.5f, 0, 0.5f, 0.5f}}},
    {"Three, Two Upside Down", {Sq(0.5f, 0.25f, 0.5f), {0.5f, 0, 0, -0.5f, 0, 0.5f}, {0.5f, 0, 0, -0.5f, 0.5f, 0.5f}}},
    {"", {Third(0, T1), Third(T1, T1), Third(T2, T1)}},
    {"", {Third(T1, 0), Third(T1, T1), Third(T1, T2)}},
    {"", {Third(0, 0), Third(T1, T1), Third(T2, T2)}},
    {"", {Sq(0.5f, 0, 0.5f), {0, -0.5f, 0.5f, 0, 1, 0.5f}, {-0.5f, 0, 0, -0.5f, 1, 0.5f}}},
    {"", {Sq(0.5f, 0, 0), Sq(0.5f, 0.5f, 0), Sq(0.5f, 0.5f, 0.5f)}},
    {"", {{T1, 0, 0, 1, 0, 0}, {-T1, 0, 0, 1, T2, 0}, {T1, 0, 0, 1, T2, 0}}},
    {"", {Sq(T2, 0, T1), Third(T2, 0), Third(T2, T1)}},
    // Four images.
    {"Four, Same Orientation", {Sq(0.5f, 0, 0.5f), Sq(0.5f, 0.5f, 0.5f), Sq(0.5f, 0.5f, 0), Sq(0.5f, 0, 0)}},
    {"Four, Two Up, Two Down",
     {Sq(0.5f, 0, 0.5f), Sq(0.5f, 0.5f, 0.5f), {0.5f, 0, 0, -0.5f, 0, 0.5f}, {0.5f, 0, 0, -0.5f, 0.5f, 0.5f}}},
    {"", {Sq(0.5f, 0, 0), {0, -0.5f, 0.5f, 0, 1, 0}, {-0.5f, 0, 0, -0.5f, 1, 1}, {0, 0.5f, -0.5f, 0, 0, 1}}},
    {"", {Sq(0.5f, 0, 0), {-0.5f, 0, 0, 0.5f, 1, 0}, {0.5f, 0, 0, -0.5f, 0, 1}, {-0.5f, 0, 0, -0.5f, 1, 1}}},
    {"", {Sq(0.25f, 0, 0.375f), Sq(0.25f, 0.25f, 0.375f), Sq(0.25f, 0.5f, 0.375f), Sq(0.25f, 0.75f, 0.375f)}},
    {"", {Third(0, 0), Third(T2, 0), Third(0, T2), Third(T2, T2)}},
    {"",
     {{0.25f, -0.25f, 0.25f, 0.25f, 0.5f, 0.5f}, {0.25f, -0.25f, 0.25f, 0.25f, 0.75f, 0.25f},
      {0.25f, -0.25f, 0.25f, 0.25f, 0.5f, 0}, {0.25f, -0.25f, 0.25f, 0.25f, 0.25f, 0.25f}}},
    {"", Grid(0.25f, {{0, 0}, {1, 1}, {2, 2}, {3, 3}})},
    // Five to twelve images.
    {"", {Third(0, T2), Third(T2, T2), Third(T2, 0), Third(0, 0), Third(T1, T1)}},
    {"", {Third(T1, T2), Third(0, T1), Third(T1, T1), Third(T2, T1), Third(T1, 0)}},
    {"", {Third(0, 0.1667f), Third(T1, 0.1667f), Third(T2, 0.1667f), Third(0, 0.5f), Third(T1, 0.5f), Third(T2, 0.5f)}},
    {"", {Third(0, 0), Third(T1, 0), Third(T2, 0), Third(0.1667f, T1), Third(0.5f, T1), Third(T1, T2)}},
    {"", {Third(0, 0), Third(0, T1), Third(0, T2), Third(T2, 0), Third(T2, T1), Third(T2, T2), Third(T1, T1)}},
    {"",
     {Third(0, 0), Third(T1, 0), Third(T2, 0), Third(T2, T1), Third(T2, T2), Third(T1, T2), Third(0, T2),
      Third(0, T1)}},
    {"",
     {Sq(0.25f, 0, 0.25f), Sq(0.25f, 0.25f, 0.25f), Sq(0.25f, 0.5f, 0.25f), Sq(0.25f, 0.75f, 0.25f),
      {0.25f, 0, 0, -0.25f, 0, 0.75f}, {0.25f, 0, 0, -0.25f, 0.25f, 0.75f}, {0.25f, 0, 0, -0.25f, 0.5f, 0.75f},
      {0.25f, 0, 0, -0.25f, 0.75f, 0.75f}}},
    {"", Turning_Ring()},
    {"",
     {Third(0, 0), Third(T1, 0), Third(T2, 0), Third(0, T1), Third(T1, T1), Third(T2, T1), Third(0, T2),
      Third(T1, T2), Third(T2, T2)}},
    {"", Grid(0.25f, {{0, 3}, {1, 3}, {2, 3}, {3, 3}, {3, 2}, {3, 1}, {3, 0}, {2, 0}, {1, 0}, {0, 0}, {0, 1}, {0, 2}})},
};

Map Step(Map m, int32_t step) {
  m.step = step;
  return m;
}

const std::vector<Record> Level_5 = {
    // One image: a recolouring, turns, mirrors, squeezes and shears.
    {"", {{1, 0, 0, 1, 0, 0, 1}}},
    {"", {{1, 0, 0, -1, 0, 1}}},
    {"", {{-1, 0, 0, 1, 1, 0}}},
    {"", {{0, -1, 1, 0, 1, 0}}},
    {"", {Step(Rot_45, 1)}},
    {"", {{0.5f, 0, 0, 1, 0.25f, 0}}},
    {"", {{1, 0, 0, 0.5f, 0, 0.25f, 1}}},
    {"", {{0.5f, 0.5f, 0, 1, 0, 0}}},
    {"", {{1, 0, 0.5f, 0.5f, 0, 0, 1}}},
    {"", {Sq(0.75f, 0.125f, 0.125f, 2)}},
    // Two images.
    {"", {Sq(1, 0, 0), Sq(0.755f, 0.12f, 0.12f, 1)}},
    {"", {Sq(0.5f, 0, 0.25f), Sq(0.5f, 0.5f, 0.25f, 1)}},
    {"", {{0.5f, 0, 0, 1, 0, 0}, {0.5f, 0, 0, -1, 0.5f, 1, 1}}},
    {"", {Sq(0.5f, 0, 0.25f), {-0.5f, 0, 0, 0.5f, 1, 0.25f, 1}}},
    {"", {Sq(0.5f, 0.25f, 0.5f), Sq(0.5f, 0.25f, 0, 2)}},
    {"copy of ", {Sq(T2, 0, 0), {0, -T2, T2, 0, 1, T1, 1}}},
    {"", {Sq(0.5f, 0, 0), Sq(0.5f, 0.5f, 0.5f, 1)}},
    {"", {{0, -0.5f, 0.5f, 0, 0.5f, 0.25f}, {0, 0.5f, -0.5f, 0, 0.5f, 0.75f, 1}}},
    {"", {Sq(1, 0, 0), Sq(0.5f, 0.25f, 0.25f, 3)}},
    {"", {Sq(T2, 0, 0), Third(T2, T2, 1)}},
    // Three images.
    {"", {Sq(0.5f, 0.25f, 0.5f), Sq(0.5f, 0, 0, 1), Sq(0.5f, 0.5f, 0, 2)}},
    {"", {Sq(0.5f, 0.25f, 0.5f), {0, -0.5f, 0.5f, 0, 0.5f, 0, 1}, {0, 0.5f, -0.5f, 0, 0.5f, 0.5f, 1}}},
    {"", {Sq(0.5f, 0.25f, 0.5f), {0.5f, 0, 0, -0.5f, 0, 0.5f, 1}, {0.5f, 0, 0, -0.5f, 0.5f, 0.5f, 1}}},
    {"", {Third(0, T1), Third(T1, T1, 1), Third(T2, T1, 2)}},
    {"", {Third(T1, 0), Third(T1, T1, 1), Third(T1, T2)}},
    {"", {Third(0, 0), Third(T1, T1, 1), Third(T2, T2, 2)}},
    {"", {Sq(0.5f, 0, 0.5f), {0, -0.5f, 0.5f, 0, 1, 0.5f, 1}, {-0.5f, 0, 0, -0.5f, 1, 0.5f}}},
    {"", {Sq(0.5f, 0, 0), Sq(0.5f, 0.5f, 0, 1), Sq(0.5f, 0.5f, 0.5f, 1)}},
    {"", {Sq(1, 0, 0), Sq(T2, 0.1667f, 0.1667f, 1), Sq(T1, T1, T1, 2)}},
    {"", {Sq(T2, 0, T1), Third(T2, 0, 1), Third(T2, T1, 1)}},
    // Four images.
    {"", {Sq(0.5f, 0, 0.5f), Sq(0.5f, 0.5f, 0.5f, 1), Sq(0.5f, 0.5f, 0, 2), Sq(0.5f, 0, 0, 3)}},
    {"",
     {Sq(0.5f, 0, 0.5f), Sq(0.5f, 0.5f, 0.5f), {0.5f, 0, 0, -0.5f, 0, 0.5f, 1}, {0.5f, 0, 0, -0.5f, 0.5f, 0.5f, 1}}},
    {"", {Sq(0.5f, 0, 0), {0, -0.5f, 0.5f, 0, 1, 0, 1}, {-0.5f, 0, 0, -0.5f, 1, 1}, {0, 0.5f, -0.5f, 0, 0, 1, 1}}},
    {"", {Sq(0.5f, 0, 0), {-0.5f, 0, 0, 0.5f, 1, 0, 1}, {0.5f, 0, 0, -0.5f, 0, 1, 1}, {-0.5f, 0, 0, -0.5f, 1, 1}}},
    {"", {Sq(0.25f, 0, 0.375f), Sq(0.25f, 0.25f, 0.375f, 1), Sq(0.25f, 0.5f, 0.375f), Sq(0.25f, 0.75f, 0.375f, 1)}},
    {"", {Third(0, 0, 1), Third(T2, 0, 1), Third(0, T2, 1), Third(T2, T2, 1)}},
    {"",
     {{0.25f, -0.25f, 0.25f, 0.25f, 0.5f, 0.5f}, {0.25f, -0.25f, 0.25f, 0.25f, 0.75f, 0.25f, 1},
      {0.25f, -0.25f, 0.25f, 0.25f, 0.5f, 0}, {0.25f, -0.25f, 0.25f, 0.25f, 0.25f, 0.25f, 1}}},
    {"", Grid(0.25f, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}, {0, 1, 2, 3})},
    {"", {Sq(1, 0, 0), Sq(0.75f, 0.125f, 0.125f, 1), Sq(0.5f, 0.25f, 0.25f, 2), Sq(0.25f, 0.375f, 0.375f, 3)}},
    {"", {Sq(0.5f, 0, 0.5f), {-0.5f, 0, 0, 0.5f, 1, 0.5f}, Sq(0.5f, 0, 0, 1), {-0.5f, 0, 0, 0.5f, 1, 0, 1}}},
    // Five to nine images.
    {"", {Third(0, T2), Third(T2, T2), Third(T2, 0), Third(0, 0), Third(T1, T1, 1)}},
    {"", {Third(T1, T2), Third(0, T1), Third(T1, T1, 1), Third(T2, T1), Third(T1, 0)}},
    {"", {Third(0, 0), Third(T1, 0), Third(T2, 0), Third(0.1667f, T1, 1), Third(0.5f, T1, 1), Third(T1, T2, 2)}},
    {"", {Third(0, 0.1667f), Third(T1, 0.1667f), Third(T2, 0.1667f), Third(0, 0.5f, 1), Third(T1, 0.5f, 1), Third(T2, 0.5f, 1)}},
    {"", {Third(0, 0), Third(0, T1), Third(0, T2), Third(T2, 0), Third(T2, T1), Third(T2, T2), Third(T1, T1, 1)}},
    {"",
     {Third(0, 0), Third(T1, 0, 1), Third(T2, 0), Third(T2, T1, 1), Third(T2, T2), Third(T1, T2, 1), Third(0, T2),
      Third(0, T1, 1)}},
    {"", Turning_Ring({0, 1})},
    {"",
     {Third(T1, T2, 0), Third(T2, T2, 1), Third(T2, T1, 2), Third(T2, 0, 3), Third(T1, 0, 4), Third(0, 0, 5),
      Third(0, T1, 6), Third(0, T2, 7), Third(T1, T1, 8)}},
};

// The stored form of a manipulator, written exactly as the program's own
// class writes it: the map set as a base part, then the name.
class Stored_Manipulator : public Transform_Set_2D {
 public:
  explicit Stored_Manipulator(const Record& record) : name(record.name) {
    for (const Map_Row& m : record.maps) {
      auto map = std::make_unique<Affine_Transform_2D>(m.a, m.b, m.e, m.c, m.d, m.f);
      map->Color_Step = m.step;
      Add_Map(std::move(map));
    }
  }
  const char* Streamable_Name() const override { return "Shape_Transform"; }

  class Streamer : public TNewStreamer {
   public:
    explicit Streamer(Stored_Manipulator* m) : TNewStreamer(m), manipulator(m) {}
    TStreamableBase* Read(ipstream&, uint32_t) override { return manipulator; }
    void Write(opstream& os) const override {
      Transform_Set_2D::Streamer base(manipulator);
      os.Write_Base_Object(base);
      os.Write_String(std::string_view(manipulator->name));
    }
    uint32_t Class_Version() const override { return 1; }
    static std::unique_ptr<TStreamer> Build(TStreamableBase* object) {
      auto* m = dynamic_cast<Stored_Manipulator*>(object);
      return m != nullptr ? std::make_unique<Streamer>(m) : nullptr;
    }

   private:
    Stored_Manipulator* manipulator;
  };

 private:
  std::string_view name;
};

Block_Bytes Write_Set(const std::vector<Record>& records) {
  static const TStreamableClass shape_transform("Shape_Transform", &Stored_Manipulator::Streamer::Build);
  Block_Bytes bytes;
  opstream out(bytes);
  out.Write_Word(static_cast<uint32_t>(records.size()));
  for (const Record& record : records) out.Write_Object(Stored_Manipulator(record));
  if (out.Fail()) bytes.clear();
  return bytes;
}

Block_Bytes Make_4401() { return Write_Set(Level_1); }
Block_Bytes Make_4402() { return Write_Set(Level_2); }
Block_Bytes Make_4403() { return Write_Set(Level_3); }
Block_Bytes Make_4404() { return Write_Set(Level_4); }
Block_Bytes Make_4405() { return Write_Set(Level_5); }

const Block_Registration set_4401("manipulators_4401.bin", &Make_4401);
const Block_Registration set_4402("manipulators_4402.bin", &Make_4402);
const Block_Registration set_4403("manipulators_4403.bin", &Make_4403);
const Block_Registration set_4404("manipulators_4404.bin", &Make_4404);
const Block_Registration set_4405("manipulators_4405.bin", &Make_4405);

}  // namespace
