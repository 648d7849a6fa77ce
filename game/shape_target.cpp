#include "game/shape_target.h"

#include <algorithm>
#include <cassert>
#include <utility>

#include "model/float_equal.h"
#include "model/gui_colors.h"
#include "model/shape.h"

namespace {

// The scheme colours target pictures are drawn in: the album's photo
// background and the silhouette colour it gives every other photo, so that
// a generated target looks the same in the album as any other.
constexpr int Target_Background_Scheme = 11;
constexpr int Target_Shape_Scheme = 1;

// Composed maps are rounded to this grid before rendering.
constexpr float Quantize_Step = 0.0001f;
// A batch grows while the product of its image counts stays below this.
constexpr int32_t Batch_Bound = 7;
// The most renderings of a step applied until the picture stops changing.
constexpr int32_t Repeat_Limit = 11;

Transform_Set_2D Identity_Set() {
  Transform_Set_2D set;
  set.Add_Map(std::make_unique<Affine_Transform_2D>());
  return set;
}

// The rows of a picture from the top; the bitmap is stored bottom-up.
struct Rows {
  explicit Rows(const Shape_Drawing& picture)
      : bits(picture.Bitmap->GetBits()), pitch(int64_t(picture.Bitmap->Pitch())),
        last(int64_t(picture.Bitmap->Height()) - 1) {}
  uint8_t* Row(int32_t r) const { return bits + (last - r) * pitch; }
  uint8_t* bits;
  int64_t pitch;
  int64_t last;
};

// Whether a picture holds pixels of exactly w x h, unpacking it if needed.
// A pool bitmap may be wider than its picture (rows padded to four pixels).
bool Pixels_Of_Size(Shape_Drawing& picture, int32_t w, int32_t h) {
  if (picture.Packed && (!picture.Bitmap || picture.Bitmap_Stale)) picture.Unpack(true, nullptr);
  return picture.Bitmap && picture.Width() == w && picture.Height() == h && picture.Bitmap->Width() >= w &&
         picture.Bitmap->Height() == h;
}

// The picture rendered through set, in place: the new bitmap takes the old
// one's place. Returns whether the pixels changed when asked to compare.
bool Render_In_Place(Shape_Drawing& picture, const Transform_Set_2D& fitted, bool compare) {
  Shape_Drawing next(picture, fitted);
  const bool same = compare && next.Same_Pixels(picture);
  std::swap(picture.Bitmap, next.Bitmap);
  std::swap(picture.Owns_Bitmap, next.Owns_Bitmap);
  picture.Iterated = false;
  return !same;
}

// Whether n pixels agree in coverage. The pixels go in blocks so that a
// difference ends the scan early.
inline __attribute__((always_inline)) bool Coverage_Agrees(const uint8_t* t, const uint8_t* p, int64_t n,
                                                            uint8_t t_background, uint8_t p_background) {
  constexpr int64_t Block = 4096;
  for (int64_t start = 0; start < n; start += Block) {
    const int64_t end = std::min(n, start + Block);
    uint8_t differs = 0;
    for (int64_t c = start; c < end; ++c) differs |= uint8_t((t[c] != t_background) ^ (p[c] != p_background));
    if (differs != 0) return false;
  }
  return true;
}

bool Same_Coverage_Plain(const uint8_t* t, const uint8_t* p, int64_t n, uint8_t t_background, uint8_t p_background) {
  return Coverage_Agrees(t, p, n, t_background, p_background);
}

#if defined(__x86_64__)
__attribute__((target("avx2"))) bool Same_Coverage_Avx2(const uint8_t* t, const uint8_t* p, int64_t n,
                                                        uint8_t t_background, uint8_t p_background) {
  return Coverage_Agrees(t, p, n, t_background, p_background);
}
#endif

// The match test is mostly this loop: it runs on the widest vectors the
// processor has. Chosen at the first call rather than by the loader, which
// would run the choice before a sanitizer's runtime is up.
bool Same_Coverage(const uint8_t* t, const uint8_t* p, int64_t n, uint8_t t_background, uint8_t p_background) {
#if defined(__x86_64__)
  static const bool avx2 = __builtin_cpu_supports("avx2");
  if (avx2) return Same_Coverage_Avx2(t, p, n, t_background, p_background);
#endif
  return Same_Coverage_Plain(t, p, n, t_background, p_background);
}

// Whether the two pictures agree in coverage everywhere the match test
// looks. Laid out alike, their rows are compared as one span that takes in
// the columns between rows as well: agreement there is a quick yes, and
// anything else is settled row by row.
bool Same_Inner_Coverage(const Rows& t, const Rows& p, int32_t w, int32_t h, uint8_t t_background,
                         uint8_t p_background) {
  if (h < 5 || w < 5) return true;
  if (t.pitch == p.pitch &&
      Same_Coverage(t.Row(h - 3) + 2, p.Row(h - 3) + 2, (h - 5) * t.pitch + (w - 4), t_background, p_background))
    return true;
  for (int32_t r = 2; r <= h - 3; ++r)
    if (!Same_Coverage(t.Row(r) + 2, p.Row(r) + 2, w - 4, t_background, p_background)) return false;
  return true;
}

// The covered pixels among n, counted in blocks of 255 so that the
// counters stay bytes and the loop runs on vectors.
int64_t Covered_Count(const uint8_t* t, int32_t n, uint8_t background) {
  int64_t ink = 0;
  for (int32_t start = 0; start < n; start += 255) {
    const int32_t end = std::min(n, start + 255);
    uint8_t count = 0;
    for (int32_t c = start; c < end; ++c) count = uint8_t(count + (t[c] != background));
    ink += count;
  }
  return ink;
}

int64_t Distance2(TColor a, TColor b) {
  const int64_t r = int64_t(a.Red()) - b.Red(), g = int64_t(a.Green()) - b.Green(),
                u = int64_t(a.Blue()) - b.Blue();
  return r * r + g * g + u * u;
}

}  // namespace

