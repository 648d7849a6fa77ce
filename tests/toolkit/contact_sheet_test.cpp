// Leaves pictures of everything this folder draws for a person to look at
// (only when QUENDAR_SNAPSHOTS names a folder).
#include <string>

#include "tests/toolkit/pictures_fixture.h"

namespace {

struct Picture_Size {
  int id;
  TSize at_800, at_1024;
};

// Each picture at the size its users ask for in the two design columns.
const Picture_Size Sizes[] = {
    {1, {40, 40}, {50, 50}},     {2, {40, 40}, {50, 50}},     {7, {68, 68}, {88, 88}},
    {8, {114, 114}, {142, 142}}, {9, {114, 114}, {142, 142}}, {10, {114, 114}, {142, 142}},
    {11, {114, 114}, {142, 142}}, {12, {114, 114}, {142, 142}}, {13, {114, 114}, {142, 142}},
    {14, {114, 114}, {142, 142}}, {15, {114, 114}, {142, 142}}, {16, {114, 114}, {142, 142}},
    {17, {114, 114}, {142, 142}}, {18, {114, 114}, {142, 142}}, {19, {60, 60}, {76, 76}},
    {20, {60, 60}, {76, 76}},     {21, {90, 90}, {115, 115}},  {22, {76, 76}, {97, 97}},
    {23, {80, 70}, {102, 90}},    {24, {50, 44}, {64, 56}},    {25, {50, 44}, {64, 56}},
    {26, {50, 44}, {64, 56}},     {27, {90, 90}, {115, 115}},  {28, {90, 90}, {115, 115}},
    {29, {68, 46}, {86, 58}},     {30, {68, 46}, {86, 58}},    {31, {68, 46}, {86, 58}},
    {35, {64, 32}, {80, 40}},
};

void Sheet_Of_Pictures(int screen_width) {
  Picture_Stores stores(screen_width);
  Contact_Sheet sheet(1000, 900);
  for (const Picture_Size& p : Sizes) {
    // The smallest screens ask for four fifths of the 800 column's sizes.
    const TSize size = screen_width >= 1024 ? p.at_1024
                       : screen_width >= 800 ? p.at_800
                                             : TSize(p.at_800.cx * 4 / 5, p.at_800.cy * 4 / 5);
    stores.bitmaps.Get(p.id, size);
    ASSERT_TRUE(stores.bitmaps.Pictures[size_t(p.id)]) << p.id;
    sheet.Add(*stores.bitmaps.Pictures[size_t(p.id)], std::to_string(p.id));
  }
  for (int id : {3, 4, 5, 6, 36}) sheet.Add(*stores.bitmaps.Pictures[size_t(id)], std::to_string(id));
  stores.bitmaps.Drop(22);
  stores.bitmaps.Get_Text_Picture(screen_width >= 1024 ? TSize(97, 97) : TSize(76, 76), "Mia", 2);
  sheet.Add(*stores.bitmaps.Pictures[22], "22 Mia 2");
  stores.bitmaps.Drop(22);
  stores.bitmaps.Get_Text_Picture(screen_width >= 1024 ? TSize(97, 97) : TSize(76, 76), "jo", 0);
  sheet.Add(*stores.bitmaps.Pictures[22], "22 jo 0");
  const auto screen = GUI_Bitmaps::Screen_Reference();
  for (int id : {8, 12, 13, 15, 19, 21, 27, 28})
    sheet.Add(*GUI_Bitmaps::Make_Disabled_Picture(*screen, *stores.bitmaps.Pictures[size_t(id)]),
              std::to_string(id) + " disabled");
  sheet.Save("pictures_" + std::to_string(screen_width));
}

TEST(Contact_Sheets, All_Pictures_At_640_800_And_1024) {
  Sheet_Of_Pictures(640);
  Sheet_Of_Pictures(800);
  Sheet_Of_Pictures(1024);
}

TEST(Contact_Sheets, Metafiles) {
  Picture_Stores stores(1024);
  Contact_Sheet first(1000, 700), second(1000, 700);
  const TSize sizes[GUI_Metafiles::Slot_Count] = {{15, 120}, {130, 76},  {50, 50},   {102, 90}, {64, 56},
                                                  {64, 56},  {64, 56},   {115, 115}, {140, 98}, {120, 72},
                                                  {110, 110}, {150, 45}, {150, 90},  {40, 40},  {40, 40}};
  for (int slot = 0; slot < GUI_Metafiles::Slot_Count; ++slot) {
    for (int scale = 1; scale <= 2; ++scale) {
      const TSize size(sizes[slot].cx * scale, sizes[slot].cy * scale);
      TBitmap picture(size.cx, size.cy);
      TMemoryDC dc(picture);
      dc.SelectObject(TBrush(slot >= 4 && slot <= 6 ? TColor(0, 0, 255) : TColor(230, 230, 230)));
      dc.PatBlt(TRect(0, 0, size.cx, size.cy), PATCOPY);
      stores.metafiles.Ensure(slot);
      stores.metafiles.Play(slot, dc, TRect(0, 0, size.cx, size.cy));
      (slot < 8 ? first : second).Add(picture, std::to_string(slot) + (scale == 2 ? " x2" : ""));
    }
  }
  first.Save("metafiles_0_7");
  second.Save("metafiles_8_14");
}

}  // namespace

