// Printing and the clipboard at the largest drawing side (1440), each beside
// a baseline measured in the same run:
// - the PDF page of a drawing (kept by the printer's page, written with its
//   image deflated) against zlib's compress2 of the drawing's 8-bit pixels
//   alone: time ratio and both sizes;
// - the clipboard's PNG of the drawing against libpng's default encoding of
//   the same pixels and palette: time ratio and both sizes.
#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <chrono>
#include <cmath>
#include <csetjmp>
#include <vector>

#include "platform/gdi/dib.h"
#include "platform/gdi/dib_dc.h"
#include "platform/gdi/pdf_page_writer.h"
#include "platform/gdi/png_writer.h"
#include "platform/gdi/print_dc.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int Side = 1440;

// A drawing-like picture: rings and wedges of flat colour, as patterns made
// of shapes under many maps are.
TDib& Drawing() {
  static TDib dib = [] {
    TDib d(Side, Side, 8, 256);
    for (int i = 0; i < 256; ++i) d.SetColor(i, TColor(uint8_t(i * 37), uint8_t(i * 91), uint8_t(i * 53)));
    for (int y = 0; y < Side; ++y)
      for (int x = 0; x < Side; ++x) {
        const double dx = x % 360 - 180.0, dy = y % 360 - 180.0;
        const int ring = int(std::sqrt(dx * dx + dy * dy) / 24);
        const int wedge = int((std::atan2(dy, dx) + 3.15) * 2);
        d.GetBits()[y * d.Pitch() + x] = uint8_t(ring < 7 ? (ring * 7 + wedge + x / 360 * 3) % 60 + 10 : 1);
      }
    return d;
  }();
  return dib;
}

const uint8_t* Top_Row(const TDib& d) { return d.GetBits() + (d.Height() - 1) * d.Pitch(); }

template <typename Work>
double Seconds_Per_Run(Work work, int runs) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = Clock::now();
    work();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
  }
  return best;
}

std::vector<uint8_t> Pdf_Of_Drawing() {
  TPrintDC page(2400, 3000, 300, 300, TPrintDC::TKind::Kept);
  TDibDC source(Drawing());
  page.StretchBlt(TRect(0, 0, 2 * Side, 2 * Side), source, TRect(0, 0, Side, Side));
  return TPdf_Page_Writer::Write(TPdf_Page_Geometry{612, 792, 18, 18, 300, 300}, page.Pictures());
}

std::vector<uint8_t> Zlib_Of_Pixels() {
  std::vector<uint8_t> pixels(size_t(Side) * Side);
  for (int y = 0; y < Side; ++y) std::copy_n(Top_Row(Drawing()) - long(y) * Drawing().Pitch(), Side, &pixels[size_t(y) * Side]);
  uLongf size = compressBound(uLong(pixels.size()));
  std::vector<uint8_t> out(size);
  compress2(out.data(), &size, pixels.data(), uLong(pixels.size()), Z_DEFAULT_COMPRESSION);
  out.resize(size);
  return out;
}

void Append(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

// libpng as it comes: palette, IHDR, the rows, nothing tuned.
std::vector<uint8_t> Default_Png() {
  std::vector<uint8_t> out;
  std::vector<png_color> palette(256);
  for (int i = 0; i < 256; ++i) {
    const uint32_t c = Drawing().GetColors()[i];
    palette[size_t(i)] = png_color{png_byte(c >> 16), png_byte(c >> 8), png_byte(c)};
  }
  std::vector<png_bytep> rows(Side);
  for (int y = 0; y < Side; ++y) rows[size_t(y)] = const_cast<png_bytep>(Top_Row(Drawing()) - long(y) * Drawing().Pitch());
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, &Append, nullptr);
  png_set_IHDR(png, info, Side, Side, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_set_PLTE(png, info, palette.data(), 256);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::vector<uint8_t> Clipboard_Png() {
  return Encode_PNG_Indexed(Side, Side, Top_Row(Drawing()), -Drawing().Pitch(), Drawing().GetColors(), 256);
}

template <typename Ours, typename Baseline>
void Against(benchmark::State& state, Ours ours, Baseline baseline, const char* baseline_name) {
  const size_t baseline_bytes = baseline().size();
  const double baseline_s = Seconds_Per_Run([&] { benchmark::DoNotOptimize(baseline()); }, 5);
  size_t bytes = 0;
  const auto t0 = Clock::now();
  for (auto _ : state) {
    auto out = ours();
    bytes = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  const double each = std::chrono::duration<double>(Clock::now() - t0).count() / double(state.iterations());
  state.counters["ratio_to_baseline"] = each / baseline_s;
  state.counters[std::string(baseline_name) + "_ms"] = baseline_s * 1e3;
  state.counters["bytes"] = double(bytes);
  state.counters[std::string(baseline_name) + "_bytes"] = double(baseline_bytes);
}

void BM_Pdf_Page_Of_Drawing_1440(benchmark::State& state) { Against(state, Pdf_Of_Drawing, Zlib_Of_Pixels, "zlib"); }
BENCHMARK(BM_Pdf_Page_Of_Drawing_1440)->Unit(benchmark::kMillisecond);

void BM_Clipboard_Png_1440(benchmark::State& state) { Against(state, Clipboard_Png, Default_Png, "libpng_default"); }
BENCHMARK(BM_Clipboard_Png_1440)->Unit(benchmark::kMillisecond);

}  // namespace
