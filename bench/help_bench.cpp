// The help pages, each figure beside a baseline from the same run:
// - laying out the largest section of the built-in script (the main
//   window's, every page) against measuring the text of its lines alone;
// - painting a help page over a 1920 x 1080 screen against one memcpy of
//   the screen (the page should cost at most four);
// - a hover over a page button and a Tab: neither repaints the page
//   (pages_painted stays 0), each timed against a memcpy of the screen.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "help/help_window.h"
#include "platform/gdi/font.h"
#include "platform/gdi/memory_dc.h"
#include "platform/system/resource.h"
#include "platform/window/desktop.h"
#include "platform/window/screen.h"
#include "platform/window/window_dc.h"
#include "tests/program/program_session.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds_Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void BM_Help_Layout_Of_The_Largest_Section(benchmark::State& state) {
  const TResource block = Find_Resource(RT_RCDATA, Help_Window::Script_Resource);
  const char* begin = reinterpret_cast<const char*>(block.data);
  Help_Section found[Help_Window::Section_Count];
  Help_Section::Scan(begin, begin + block.size, found, Help_Window::Section_Count);
  TMemoryDC dc;
  const TFont font("MS Sans Serif", 20);
  dc.SelectObject(font);
  Help_Layout_Context context;
  context.u = 20;
  context.L = 20;
  context.arrow_frame = TRect(0, 20, 1024, 788);
  context.measure = [&dc](const char* text, int32_t length) {
    return dc.GetTextExtent(std::string_view(text, size_t(length)));
  };
  // The baseline: every line of the section measured once, as it stands.
  std::vector<std::string_view> lines;
  for (const char* p = found[0].body_begin; p < found[0].body_end;) {
    const char* e = static_cast<const char*>(std::memchr(p, '\n', size_t(found[0].body_end - p)));
    if (!e) e = found[0].body_end;
    lines.emplace_back(p, size_t(e - p));
    p = e + 1;
  }
  double ours = 0, baseline = 0;
  size_t pages = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    Help_Section section;
    section.body_begin = found[0].body_begin;
    section.body_end = found[0].body_end;
    section.Load(context, TRect(200, 30, 780, 610), true);
    pages = section.main_pages.size() + section.side_pages.size();
    auto middle = Clock::now();
    int width = 0;
    for (std::string_view line : lines) width += dc.GetTextExtent(line).cx;
    benchmark::DoNotOptimize(width);
    ours += std::chrono::duration<double>(middle - start).count();
    baseline += Seconds_Since(middle);
  }
  state.counters["pages"] = double(pages);
  state.counters["times_measuring"] = ours / baseline;
  state.counters["us_per_layout"] = 1e6 * ours / double(state.iterations());
}
BENCHMARK(BM_Help_Layout_Of_The_Largest_Section)->Unit(benchmark::kMicrosecond);

struct Shown_Help {
  explicit Shown_Help(TSize screen) : program(Options(screen)) {
    program.Start();
    The_Help_Window->Show_Section(0, program.Main());
    The_Help_Window->Go_To_Page(7, false);  // two arrows, five lines
    program.Run_Until_Idle();
  }
  static Program_Options Options(TSize screen) {
    Program_Options options;
    options.screen = screen;
    return options;
  }
  Program_Session program;
};

void BM_Help_Page_Paint(benchmark::State& state) {
  Shown_Help shown(TSize(1920, 1080));
  Help_Window& help = *The_Help_Window;
  const TSurface& screen = *TDesktop::Current().Screen().Surface();
  std::vector<uint8_t> copy(screen.Size_Bytes());
  double ours = 0, baseline = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    {
      TClientDC dc(help);
      TRect all = help.GetClientRect();
      help.Paint(dc, false, all);
    }
    auto middle = Clock::now();
    std::memcpy(copy.data(), screen.Bits(), copy.size());
    benchmark::ClobberMemory();
    ours += std::chrono::duration<double>(middle - start).count();
    baseline += Seconds_Since(middle);
  }
  state.counters["times_memcpy"] = ours / baseline;
  state.counters["ms_per_page"] = 1000 * ours / double(state.iterations());
}
BENCHMARK(BM_Help_Page_Paint)->Unit(benchmark::kMillisecond);

// range(0): 0 a hover on and off the Next button, 1 a Tab.
void BM_Help_Hover_And_Tab(benchmark::State& state) {
  Shown_Help shown(TSize(1920, 1080));
  Help_Window& help = *The_Help_Window;
  const TRect next = help.Section(0).buttons[Next_Place];
  const TPoint on((next.left + next.right) / 2, (next.top + next.bottom) / 2);
  const TPoint off = help.Current_Page()->owner_area.TopLeft().Offset_By(300, 300);
  const TSurface& screen = *TDesktop::Current().Screen().Surface();
  std::vector<uint8_t> copy(screen.Size_Bytes());
  const int paints = help.Page_Paints;
  double ours = 0, baseline = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    if (state.range(0) == 0) {
      help.Mouse_Move(0, on);
      help.Mouse_Move(0, off);
    } else {
      help.Key_Down(VK_TAB);
    }
    auto middle = Clock::now();
    std::memcpy(copy.data(), screen.Bits(), copy.size());
    benchmark::ClobberMemory();
    ours += std::chrono::duration<double>(middle - start).count();
    baseline += Seconds_Since(middle);
  }
  state.counters["pages_painted"] = double(help.Page_Paints - paints);
  state.counters["times_memcpy"] = ours / baseline;
}
BENCHMARK(BM_Help_Hover_And_Tab)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