#include "platform/backend/headless/headless_backend.h"
#include "platform/window/desktop.h"
#include "toolkit/round_border.h"
#include "toolkit/watch_cursor.h"

namespace {

TEST(Contact_Sheets, Frames_Bevels_And_Busy_Cursor) {
  Picture_Stores stores(1024);
  Round_Border border;
  Contact_Sheet sheet(1000, 760);
  for (int variant = 0; variant < 2; ++variant) {
    TBitmap frame(300, 300);
    TMemoryDC dc(frame);
    dc.SelectObject(TBrush(The_GUI_Colors->Scheme[0]));
    dc.PatBlt(TRect(0, 0, 300, 300), PATCOPY);
    border.Blit_Clipped(dc, TRect(0, 0, 300, 300), 14, variant);
    border.Blit_Clipped(dc, TRect(100, 100, 200, 160), 6, variant);
    sheet.Add(frame, "frame variant " + std::to_string(variant));
  }
  TBitmap ring = *border.Render_Ring(200, 200, 0);
  sheet.Add(ring, "ring 0");
  TBitmap bevels(160, 80);
  {
    TMemoryDC dc(bevels);
    dc.SelectObject(TBrush(The_GUI_Colors->Scheme[0]));
    dc.PatBlt(TRect(0, 0, 160, 80), PATCOPY);
    border.Draw_Bevel(dc, TRect(10, 10, 70, 70));
    border.Draw_Bevel_Inverse(dc, TRect(90, 10, 150, 70));
  }
  sheet.Add(bevels, "bevels");
  sheet.Next_Row();
  TDesktop::Start(std::make_unique<THeadless_Backend>(TSize(800, 600)));
  {
    Watch_Cursor watch;
    watch.Start();
    for (int frame = 0; frame < 60; ++frame) {
      if (frame % 7 == 0 || frame == 59) {
        TBitmap shown(96, 96);
        TMemoryDC dc(shown);
        dc.SelectObject(TBrush(TColor(180, 200, 230)));
        dc.PatBlt(TRect(0, 0, 96, 96), PATCOPY);
        // Three times the size, so the digits can be read.
        TBitmap small(32, 32);
        {
          TMemoryDC sdc(small);
          sdc.SelectObject(TBrush(TColor(180, 200, 230)));
          sdc.PatBlt(TRect(0, 0, 32, 32), PATCOPY);
        }
        TSurface& s = *small.Surface();
        watch.Current_Cursor->Image().Draw_Over(s.Row32(0), 32, 32, long(s.Stride() / 4), TPoint(5, 0));
        TMemoryDC sdc(small);
        dc.StretchBlt(TRect(0, 0, 96, 96), sdc, TRect(0, 0, 32, 32));
        sheet.Add(shown, "busy " + std::to_string(watch.Counter));
      }
      watch.Next_Frame();
    }
  }
  TDesktop::Stop();
  sheet.Save("frames_and_cursor");
}

}  // namespace
