#include "game/circular_distribution.h"

#include "game/firework_type.h"

namespace {

// An even b gives -b / 2, an odd one b / 2: half the values fall each side.
int32_t Signed_Half(int32_t b) { return (b & 1) ? (b >> 1) : -(b >> 1); }

}  // namespace

Circular_Distribution::Circular_Distribution(int32_t n) {
  const int32_t count = n * 1021 - 1;
  if (count < 1) return;
  Entries.resize(size_t(count));
  for (TPoint& e : Entries) {
    const float u1 = Uniform_Random();
    const float u2 = Uniform_Random();
    const int32_t a = int32_t(u1 * u1 * float(n + 1));
    const int32_t b = int32_t(u2 * u2 * float(n + 1));
    e = {Signed_Half(b), Signed_Half(a)};
  }
}

Distribution_Table Make_Distribution_Table() {
  Distribution_Table table;
  for (int32_t n = 3; n <= 15; n += 2) table[size_t(n)] = std::make_unique<Circular_Distribution>(n);
  return table;
}
