// Composing two manipulators of twelve maps each: every pairwise product,
// each rounded to the 0.0001 grid, as the iteration step does. The baseline
// is the same 144 products as plain float multiply-adds, without the wide
// sums, saturation and rounding.
#include <benchmark/benchmark.h>

#include <chrono>
#include <random>
#include <vector>

#include "model/affine_transform_2d.h"
#include "model/transform_set_2d.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<Affine_Transform_2D> Manipulator(unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> scale(0.2f, 0.6f), angle(-180.0f, 180.0f),
      shift(0.0f, 0.7f);
  std::vector<Affine_Transform_2D> maps;
  for (int i = 0; i < Transform_Set_2D::Max_Maps; ++i) {
    const float turn = angle(random);
    maps.emplace_back(scale(random), turn, shift(random), scale(random), turn, shift(random), 0);
    maps.back().Color_Step = i % 3;
  }
  return maps;
}

struct Plain {
  float a, b, c, d, e, f;
};

Plain Plain_Product(const XFORM& p, const XFORM& q) {
  return {q.eM11 * p.eM11 + q.eM12 * p.eM21, q.eM11 * p.eM12 + q.eM12 * p.eM22,
          q.eM21 * p.eM11 + q.eM22 * p.eM21, q.eM21 * p.eM12 + q.eM22 * p.eM22,
          q.eM11 * p.eDx + q.eM12 * p.eDy + q.eDx, q.eM21 * p.eDx + q.eM22 * p.eDy + q.eDy};
}

void Compose_Two_Twelve_Map_Sets(benchmark::State& state) {
  const std::vector<Affine_Transform_2D> first = Manipulator(1), second = Manipulator(2);
  std::vector<Affine_Transform_2D> products(144);
  std::vector<Plain> plain(144);
  double work_ns = 0, baseline_ns = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    for (size_t j = 0; j < second.size(); ++j) {
      for (size_t i = 0; i < first.size(); ++i) {
        products[j * 12 + i] = Affine_Transform_2D::Quantize(
            Compose_Transforms(first[i], second[j]), 0.0001f, 0.0001f, 0);
      }
    }
    benchmark::DoNotOptimize(products.data());
    const auto middle = Clock::now();
    for (size_t j = 0; j < second.size(); ++j) {
      for (size_t i = 0; i < first.size(); ++i) plain[j * 12 + i] = Plain_Product(first[i], second[j]);
    }
    benchmark::DoNotOptimize(plain.data());
    benchmark::ClobberMemory();
    const auto end = Clock::now();
    work_ns += std::chrono::duration<double, std::nano>(middle - start).count();
    baseline_ns += std::chrono::duration<double, std::nano>(end - middle).count();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["compose_quantize_ns"] = work_ns / n;
  state.counters["plain_products_ns"] = baseline_ns / n;
  state.counters["ratio"] = work_ns / baseline_ns;
}
BENCHMARK(Compose_Two_Twelve_Map_Sets);

// The set operation the iteration step uses, at its largest (3 x 4 maps),
// against copying the set.
void Compose_With_Twelve_Products(benchmark::State& state) {
  const std::vector<Affine_Transform_2D> first = Manipulator(3), second = Manipulator(4);
  Transform_Set_2D own, other;
  for (int i = 0; i < 3; ++i) own.Add_Map(first[i].Clone());
  for (int i = 0; i < 4; ++i) other.Add_Map(second[i].Clone());
  double work_ns = 0, baseline_ns = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    Transform_Set_2D combined(own);
    combined.Compose_With(other);
    benchmark::DoNotOptimize(combined.Map(11));
    const auto middle = Clock::now();
    Transform_Set_2D copy(own);
    benchmark::DoNotOptimize(copy.Map(2));
    const auto end = Clock::now();
    work_ns += std::chrono::duration<double, std::nano>(middle - start).count();
    baseline_ns += std::chrono::duration<double, std::nano>(end - middle).count();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["compose_with_ns"] = work_ns / n;
  state.counters["copy_ns"] = baseline_ns / n;
  state.counters["ratio"] = work_ns / baseline_ns;
}
BENCHMARK(Compose_With_Twelve_Products);

}  // namespace
