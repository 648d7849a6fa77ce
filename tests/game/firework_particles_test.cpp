// The fireworks' simulation and drawing primitives against worked values.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

#include "game/circular_distribution.h"
#include "game/firework.h"
#include "game/firework_trail.h"
#include "game/polarized_sparkle.h"
#include "game/random_sparkle.h"
#include "toolkit/small_utilities.h"
#include "toolkit/standard_random.h"

namespace {

float Length(float x, float y, float z) { return std::sqrt(x * x + y * y + z * z); }

// The fixed view of the show on a square frame.
Perspective_View_3D View(int side) {
  return Perspective_View_3D(0.0f, 0.0f, 0.5f, 0.0f, -15.0f, 0, 0.5f, float(side), float(side), 18.0f);
}

// A frame of side x side pixels inside a bigger buffer whose margin must
// stay untouched: any write outside the view shows there.
struct Guarded_Frame {
  static constexpr int Margin = 24;
  explicit Guarded_Frame(int side_) : side(side_), stride(side_ + 2 * Margin), buffer(size_t(stride) * (side_ + 2 * Margin), 1) {
    pixels.Attach(buffer.data() + size_t(Margin) * stride + Margin, side, stride, side);
  }
  int Count(uint8_t value) const { return int(std::count(buffer.begin(), buffer.end(), value)); }
  bool Margin_Untouched() const {
    for (int y = 0; y < side + 2 * Margin; ++y)
      for (int x = 0; x < stride; ++x) {
        const bool inside = x >= Margin && x < Margin + side && y >= Margin && y < Margin + side;
        if (!inside && buffer[size_t(y) * stride + x] != 1) return false;
      }
    return true;
  }
  int side, stride;
  std::vector<uint8_t> buffer;
  Pixels pixels;
};

TEST(Fireworks_Random, Both_Generators_Give_Their_Published_Sequences) {
  Set_Random_State(1);
  std::vector<int32_t> first = {Next_Random(), Next_Random(), Next_Random()};
  EXPECT_EQ(first, (std::vector<int32_t>{16807, 282475249, 1622650073}));
  for (int i = 3; i < 9999; ++i) Next_Random();
  EXPECT_EQ(Next_Random(), 1043618065);

  Seed_Standard_Random(1);
  std::vector<int32_t> standard;
  for (int i = 0; i < 5; ++i) standard.push_back(Standard_Random());
  EXPECT_EQ(standard, (std::vector<int32_t>{41, 18467, 6334, 26500, 19169}));
  // Each thread has its own sequence, starting from seed 1.
  int32_t other = -1;
  std::thread([&] { other = Standard_Random(); }).join();
  EXPECT_EQ(other, 41);
  EXPECT_EQ(Standard_Random(), 15724);
}

TEST(Fireworks_Types, Table_Is_Prepared_And_Chosen_By_Level) {
  const Firework_Type_Table types = Prepared_Firework_Types();
  EXPECT_NEAR(types[4].Oscillation.Angular_Speed, 3 * 6.2831853 * 0.001, 1e-7);
  EXPECT_NEAR(types[4].Oscillation.Lower, (0.0009 * 0.2) * (0.0009 * 0.2), 1e-14);
  EXPECT_NEAR(types[3].Oscillation.Upper, (0.0009 * 0.28) * (0.0009 * 0.28), 1e-14);
  EXPECT_EQ((std::vector<int32_t>{types[0].Trail_Steps(), types[1].Trail_Steps(), types[2].Trail_Steps()}),
            (std::vector<int32_t>{4, 10, 15}));
  // Level 1 always gets type 0; at level 2 the draw 50 (state 3 gives
  // 50421 mod 100... found below) is still type 0, 51 type 1.
  std::vector<int> seen(5, 0);
  Set_Random_State(12345);
  for (int i = 0; i < 2000; ++i) ++seen[size_t(Choose_Firework_Type(0))];
  EXPECT_EQ(seen[0], 2000);
  auto type_for_draw = [](int level, int draw) {
    for (int32_t s = 1;; ++s) {
      Set_Random_State(s);
      if (Next_Random() % 100 == draw) {
        Set_Random_State(s);
        return Choose_Firework_Type(level);
      }
    }
  };
  const struct {
    int level, draw, type;
  } cases[] = {{1, 50, 0}, {1, 51, 1}, {2, 35, 0}, {2, 36, 1}, {2, 80, 2}, {2, 81, 3}, {4, 96, 4}, {3, 0, 0}};
  for (const auto& c : cases) EXPECT_EQ(type_for_draw(c.level, c.draw), c.type) << c.level << " " << c.draw;
}

TEST(Fireworks_Motion, A_Step_Moves_Slows_And_Pulls_Down) {
  Particle_3D p;
  p.vx = 0.001f, p.vz = 0.0025f;
  p.Move(30.0f, 7.5e-7f, 0.003f);
  EXPECT_FLOAT_EQ(p.x, 0.03f);
  EXPECT_FLOAT_EQ(p.z, 0.075f);
  EXPECT_FLOAT_EQ(p.vx, 0.001f - 0.003f * 0.03f);
  EXPECT_NEAR(p.vz, 0.0025 - 0.003 * 0.075 - 30 * 7.5e-7, 1e-9);

  // An oscillating particle moves its centre and is drawn off it by the
  // offset, which only turns while the speed lies in the window.
  Particle_3D q;
  q.Oscillating = true;
  q.vz = 0.001f;
  Set_Random_State(7);
  Oscillation_Parameters still{0, 0.01f, 0.1f, 0.0f, 1e-7f};  // speed^2 1e-6 is above the window
  q.Oscillation = Oscillation_3D(&q, still, 30.0f);
  EXPECT_NEAR(std::hypot(q.Oscillation.Offset_X, q.Oscillation.Offset_Y), 0.01, 1e-6);
  q.Move(30.0f, 0.0f, 0.0f);
  EXPECT_EQ((std::vector<float>{q.x, q.y}), (std::vector<float>{0.0f, 0.0f}));
  EXPECT_FLOAT_EQ(q.z, 0.03f);
  Oscillation_Parameters turning{0, 0.01f, 0.1f, 0.0f, 1.0f};
  q.Oscillation = Oscillation_3D(&q, turning, 30.0f);
  const float ox = q.Oscillation.Offset_X, oy = q.Oscillation.Offset_Y;
  q.Move(30.0f, 0.0f, 0.0f);
  const float c = std::cos(3.0f), s = std::sin(3.0f);
  EXPECT_NEAR(q.x, c * ox - s * oy, 1e-6);
  EXPECT_NEAR(q.y, s * ox + c * oy, 1e-6);
  EXPECT_NEAR(q.z, 0.06f, 1e-6);
  // Kind 1 stands the circle across the flight: nothing along it.
  Oscillation_Parameters across{1, 0.01f, 0.1f, 0.0f, 1.0f};
  Particle_3D r;
  r.Oscillating = true;
  r.vx = 0.0006f, r.vy = 0.0008f;
  r.Oscillation = Oscillation_3D(&r, across, 30.0f);
  r.Move(30.0f, 0.0f, 0.0f);
  const float along = ((r.x - r.cx) * 0.6f + (r.y - r.cy) * 0.8f);
  EXPECT_NEAR(along, 0.0f, 1e-6);
  EXPECT_NEAR(Length(r.x - r.cx, r.y - r.cy, r.z - r.cz), 0.01f, 1e-6);
}

TEST(Fireworks_Projection, Worked_Points_And_Points_Behind_The_Eye) {
  const Perspective_View_3D view = View(400);
  const struct {
    float x, y, z;
    int32_t px, py, depth;
  } cases[] = {{0, 0, 0, 200, 200, 9}, {0.1f, 0, 0, 160, 200, 9}, {0, 0, 0.1f, 200, 163, 9}};
  for (const auto& c : cases) {
    const Projected_Point p = view.Project(c.x, c.y, c.z);
    EXPECT_EQ((std::vector<int32_t>{p.x, p.y, p.depth}), (std::vector<int32_t>{c.px, c.py, c.depth})) << c.x << c.z;
  }
  // w = 0.5 - 0.966 y + 0.259 z: y = 1 puts the point behind the eye, and
  // a point a hair in front of it projects far away but within the limits.
  EXPECT_TRUE(view.Project(0, 1, 0).behind);
  EXPECT_TRUE(view.Project(0, 0.5f / 0.9659258f, 0).behind);
  const Projected_Point near = view.Project(0.3f, 0.517f, 0);
  EXPECT_FALSE(near.behind);
  EXPECT_EQ(near.x, -32700);
  EXPECT_EQ(std::abs(near.y) <= 32700, true);

  Firework_Particle star;
  star.y = 2.0f;  // behind the eye
  star.Record(view, TRect(0, 0, 400, 400));
  EXPECT_TRUE(star.Stopped);
  EXPECT_EQ(star.Newest_Position().depth, 0);
  Firework_Particle rocket;
  rocket.z = -0.5f;  // the launch height lies below the frame
  rocket.Record(view, TRect(0, 0, 400, 400));
  EXPECT_TRUE(rocket.Stopped);
  Firework_Particle seen;
  seen.Record(view, TRect(0, 0, 400, 400));
  EXPECT_FALSE(seen.Stopped);
}

TEST(Fireworks_Trail_Window, Positions_Give_One_Segment_Fewer_In_The_Flights_Direction) {
  Firework_Particle p;
  for (int i = 0; i < 40; ++i) {
    p.Newest = (p.Newest + 1) % 36;
    p.Trail[size_t(p.Newest)] = {i, 0, 0};
    p.Recorded = std::min(p.Recorded + 1, 36);
  }
  auto walk = [](Firework_Particle& q, int length) {
    std::vector<int32_t> xs, remaining;
    if (!q.Open_Window(length)) return std::pair(xs, remaining);
    xs.push_back(q.At_Cursor().x);
    while (!q.Walk_Used_Up()) {
      q.Step_Walk();
      xs.push_back(q.At_Cursor().x);
      remaining.push_back(q.Remaining);
    }
    return std::pair(xs, remaining);
  };
  p.vy = 0.0f;  // forward: oldest to newest
  EXPECT_EQ(walk(p, 4), std::pair(std::vector<int32_t>{36, 37, 38, 39}, std::vector<int32_t>{1, 2, 3}));
  p.vy = -1.0f;  // backward: newest to oldest
  EXPECT_EQ(walk(p, 4), std::pair(std::vector<int32_t>{39, 38, 37, 36}, std::vector<int32_t>{3, 2, 1}));
  p.Fade = 2;  // fading shortens the trail
  EXPECT_EQ(walk(p, 4).first, (std::vector<int32_t>{39, 38}));
  p.Fade = 4;
  EXPECT_FALSE(p.Open_Window(4));
  Firework_Particle young;
  young.Newest = 0;
  young.Recorded = 1;
  EXPECT_TRUE(young.Open_Window(10));
  EXPECT_TRUE(young.Walk_Used_Up());  // one position: no segment
}

class Fireworks_Burst : public ::testing::Test {
 protected:
  Firework_Type Type(int kind, int stars) {
    Firework_Type t = Prepared_Firework_Types()[1];
    t.Burst_Kind = kind;
    t.Stars = stars;
    return t;
  }
  Perspective_View_3D view = View(400);
  TRect frame{0, 0, 400, 400};
};

TEST_F(Fireworks_Burst, Sphere_Stars_Fly_At_The_Burst_Speed_Ordered_By_Depth_Speed) {
  Set_Random_State(99);
  Firework f(Type(1, 100), view, frame);
  f.Launch(0, {0.1f, 0.0f, 0.0f}, {0.0001f, 0.0002f, 0.0003f});
  f.Explode(600);
  float sx = 0, sy = 0, sz = 0, last_y = -1;
  for (int i = 1; i <= 100; ++i) {
    const Firework_Particle& s = f.Star(i);
    const float vx = s.vx - 0.0001f, vy = s.vy - 0.0002f, vz = s.vz - 0.0003f;
    EXPECT_NEAR(Length(vx, vy, vz), 0.0009f, 1e-8) << i;
    EXPECT_GE(vy, last_y) << i;
    last_y = vy;
    sx += vx, sy += vy, sz += vz;
    EXPECT_EQ((std::vector<float>{s.x, s.y, s.z}), (std::vector<float>{0.1f, 0.0f, 0.0f}));
    EXPECT_TRUE(s.Burning);
  }
  // Directions that lean one way are answered by the negated sum, so the
  // burst stays round: the sum never gets far beyond sqrt(2) speeds.
  EXPECT_LE(Length(sx, sy, sz), (std::sqrt(2.0f) + 1.0f) * 0.0009f + 1e-7f);
  EXPECT_EQ((std::vector<int32_t>{f.Explosion_Time, f.Ignition_Time}), (std::vector<int32_t>{600, 600}));
}

TEST_F(Fireworks_Burst, Ring_Stars_Spread_Evenly_On_A_Tilted_Circle_In_Mirrored_Pairs) {
  Set_Random_State(5);
  Firework f(Type(0, 100), view, frame);
  f.Launch(0, {0, 0, 0}, {0, 0, 0});
  Set_Random_State(5);
  const float tilt_x = Uniform_Random() - 0.5f;
  Set_Random_State(5);
  f.Explode(0);
  const Affine_Transform_3D tilt(tilt_x, -1.0f, 1.0f, 2);
  // Coordinates of star i on the circle: along the tilt's first and second axes.
  auto circle = [&](int i) {
    const Firework_Particle& s = f.Star(i);
    const float b = tilt.m11 * s.vx + tilt.m21 * s.vy + tilt.m31 * s.vz;
    const float a = tilt.m12 * s.vx + tilt.m22 * s.vy + tilt.m32 * s.vz;
    const float off = tilt.m13 * s.vx + tilt.m23 * s.vy + tilt.m33 * s.vz;
    return std::tuple(a, b, off);
  };
  std::vector<int> steps;
  for (int i = 1; i <= 100; ++i) {
    const auto [a, b, off] = circle(i);
    EXPECT_NEAR(std::hypot(a, b), 0.0009, 1e-8) << i;
    EXPECT_NEAR(off, 0.0f, 1e-8) << i;
    const double angle = std::atan2(-b, -a);  // from (-R, 0)
    const double step = angle / (6.283185307 / 100);
    EXPECT_NEAR(step, std::round(step), 1e-3) << i;
    steps.push_back(int(std::lround(step) + 100) % 100);
  }
  std::sort(steps.begin(), steps.end());
  for (int k = 0; k < 100; ++k) EXPECT_EQ(steps[size_t(k)], k == 0 ? 0 : k) << k;
  EXPECT_NEAR(std::get<0>(circle(1)), -0.0009f, 1e-8);
  EXPECT_NEAR(std::get<0>(circle(100)), 0.0009f, 1e-8);
  for (int i = 1; i < 50; ++i) {
    EXPECT_NEAR(std::get<0>(circle(2 * i)), std::get<0>(circle(2 * i + 1)), 1e-8);
    EXPECT_NEAR(std::get<1>(circle(2 * i)), -std::get<1>(circle(2 * i + 1)), 1e-8);
  }
}

TEST_F(Fireworks_Burst, Stars_Burn_Out_Fade_And_Stop_At_The_Frame) {
  Set_Random_State(3);
  Seed_Standard_Random(3);
  Firework f(Type(1, 100), view, frame);
  f.Launch(0, {0, 0, 0}, {0, 0, 0});
  f.Explode(0);
  int32_t now = 0;
  for (; now <= 1500; now += 30) f.Move(now);
  int burning = 0, fading = 0, stopped = 0;
  for (int i = 1; i <= 100; ++i) burning += f.Star(i).Burning;
  EXPECT_EQ(burning, 100);  // no star burns out within the burn time
  for (; now <= 6000; now += 30) f.Move(now);
  int still_burning = 0;
  for (int i = 1; i <= 100; ++i) {
    const Firework_Particle& s = f.Star(i);
    still_burning += s.Burning && !s.Stopped;
    fading += s.Fade > 0;
    stopped += s.Stopped;
  }
  EXPECT_EQ(still_burning, 0);  // a 1 in 12 chance a step burns each out
  EXPECT_EQ(fading, 100);
  EXPECT_GT(stopped, 0);
}

TEST(Fireworks_Distribution, Offsets_Stay_Within_The_Blot_And_Crowd_The_Centre) {
  Set_Random_State(11);
  const Circular_Distribution three(3);
  EXPECT_EQ(three.Count(), 3062);
  for (int n = 3; n <= 15; n += 2) {
    const Circular_Distribution d(n);
    int centre = 0, negative = 0, positive = 0;
    for (const TPoint& o : d.Offsets()) {
      ASSERT_LE(std::abs(o.x), n / 2) << n;
      ASSERT_LE(std::abs(o.y), n / 2) << n;
      centre += o.x == 0 && o.y == 0;
      negative += o.x < 0;
      positive += o.x > 0;
    }
    EXPECT_EQ(d.Count(), n * 1021 - 1);
    EXPECT_GT(negative, d.Count() / 10) << n;
    EXPECT_GT(positive, d.Count() / 10) << n;
    EXPECT_GT(centre, d.Count() / (n * n)) << n;  // more than an even spread
  }
  Circular_Distribution d(3);
  const TPoint first = d.Next();
  for (int i = 1; i < d.Count(); ++i) d.Next();
  EXPECT_EQ(d.Next(), first);  // read round and round
}

class Fireworks_Drawing : public ::testing::Test {
 protected:
  Fireworks_Drawing() { Set_Random_State(17); }
  Distribution_Table table = Make_Distribution_Table();
  Guarded_Frame frame{100};
  Firework_Trail trail{100, table};
};

TEST_F(Fireworks_Drawing, Segment_Dots_Follow_Size_And_Count_Rules) {
  // Depth 9 adds 0: offset 2 is below 3, one pixel a dot on the line.
  const TRect box = trail.Draw_Segment(frame.pixels, {10, 20, 9}, {30, 20, 9}, 2, 1, 1, 7);
  EXPECT_EQ(box, TRect(9, 19, 31, 21));
  for (int x = 0; x < 100; ++x)
    for (int y = 0; y < 100; ++y)
      if (frame.pixels.At(x, y) == 7) {
        ASSERT_TRUE(y == 20 && x >= 10 && x <= 30) << x << "," << y;
      }
  EXPECT_GT(frame.Count(7), 8);
  // Offset 20 at depth 0 is clamped to 15: dots within 7 of the line.
  const TRect big = trail.Draw_Segment(frame.pixels, {40, 50, 0}, {60, 50, 0}, 20, 1, 1, 8);
  EXPECT_EQ(big, TRect(24, 34, 76, 66));
  int widest = 0;
  for (int x = 0; x < 100; ++x)
    for (int y = 0; y < 100; ++y)
      if (frame.pixels.At(x, y) == 8) widest = std::max(widest, std::abs(y - 50));
  EXPECT_EQ(widest, 7);
  // A count factor of 0 draws nothing, a segment as long as the frame too.
  const int before = frame.Count(9);
  trail.Draw_Segment(frame.pixels, {10, 10, 0}, {20, 10, 0}, 5, 0, 4, 9);
  EXPECT_EQ(trail.Draw_Segment(frame.pixels, {0, 10, 0}, {100, 10, 0}, 5, 1, 1, 9), TRect(0, 10, 100, 10));
  EXPECT_EQ(trail.Draw_Segment(frame.pixels, {0, -50000, 0}, {0, 50000, 0}, 5, 1, 1, 9), TRect(0, -50000, 0, 50000));
  EXPECT_EQ(frame.Count(9), before);
  EXPECT_TRUE(frame.Margin_Untouched());
}

TEST_F(Fireworks_Drawing, Segments_And_Sparkles_Partly_Outside_Stay_Inside_The_Pixels) {
  Polarized_Sparkle star;
  Random_Sparkle glitter(table);
  for (int depth = 0; depth <= 17; depth += 17) {
    for (int size = 1; size <= 20; size += 3) {
      trail.Draw_Segment(frame.pixels, {-5, -3, depth}, {20, 8, depth}, size, 3, 1, 2);
      trail.Draw_Segment(frame.pixels, {95, 90, depth}, {110, 104, depth}, size, 3, 1, 2);
      for (TPoint p : {TPoint{0, 0}, TPoint{99, 99}, TPoint{-3, 50}, TPoint{50, 103}}) {
        star.Draw(frame.pixels, {p.x, p.y, depth}, size, 3);
        glitter.Draw(frame.pixels, {p.x, p.y, depth}, size, 4);
      }
    }
  }
  EXPECT_TRUE(frame.Margin_Untouched());
  EXPECT_GT(frame.Count(2), 0);
  EXPECT_GT(frame.Count(3), 0);
  EXPECT_GT(frame.Count(4), 0);
}

TEST_F(Fireworks_Drawing, Sparkles_Are_One_Pixel_When_Small_And_Their_Mask_Otherwise) {
  Polarized_Sparkle star;
  Random_Sparkle glitter(table);
  // Depth 17 takes 7 off: offset 9 gives 2, below 3: one pixel.
  EXPECT_EQ(star.Draw(frame.pixels, {50, 50, 17}, 9, 5), TRect(50, 50, 51, 51));
  EXPECT_EQ(glitter.Draw(frame.pixels, {60, 60, 17}, 9, 6), TRect(60, 60, 61, 61));
  EXPECT_EQ(frame.Count(5) + frame.Count(6), 2);
  // Offset 9 at depth 9 is size 9: the 9 x 9 mask, centred; the square of
  // the glitter likewise.
  EXPECT_EQ(star.Draw(frame.pixels, {20, 20, 9}, 9, 5), TRect(16, 16, 25, 25));
  EXPECT_EQ(frame.pixels.At(20, 20), 255);  // the white core
  EXPECT_EQ(frame.pixels.At(20, 16), 5);    // the tip of the upright ray
  EXPECT_EQ(frame.pixels.At(16, 16), 1);    // corners are left alone
  EXPECT_EQ(glitter.Draw(frame.pixels, {70, 30, 9}, 9, 6), TRect(66, 26, 75, 35));
  // Even size 10 (depth 8 adds 0, offset 10): 9 wide, 11 high; clipped at
  // the edge.
  EXPECT_EQ(star.Draw(frame.pixels, {0, 40, 8}, 10, 5), TRect(0, 35, 5, 46));
  for (int k = 3; k <= 15; ++k) {
    const Polarized_Sparkle::Mask& m = star.Masks[size_t(k)];
    const TSize size = Polarized_Sparkle::Mask_Size(k);
    ASSERT_EQ(m.Bytes.size(), size_t(size.cx * size.cy)) << k;
    EXPECT_EQ(m.Rect, TRect(-size.cx / 2, -size.cy / 2, size.cx - size.cx / 2, size.cy - size.cy / 2)) << k;
    for (int y = 0; y < size.cy; ++y)
      for (int x = 0; x < size.cx; ++x)
        ASSERT_EQ(m.Bytes[size_t(y * size.cx + x)], m.Bytes[size_t((size.cy - 1 - y) * size.cx + x)]) << k;
    EXPECT_EQ(m.Bytes[size_t(size.cy / 2 * size.cx + size.cx / 2)], 255) << k;
  }
}

}  // namespace
