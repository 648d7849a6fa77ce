#include "platform/gdi/metafile_recorder.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using Kind = TMetafile_Command::Kind;

uint32_t Dword_At(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24;
}
uint16_t Word_At(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

TEST(Metafile_Recorder, EveryCallPlaysBackAsRecorded) {
  TMetafile_Recorder recorder;
  recorder.SetWindowOrg(-3, 7);
  recorder.SetWindowExt(640, -480);
  const int pen = recorder.CreatePenIndirect(6, 4, 0x00102030);
  const int brush = recorder.CreateBrushIndirect(2, 0x00405060, 5);
  const int font = recorder.CreateFontIndirect({"Times New Roman", -18, 700, true, true});
  EXPECT_EQ(std::tuple(pen, brush, font), std::tuple(0, 1, 2));
  for (int slot : {pen, brush, font}) recorder.SelectObject(slot);
  recorder.SetPolyFillMode(1);
  const TPoint triangle[] = {{0, 0}, {100, -20}, {50, 60}};
  recorder.Polygon(triangle, 3);
  recorder.Polyline(triangle, 2);
  const TPoint rings[] = {{0, 0}, {9, 0}, {9, 9}, {2, 2}, {5, 2}, {5, 5}, {2, 5}};
  const int counts[] = {3, 4};
  recorder.PolyPolygon(rings, counts, 2);
  recorder.Ellipse(TRect(-10, -20, 30, 40));
  recorder.Rectangle(TRect(1, 2, 3, 4));
  recorder.SetTextColor(0x00FFFF00);
  recorder.SetBkColor(0x00000080);
  recorder.SetBkMode(2);
  recorder.SetTextAlign(6);
  recorder.TextOut(11, 12, "odd");
  const TRect clip(0, 0, 50, 20);
  const int spacing[] = {5, 6, 7, 8};
  recorder.ExtTextOut(13, 14, 4, &clip, "\x93\xE9\x80\x94", spacing);
  recorder.ExtTextOut(15, 16, 0, nullptr, "ab", nullptr);
  const std::vector<uint8_t> dib = {40, 0, 0, 0, 1, 2, 3, 4};
  recorder.SetDIBitsToDevice(0, 0, 2, 1, 0, 0, 0, 1, dib.data(), dib.size(), 0);
  recorder.DeleteObject(brush);
  EXPECT_EQ(recorder.CreateBrushIndirect(1, 0, 0), brush);  // the freed slot is used again

  const std::vector<uint8_t> bytes = recorder.Bytes();
  TMetafile_Contents contents = Read_Metafile(bytes.data(), bytes.size());
  ASSERT_TRUE(contents.complete);
  // Each command names only the fields its kind uses.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
  const std::vector<TMetafile_Command> expected = {
      {.kind = Kind::Set_Window_Org, .point = {-3, 7}},
      {.kind = Kind::Set_Window_Ext, .point = {640, -480}},
      {.kind = Kind::Create_Pen, .colour = 0x00102030, .value = 6, .pen_width = 4, .slot = pen},
      {.kind = Kind::Create_Brush, .colour = 0x00405060, .value = 2, .hatch = 5, .slot = brush},
      {.kind = Kind::Create_Font, .slot = font, .font = {"Times New Roman", -18, 700, true, true}},
      {.kind = Kind::Select_Object, .slot = pen},
      {.kind = Kind::Select_Object, .slot = brush},
      {.kind = Kind::Select_Object, .slot = font},
      {.kind = Kind::Set_Poly_Fill_Mode, .value = 1},
      {.kind = Kind::Polygon, .points = {triangle, triangle + 3}},
      {.kind = Kind::Polyline, .points = {triangle, triangle + 2}},
      {.kind = Kind::Poly_Polygon, .points = {rings, rings + 7}, .counts = {3, 4}},
      {.kind = Kind::Ellipse, .rect = {-10, -20, 30, 40}},
      {.kind = Kind::Rectangle, .rect = {1, 2, 3, 4}},
      {.kind = Kind::Set_Text_Color, .colour = 0x00FFFF00},
      {.kind = Kind::Set_Bk_Color, .colour = 0x00000080},
      {.kind = Kind::Set_Bk_Mode, .value = 2},
      {.kind = Kind::Set_Text_Align, .value = 6},
      {.kind = Kind::Text_Out, .point = {11, 12}, .text = "odd"},
      {.kind = Kind::Ext_Text_Out, .point = {13, 14}, .rect = clip, .value = 4, .text = "\x93\xE9\x80\x94", .dx = {5, 6, 7, 8}},
      {.kind = Kind::Ext_Text_Out, .point = {15, 16}, .text = "ab"},
      {.kind = Kind::Set_DIB_To_Device, .source = {0, 0, 2, 1}, .scan_count = 1, .dib = dib},
      {.kind = Kind::Delete_Object, .slot = brush},
      {.kind = Kind::Create_Brush, .value = 1, .slot = brush},
  };
#pragma GCC diagnostic pop
  ASSERT_EQ(contents.commands.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(contents.commands[i], expected[i]) << i;
  // The commands read back record to the same bytes.
  TMetafile_Recorder again;
  for (const TMetafile_Command& command : contents.commands) again.Record(command);
  EXPECT_EQ(again.Bytes(), bytes);

  // Header: memory metafile, version 3, total size, objects, largest record.
  EXPECT_EQ((std::vector<uint32_t>{Word_At(bytes, 0), Word_At(bytes, 2), Word_At(bytes, 4), Dword_At(bytes, 6), Word_At(bytes, 10)}),
            (std::vector<uint32_t>{1, 9, 0x0300, uint32_t(bytes.size() / 2), 3}));
  uint32_t largest = 0;
  for (size_t at = 18; at < bytes.size(); at += 2 * Dword_At(bytes, at)) largest = std::max(largest, Dword_At(bytes, at));
  EXPECT_EQ(Dword_At(bytes, 12), largest);
}

TEST(Metafile_Recorder, RefusesWhatTheFormatCannotHold) {
  TMetafile_Recorder recorder;
  recorder.SelectObject(0);  // nothing created yet
  recorder.DeleteObject(3);
  std::vector<TPoint> many(70000, TPoint(1, 1));
  recorder.Polygon(many.data(), static_cast<int>(many.size()));
  const TPoint two[] = {{0, 0}, {1, 1}};
  const int bad_counts[] = {-1};
  recorder.PolyPolygon(two, bad_counts, 1);
  const std::vector<uint8_t> empty = TMetafile_Recorder().Bytes();
  EXPECT_EQ(recorder.Bytes(), empty);

  // Coordinates beyond 16 bits are clamped, not wrapped.
  recorder.Rectangle(TRect(-100000, 0, 100000, 40000));
  std::vector<uint8_t> bytes = recorder.Bytes();
  TMetafile_Contents contents = Read_Metafile(bytes.data(), bytes.size());
  ASSERT_EQ(contents.commands.size(), 1u);
  EXPECT_EQ(contents.commands[0].rect, TRect(-32768, 0, 32767, 32767));
}

}  // namespace
