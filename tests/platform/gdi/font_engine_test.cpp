#include "platform/gdi/font_engine.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/gdi/png_writer.h"

namespace {

using Spans = std::vector<std::tuple<int, int, int>>;

Spans Render(const TFont_Spec& font, std::string_view text) {
  Spans spans;
  TFont_Engine::Instance().Render(font, text, [&](int y, int x0, int x1) { spans.emplace_back(y, x0, x1); });
  return spans;
}

int Pixel_Count(const Spans& spans) {
  int count = 0;
  for (auto [y, x0, x1] : spans) count += x1 - x0;
  return count;
}

// The program may exit while a worker still draws text.
TEST(Font_Engine, AWorkerDrawingAtExitDoesNotCrash) {
  for (int round = 0; round < 10; ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      std::thread([] {
        for (int size = 8;; size = size % 60 + 1) Render({"Arial", -size, 400, false}, "Exit");
      }).detach();
      std::this_thread::sleep_for(std::chrono::milliseconds(round));
      exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round << " status " << status;
  }
}

TEST(Font_Engine, WindowsFacesMapToMetricCompatibleFonts) {
  TFont_Engine& engine = TFont_Engine::Instance();
  struct Case { const char* face; int weight; bool italic; const char* file; };
  const Case cases[] = {
      {"Arial", 400, false, "LiberationSans-Regular.ttf"}, {"arial", 700, false, "LiberationSans-Bold.ttf"},  // case-blind
      {"Arial", 400, true, "LiberationSans-Italic.ttf"}, {"Arial", 700, true, "LiberationSans-BoldItalic.ttf"},
      {"Times New Roman", 400, false, "LiberationSerif-Regular.ttf"}, {"Times New Roman", 700, false, "LiberationSerif-Bold.ttf"},
      {"Times New Roman", 400, true, "LiberationSerif-Italic.ttf"}, {"Courier New", 400, false, "LiberationMono-Regular.ttf"},
      {"Courier New", 600, false, "LiberationMono-Bold.ttf"},  // 600 already counts as bold
      {"MS Sans Serif", 400, false, "LiberationSans-Regular.ttf"}, {"MS Serif", 400, false, "LiberationSerif-Regular.ttf"},
      {"MS Serif", 700, false, "LiberationSerif-Bold.ttf"}, {"Arial Rounded MT Bold", 400, false, "LiberationSans-Bold.ttf"},
      {"No Such Face", 400, false, "DejaVuSans.ttf"}, {"", 400, false, "DejaVuSans.ttf"},
      {"No Such Face", 700, false, "DejaVuSans-Bold.ttf"},
  };
  for (const Case& c : cases) {
    const std::string path = engine.Resolved_File({c.face, 20, c.weight, c.italic});
    EXPECT_EQ(path.substr(path.rfind('/') + 1), c.file) << c.face << " " << c.weight << " " << c.italic;
  }
}

// A positive height is the cell height; extreme heights give usable cells.
TEST(Font_Engine, HeightsAndKnownMetrics) {
  for (const char* face : {"Arial", "Times New Roman", "Courier New", "MS Serif", "No Such Face"}) {
    for (int height = 1; height <= 120; ++height) {
      TText_Metrics m = TFont_Engine::Instance().Metrics({face, height});
      ASSERT_EQ(std::pair(m.height, m.ascent + m.descent), std::pair(height, height)) << face;
      ASSERT_TRUE(m.descent >= 0 && m.internal_leading >= 0 && m.internal_leading < height) << face << " " << height;
      ASSERT_GE(m.max_char_width, m.ave_char_width) << face;
      ASSERT_TRUE(height < 4 || m.ascent > m.descent) << face << " " << height;
    }
  }
  for (int height : {INT_MIN, -100000, -1, 2, 100000, INT_MAX}) {
    TText_Metrics m = TFont_Engine::Instance().Metrics({"Arial", height});
    EXPECT_TRUE(m.height >= 1 && m.ascent + m.descent == m.height) << height;
    for (auto [y, x0, x1] : Render({"Arial", height}, "Ag")) ASSERT_TRUE(y >= 0 && y < m.height && x0 < x1) << height;
  }
  // Known metrics, and a negative height as the em height.
  TText_Metrics arial = TFont_Engine::Instance().Metrics({"Arial", 20});
  // ascent, descent, leading (an 18-pixel em in a 20-pixel cell), average width, weight
  EXPECT_EQ(std::tuple(arial.ascent, arial.descent, arial.internal_leading, arial.ave_char_width, arial.weight),
            std::tuple(16, 4, 2, 10, 400));
  EXPECT_EQ(TFont_Engine::Instance().Metrics({"Arial", 20, 700}).weight, 700);
  TText_Metrics em = TFont_Engine::Instance().Metrics({"Arial", -20});
  EXPECT_EQ(std::pair(em.height, em.height - em.internal_leading), std::pair(22, 20));

  // A height of 0 is a usable default size.
  TText_Metrics standard = TFont_Engine::Instance().Metrics({"Arial", 0});
  EXPECT_TRUE(standard.height > 8 && standard.ascent + standard.descent == standard.height) << standard.height;
}

TEST(Font_Engine, ExtentsAreStableSumsOfWholePixelAdvances) {
  TFont_Engine& engine = TFont_Engine::Instance();
  // Whole-pixel advances of the installed fonts; a change of the rounding,
  // hinting or face choice shows here.
  const std::string hello = "Hello, World!";
  for (auto [font, text, size] : {std::tuple{TFont_Spec{"Arial", 20}, hello, TSize(104, 20)}, {{"Arial", 12}, hello, {59, 12}},
                                  {{"Times New Roman", 12}, hello, {64, 12}}, {{"Times New Roman", 32}, hello, {157, 32}},
                                  {{"Arial", 20, 700}, "STOP", {49, 20}}, {{"Courier New", 20}, hello, {13 * 11, 20}},
                                  {{"Arial", -20}, hello, {113, 22}}, {{"Arial", 20}, "", {0, 20}}})
    EXPECT_EQ(engine.Extent(font, text), size) << font.face_name << " " << font.height << " " << text;
  // No kerning: "AV" is exactly "A" plus "V".
  for (int height : {9, 14, 20, 37}) {
    TFont_Spec font{"Arial", height};
    EXPECT_EQ(engine.Extent(font, "AV").cx, engine.Extent(font, "A").cx + engine.Extent(font, "V").cx);
    EXPECT_EQ(engine.Extent(font, "To").cx, engine.Extent(font, "T").cx + engine.Extent(font, "o").cx);
  }
  EXPECT_GT(engine.Extent({"Arial", 20, 700}, "Wide").cx, engine.Extent({"Arial", 20}, "Wide").cx);
}

TEST(Font_Engine, RenderingIsDeterministicInsideTheCellAndReportsEachPixelOnce) {
  for (const TFont_Spec& font : {TFont_Spec{"Arial", 20}, TFont_Spec{"Times New Roman", 13, 700},
                                 TFont_Spec{"Arial", 24, 400, true}, TFont_Spec{"Courier New", 16}}) {
    const std::string text = "Hello, Quendar! (g/j)";
    Spans first = Render(font, text);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(Render(font, text), first);
    TSize extent = TFont_Engine::Instance().Extent(font, text);
    int last_y = -1, last_x1 = INT_MIN;
    for (auto [y, x0, x1] : first) {
      EXPECT_TRUE(y >= 0 && y < extent.cy && x0 < x1) << y << " " << x0 << " " << x1;
      EXPECT_TRUE(x0 >= (font.italic ? -2 : 0) && x1 <= extent.cx + (font.italic ? 4 : 0)) << x0 << " " << x1;
      // Rows come in order; runs in a row are left to right, apart and disjoint.
      ASSERT_GE(y, last_y);
      EXPECT_TRUE(y != last_y || x0 > last_x1) << y << " " << x0;
      last_y = y;
      last_x1 = x1;
    }
  }
  // The same after the cache has let a size go and built it again.
  const Spans before = Render({"Times New Roman", 19}, "cache");
  for (int height = 200; height < 300; ++height) TFont_Engine::Instance().Metrics({"Arial", height});
  EXPECT_EQ(Render({"Times New Roman", 19}, "cache"), before);
}

// With a window, glyphs and rows outside it are skipped: a text a hundred
// times longer past the window's right gives the very same spans, and rows
// above and below it give none.
TEST(Font_Engine, AWindowSkipsTheGlyphsAndRowsOutsideIt) {
  const TFont_Spec font{"Arial", 200};
  const TRect window(30, 60, 90, 80);
  auto Spans_In_Window = [&](size_t length) {
    Spans spans;
    TFont_Engine::Instance().Render(font, std::string(length, 'M'),
                                    [&](int y, int x0, int x1) { spans.emplace_back(y, x0, x1); }, &window);
    return spans;
  };
  const Spans few = Spans_In_Window(6);
  ASSERT_FALSE(few.empty());
  EXPECT_EQ(Spans_In_Window(600), few);
  for (auto [y, x0, x1] : few) EXPECT_TRUE(y >= window.top && y < window.bottom) << y;
}

TEST(Font_Engine, GlyphsSitOnTheBaselineAndWindows1252CharactersRender) {
  TText_Metrics m = TFont_Engine::Instance().Metrics({"Arial", 40});
  int bottom = -1, top = INT_MAX;
  for (auto [y, x0, x1] : Render({"Arial", 40}, "H")) bottom = std::max(bottom, y), top = std::min(top, y);
  EXPECT_EQ(bottom, m.ascent - 1);       // the last row above the baseline
  EXPECT_GT(top, m.internal_leading - 2);  // capitals stay below the leading
  int descender = -1;
  for (auto [y, x0, x1] : Render({"Arial", 40}, "p")) descender = std::max(descender, y);
  EXPECT_TRUE(descender > m.ascent && descender < m.height) << descender;
  TFont_Spec font{"Arial", 24};
  Spans e = Render(font, "e");
  Spans e_acute = Render(font, "\xE9");
  EXPECT_NE(e_acute, e);
  EXPECT_GT(Pixel_Count(e_acute), Pixel_Count(e));  // the accent
  Spans missing = Render(font, "\x81");               // undefined byte: the missing-glyph box
  for (const char* text : {"\x80", "\x93", "\x94", "\x85", "\x99"}) {
    Spans spans = Render(font, text);
    EXPECT_TRUE(Pixel_Count(spans) > 0 && spans != missing) << int(uint8_t(text[0]));
  }
  EXPECT_NE(Render(font, "\x93"), Render(font, "\x94"));  // opening and closing quotes
  EXPECT_TRUE(Render(font, " ").empty());
}

TEST(Font_Engine, StylesChangeThePixelsAndUnderlineIsARowAcrossTheWholeAdvance) {
  TFont_Spec plain{"Arial", 20};
  TFont_Spec underlined = plain;
  underlined.underline = true;
  const int width = TFont_Engine::Instance().Extent(plain, "a b").cx;
  TText_Metrics m = TFont_Engine::Instance().Metrics(plain);
  int full_rows = 0;
  for (auto [y, x0, x1] : Render(underlined, "a b"))
    if (x0 == 0 && x1 == width) {
      ++full_rows;
      EXPECT_TRUE(y >= m.ascent && y < m.height) << y;
    }
  EXPECT_GE(full_rows, 1);
  EXPECT_EQ(Render(underlined, "").size(), 0u);
  EXPECT_EQ(TFont_Engine::Instance().Extent(underlined, "a b").cx, width);
  // Bold and italic change the pixels.
  Spans regular = Render({"Arial", 20}, "Style");
  EXPECT_NE(Render({"Arial", 20, 700}, "Style"), regular);
  EXPECT_NE(Render({"Arial", 20, 400, true}, "Style"), regular);
  // A family without its own italic is slanted by the engine.
  EXPECT_NE(Render({"No Such Face", 20, 400, true}, "Style"), Render({"No Such Face", 20}, "Style"));
}

TEST(Font_Engine, ThreadsRenderAtOnceWithTheSameResult) {
  const std::vector<TFont_Spec> fonts = {{"Arial", 11}, {"Times New Roman", 17, 700}, {"Courier New", 23},
                                         {"MS Serif", 29, 400, true}, {"Arial", 33, 700, true, true}};
  const std::string text = "Threads \xE9\x80\x93ok\x94";
  std::vector<Spans> expected;
  for (const TFont_Spec& font : fonts) expected.push_back(Render(font, text));
  std::vector<int> mismatches(8, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&, t] {
      for (int round = 0; round < 40; ++round) {
        size_t i = (t + round) % fonts.size();
        // Fresh sizes too, so that glyph caches are filled while others read.
        TFont_Engine::Instance().Extent({"Arial", 40 + t * 40 + round}, text);
        if (Render(fonts[i], text) != expected[i]) ++mismatches[t];
      }
    });
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < 8; ++t) EXPECT_EQ(mismatches[t], 0) << t;
}

