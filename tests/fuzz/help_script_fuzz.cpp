// Arbitrary bytes as the help script. Whatever it holds, scanning finds at
// most seven sections inside the bytes, every section reads and lays out
// without leaving them, every run lies within the bytes, and every link
// to a page either finds that page or is refused.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "help/help_section.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly the bytes, so reading past them is caught.
  std::vector<char> bytes(data, data + size);
  const char* begin = bytes.data();
  const char* end = begin + size;
  Help_Section sections[7];
  const int found = Help_Section::Scan(begin, end, sections, 7);
  if (found < 0 || found > 7) std::abort();
  Help_Layout_Context context;
  context.u = 16;
  context.L = 16;
  context.arrow_frame = TRect(0, 20, 1024, 788);
  context.measure = [](const char*, int32_t length) { return TSize(7 * length, 16); };
  context.setting = [](const std::string& name) -> std::optional<std::string> {
    if (name.size() % 2) return std::string(300, 'p');
    return std::nullopt;
  };
  for (int s = 0; s < found; ++s) {
    Help_Section& section = sections[s];
    if (section.body_begin < begin || section.body_end > end || section.body_begin > section.body_end) std::abort();
    context.single_button = s >= 5;
    section.Load(context, s % 2 ? TRect(200, 30, 780, 610) : TRect(100, 100, 700, 500), s % 2 != 0);
    auto check = [&](const Help_Page& page) {
      for (const Help_String& run : page.strings)
        if (run.length < 0 || run.text < begin || run.text + run.length > end) std::abort();
      for (const Help_Link& link : page.links) {
        if (link.target && link.target->size() > 255 + size) std::abort();
        (void)section.Page(link.page);
      }
    };
    for (const auto& page : section.main_pages) check(*page);
    for (const auto& page : section.side_pages) check(*page);
  }
  return 0;
}
