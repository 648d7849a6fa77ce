// The title picture's layouts, one for each screen height the title pictures
// are drawn for (480, 600 and 768 lines). Each block is a "Title_Data"
// object of class version 1: fourteen rectangles (left, top, right, bottom),
// the window on the screen, a square round the picture's centre, and the
// twelve areas on a ring round the centre, in picture coordinates.
#include <array>
#include <cstdint>

#include "model/opstream.h"
#include "tools/blocks/block_maker.h"

namespace {

struct Rect {
  int32_t left, top, right, bottom;
};
using Layout = std::array<Rect, 14>;

// 480 lines: a 380-pixel picture.
constexpr Layout Layout_480 = {{
    {117, 18, 497, 398},  // window
    {130, 130, 250, 250},  // centre
    {113, 75, 173, 135},  // area 0
    {65, 119, 125, 179},  // area 1
    {53, 181, 113, 241},  // area 2
    {78, 241, 138, 301},  // area 3
    {132, 277, 192, 337},  // area 4
    {196, 280, 256, 340},  // area 5
    {254, 250, 314, 310},  // area 6
    {290, 195, 350, 255},  // area 7
    {296, 131, 356, 191},  // area 8
    {272, 70, 332, 130},  // area 9
    {223, 26, 283, 86},  // area 10
    {160, 7, 220, 67},  // area 11
}};

// 600 lines: a 476-pixel picture.
constexpr Layout Layout_600 = {{
    {147, 18, 623, 494},
    {162, 162, 314, 314},
    {153, 87, 229, 163},
    {87, 136, 163, 212},
    {63, 214, 139, 290},
    {89, 293, 165, 369},
    {155, 344, 231, 420},
    {237, 353, 313, 429},
    {313, 318, 389, 394},
    {362, 250, 438, 326},
    {372, 168, 448, 244},
    {343, 89, 419, 165},
    {280, 32, 356, 108},
    {200, 8, 276, 84},
}};

// 768 lines: a 600-pixel picture.
constexpr Layout Layout_768 = {{
    {190, 21, 790, 621},
    {204, 204, 396, 396},
    {198, 107, 294, 203},
    {112, 166, 208, 262},
    {79, 265, 175, 361},
    {109, 365, 205, 461},
    {191, 433, 287, 529},
    {295, 446, 391, 542},
    {392, 403, 488, 499},
    {455, 318, 551, 414},
    {470, 213, 566, 309},
    {433, 113, 529, 209},
    {354, 41, 450, 137},
    {252, 10, 348, 106},
}};

// The object as the title's reader takes it: '[', the class name, the class
// version, the rectangles, ']'.
Block_Bytes Write_Layout(const Layout& layout) {
  Block_Bytes bytes;
  opstream out(bytes);
  out.Write_Byte('[');
  out.Write_String("Title_Data");
  out.Write_Word(1);
  for (const Rect& r : layout) {
    out.Write_Word(uint32_t(r.left));
    out.Write_Word(uint32_t(r.top));
    out.Write_Word(uint32_t(r.right));
    out.Write_Word(uint32_t(r.bottom));
  }
  out.Write_Byte(']');
  if (!out) bytes.clear();
  return bytes;
}

Block_Bytes Make_Title_4301() { return Write_Layout(Layout_480); }
Block_Bytes Make_Title_4302() { return Write_Layout(Layout_600); }
Block_Bytes Make_Title_4303() { return Write_Layout(Layout_768); }

const Block_Registration title_4301("title_4301.bin", &Make_Title_4301);
const Block_Registration title_4302("title_4302.bin", &Make_Title_4302);
const Block_Registration title_4303("title_4303.bin", &Make_Title_4303);

}  // namespace