TColor Shape_Target::Target_Background() { return The_GUI_Colors->Scheme_RGB(Target_Background_Scheme); }

TColor Shape_Target::Target_Shape_Color() { return The_GUI_Colors->Scheme_RGB(Target_Shape_Scheme); }

bool Shape_Target::Unit_Columns(const Transform_Set_2D& set) {
  if (set.Count() != 1) return false;
  const auto* m = dynamic_cast<const Affine_Transform_2D*>(set.Map(0));
  if (!m) return false;
  return Float_Equal(m->eM11 * m->eM11 + m->eM21 * m->eM21, 1.0f) &&
         Float_Equal(m->eM12 * m->eM12 + m->eM22 * m->eM22, 1.0f);
}

Shape_Target::Chain_Entry Shape_Target::Owned_Entry(std::unique_ptr<Point_Set_2D> points) {
  Chain_Entry entry;
  entry.points = points.get();
  entry.owned = std::move(points);
  return entry;
}

Shape_Target::Shape_Target(int32_t width, int32_t height, const Shape* start_shape_, const TRect& frame_,
                           const Centering_Transform& centering_)
    : Shape_Drawing(width, height, The_GUI_Colors->Palette.get(), Target_Background()),
      start_shape(start_shape_), frame(frame_), centering(centering_) {
  if (start_shape) chain.push_back(Chain_Entry{&start_shape->Key_Points, nullptr});
}

Shape_Target::Shape_Target(const Shape_Drawing& source, const Shape* start_shape_, const TRect& frame_,
                           const Centering_Transform& centering_, std::unique_ptr<Point_Set_2D> points,
                           int32_t first_stage_steps)
    : Shape_Drawing(source, true), start_shape(start_shape_), frame(frame_), centering(centering_),
      from_drawing(true), realized_steps(first_stage_steps) {
  if (points) chain.push_back(Owned_Entry(std::move(points)));
}