// Leaves a picture of the faces for a person to look at.
TEST(Font_Engine, Snapshot) {
  const std::string path = Snapshot_Path("font_engine");
  if (path.empty()) GTEST_SKIP() << "QUENDAR_SNAPSHOTS not set";
  const int width = 420, height = 260;
  std::vector<uint8_t> pixels(width * height, 0);
  int top = 4;
  const TFont_Spec fonts[] = {{"Arial", 20}, {"Arial", 20, 700}, {"Times New Roman", 24, 400, true},
                               {"Courier New", 18, 400, false, true}, {"MS Serif", 14}, {"MS Sans Serif", 11},
                               {"Arial Rounded MT Bold", 28}, {"Unknown", 20}};
  for (const TFont_Spec& font : fonts) {
    const std::string text = font.face_name + " \xE9\x80 \x93quoted\x94 0123";
    TFont_Engine::Instance().Render(font, text, [&](int y, int x0, int x1) {
      for (int x = std::max(0, x0 + 4); x < std::min(width, x1 + 4); ++x)
        if (top + y < height) pixels[(top + y) * width + x] = 1;
    });
    top += TFont_Engine::Instance().Metrics(font).height + 2;
  }
  const uint32_t colours[] = {0xFFFFFF, 0x000000};
  EXPECT_TRUE(Write_PNG_Indexed(path, width, height, pixels.data(), width, colours, 2));
}

}  // namespace