Shape_Target::Shape_Target(Shape_Target& source)
    : Shape_Drawing(source.Width(), source.Height(), The_GUI_Colors->Palette.get(), source.Background),
      Match_Target(), start_shape(source.start_shape), frame(source.frame), centering(source.centering),
      from_drawing(source.from_drawing), realized_steps(source.realized_steps), steps(source.steps),
      cursor(source.steps.size()), chain(std::move(source.chain)) {
  source.chain.clear();
  if (!chain.empty()) source.chain.push_back(Owned_Entry(std::make_unique<Point_Set_2D>(*chain.front().points)));
}

Shape_Target::~Shape_Target() = default;

void Shape_Target::Add_Step(std::shared_ptr<const Transform_Set_2D> set, int32_t section, int32_t index,
                            bool repeat) {
  if (!set) return;
  steps.push_back(Transform_Step{set, repeat, section, index});
  if (from_drawing || chain.empty()) return;
  if (!trial_image || trial_set != set) Set_Trial_Image(set);
  // A rotation or mirror keeps the earlier states comparable: the chain
  // remembers them so a later step cannot lead back to one.
  const bool keeps_chain = set->Count() == 0 || Unit_Columns(*set);
  if (!keeps_chain) Drop_Point_Chain();
  chain.push_front(Owned_Entry(std::move(trial_image)));
  trial_set.reset();
}

void Shape_Target::Set_Trial_Image(std::shared_ptr<const Transform_Set_2D> set) {
  trial_image.reset();
  trial_set.reset();
  if (!set || chain.empty()) return;
  trial_image = std::make_unique<Point_Set_2D>(chain.front().points->Image(*set));
  trial_set = std::move(set);
}

bool Shape_Target::Trial_Repeats() const {
  if (!trial_image) return false;
  return std::any_of(chain.begin(), chain.end(),
                     [this](const Chain_Entry& e) { return trial_image->Equals(*e.points); });
}

void Shape_Target::Drop_Point_Chain() { chain.clear(); }

std::shared_ptr<const Transform_Set_2D> Shape_Target::Next_Step(int32_t& section, int32_t& index, bool& repeat) {
  if (cursor >= steps.size()) return nullptr;
  const Transform_Step& step = steps[cursor++];
  section = step.section;
  index = step.index;
  repeat = step.repeat;
  return step.set;
}

// ---- Realisation

void Shape_Target::Realize(int32_t limit) {
  const int32_t count = Step_Count();
  const int32_t n = limit < 0 ? count : std::min(limit, count);
  Clear();
  if (start_shape) Paint_Shape(*start_shape, frame, Target_Shape_Color(), TColor(No_Color));
  // Consecutive steps are composed into one set and rendered together.
  Transform_Set_2D pending = Identity_Set();
  int32_t run_count = 0;
  for (int32_t i = 0; i < n; ++i) {
    const Transform_Step& step = steps[size_t(i)];
    const Transform_Set_2D& set = *step.set;
    if (!step.repeat && (pending.Count() < 2 || set.Count() * pending.Count() < Batch_Bound)) {
      pending.Compose_With(set);
      ++run_count;
    } else {
      Flush(pending, run_count);
      if (!step.repeat) {
        pending = set;
        run_count = 1;
      } else {
        Render_Repeated(set);
        pending = Identity_Set();
        run_count = 0;
      }
    }
    if (from_drawing && !chain.empty() && i >= realized_steps) {
      auto image = std::make_unique<Point_Set_2D>(chain.front().points->Image(set));
      chain.front() = Owned_Entry(std::move(image));
    }
  }
  realized_steps = n;
  Flush(pending, run_count);
}

void Shape_Target::Flush(const Transform_Set_2D& pending, int32_t run_count) {
  Transform_Set_2D fitted;
  if (run_count < 2) {
    centering.Fit(fitted, pending);
  } else {
    // Products of several steps are rounded so that they do not drift.
    Transform_Set_2D rounded;
    for (int32_t i = 0; i < pending.Count(); ++i)
      if (const auto* m = dynamic_cast<const Affine_Transform_2D*>(pending.Map(i)))
        rounded.Add_Map(std::make_unique<Affine_Transform_2D>(
            Affine_Transform_2D::Quantize(*m, Quantize_Step, Quantize_Step, 0)));
    centering.Fit(fitted, rounded);
  }
  Render_In_Place(*this, fitted, false);
}

void Shape_Target::Render_Repeated(const Transform_Set_2D& set) {
  Transform_Set_2D fitted;
  centering.Fit(fitted, set);
  for (int32_t k = 0; k < Repeat_Limit; ++k)
    if (!Render_In_Place(*this, fitted, true)) break;
}

// ---- The match test and the hint

bool Shape_Target::Matches(Shape_Drawing& picture, const Shape* shape, const Point_Set_2D* points) {
  if (shape && points && !chain.empty() && shape == start_shape && points->Equals(*chain.front().points))
    return true;
  const int32_t w = Width(), h = Height();
  // A picture of another size cannot be compared pixel for pixel.
  if (!Pixels_Of_Size(*this, w, h) || !Pixels_Of_Size(picture, w, h)) return false;
  const int64_t limit = int64_t(w) * h / 200;
  const uint8_t own_background = Background_Index(), their_background = picture.Background_Index();
  const Rows target_rows(*this), player_rows(picture);
  // Equal coverage everywhere matches whatever the ink: look for a
  // difference first and count only when there is one.
  if (Same_Inner_Coverage(target_rows, player_rows, w, h, own_background, their_background)) return true;
  int64_t ink = 0, interior = 0, edge = 0;
  for (int32_t r = 2; r <= h - 3 && interior < limit; ++r) {
    const uint8_t* t = target_rows.Row(r);
    const uint8_t* p = player_rows.Row(r);
    // Most rows agree in coverage everywhere: count their ink in one pass.
    if (Same_Coverage(t + 2, p + 2, w - 4, own_background, their_background)) {
      ink += Covered_Count(t + 2, w - 4, own_background);
      continue;
    }
    const uint8_t* up1 = target_rows.Row(r - 1);
    const uint8_t* down1 = target_rows.Row(r + 1);
    const uint8_t* up2 = target_rows.Row(r - 2);
    const uint8_t* down2 = target_rows.Row(r + 2);
    for (int32_t c = 2; c <= w - 3; ++c) {
      const uint8_t v = t[c];
      const bool covered = v != own_background;
      if (covered != (p[c] != their_background)) {
        const bool inside = t[c - 1] == v && t[c + 1] == v && up1[c] == v && down1[c] == v && up2[c - 2] == v &&
                            up2[c + 2] == v && down2[c - 2] == v && down2[c + 2] == v;
        if (inside) {
          if (++interior > limit) break;
        } else {
          ++edge;
        }
      }
      if (covered) ++ink;
    }
  }
  if (interior > 0 && interior * 100 >= ink) return false;
  return edge == 0 || edge * 15 < ink;
}

void Shape_Target::Overlay_Hint(Shape_Drawing& picture, TColor color) {
  const int32_t w = Width(), h = Height();
  if (!Pixels_Of_Size(*this, w, h) || !Pixels_Of_Size(picture, w, h)) return;
  const TColor grey = Hint_Color(picture.Background, color);
  const uint8_t index =
      uint8_t(Nearest_Color_Index(picture.Bitmap->GetColors(), picture.Bitmap->NumColors(), grey.Xrgb()));
  const uint8_t own_background = Background_Index();
  picture.Writable_Pixels();
  const Rows target_rows(*this), player_rows(picture);
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* t = target_rows.Row(y);
    uint8_t* p = player_rows.Row(y);
    for (int32_t x = y & 1; x < w; x += 2)
      if (t[x] != own_background) p[x] = index;
  }
}

TColor Shape_Target::Hint_Color(TColor first, TColor second) {
  const TPalette& palette = *The_GUI_Colors->Palette;
  const TColor a = Palette_Color_To_RGB(first, palette), b = Palette_Color_To_RGB(second, palette);
  TColor best(31, 31, 31);
  int64_t best_distance = -1;
  for (int level = 31; level <= 217; level += 31) {
    const TColor grey(level, level, level);
    const int64_t d = std::min(Distance2(grey, a), Distance2(grey, b));
    if (d > best_distance) {
      best_distance = d;
      best = grey;
    }
  }
  return best;
}
