#include "platform/gdi/metafile_recorder.h"

#include <gtest/gtest.h>

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
  EXPECT_EQ(pen, 0);
  EXPECT_EQ(brush, 1);
  EXPECT_EQ(font, 2);
  recorder.SelectObject(pen);
  recorder.SelectObject(brush);
  recorder.SelectObject(font);
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
  const auto& c = contents.commands;
  ASSERT_EQ(c.size(), 24u);
  EXPECT_EQ(c[0].point, TPoint(-3, 7));
  EXPECT_EQ(c[1].point, TPoint(640, -480));
  EXPECT_EQ(c[2].kind, Kind::Create_Pen);
  EXPECT_EQ(c[2].value, 6);
  EXPECT_EQ(c[2].pen_width, 4);
  EXPECT_EQ(c[2].colour, 0x00102030u);
  EXPECT_EQ(c[3].hatch, 5);
  EXPECT_EQ(c[3].colour, 0x00405060u);
  EXPECT_EQ(c[4].font, (TFont_Spec{"Times New Roman", -18, 700, true, true}));
  EXPECT_EQ(c[7].slot, font);
  EXPECT_EQ(c[9].points, std::vector<TPoint>(triangle, triangle + 3));
  EXPECT_EQ(c[10].kind, Kind::Polyline);
  EXPECT_EQ(c[10].points.size(), 2u);
  EXPECT_EQ(c[11].counts, (std::vector<int>{3, 4}));
  EXPECT_EQ(c[11].points, std::vector<TPoint>(rings, rings + 7));
  EXPECT_EQ(c[12].rect, TRect(-10, -20, 30, 40));
  EXPECT_EQ(c[13].rect, TRect(1, 2, 3, 4));
  EXPECT_EQ(c[14].colour, 0x00FFFF00u);
  EXPECT_EQ(c[15].colour, 0x00000080u);
  EXPECT_EQ(c[16].value, 2);
  EXPECT_EQ(c[17].value, 6);
  EXPECT_EQ(c[18].text, "odd");
  EXPECT_EQ(c[18].point, TPoint(11, 12));
  EXPECT_EQ(c[19].text, "\x93\xE9\x80\x94");
  EXPECT_EQ(c[19].rect, clip);
  EXPECT_EQ(c[19].dx, (std::vector<int>{5, 6, 7, 8}));
  EXPECT_EQ(c[20].text, "ab");
  EXPECT_EQ(c[20].value, 0);
  EXPECT_EQ(c[21].kind, Kind::Set_DIB_To_Device);
  EXPECT_EQ(c[21].dib, dib);
  EXPECT_EQ(c[21].source, TRect(0, 0, 2, 1));
  EXPECT_EQ(c[21].scan_count, 1);
  EXPECT_EQ(c[22].kind, Kind::Delete_Object);
  EXPECT_EQ(c[23].slot, brush);

  // Header: memory metafile, version 3, total size, objects, largest record.
  EXPECT_EQ(Word_At(bytes, 0), 1);
  EXPECT_EQ(Word_At(bytes, 2), 9);
  EXPECT_EQ(Word_At(bytes, 4), 0x0300);
  EXPECT_EQ(Dword_At(bytes, 6), bytes.size() / 2);
  EXPECT_EQ(Word_At(bytes, 10), 3);
  uint32_t largest = 0;
  for (size_t at = 18; at < bytes.size(); at += 2 * Dword_At(bytes, at)) largest = std::max(largest, Dword_At(bytes, at));
  EXPECT_EQ(Dword_At(bytes, 12), largest);
}

TEST(Metafile_Recorder, RecordedCommandsReadBackEqual) {
  // Any command list that the reader produces records to the same list.
  TMetafile_Recorder first;
  first.SetWindowOrg(0, 0);
  first.SetWindowExt(100, -100);
  int pen = first.CreatePenIndirect(0, 1, 0);
  first.SelectObject(pen);
  const TPoint line[] = {{1, 1}, {50, 80}, {99, 1}};
  first.Polyline(line, 3);
  first.TextOut(0, 0, "x");
  std::vector<uint8_t> bytes = first.Bytes();
  TMetafile_Contents contents = Read_Metafile(bytes.data(), bytes.size());

  TMetafile_Recorder second;
  for (const TMetafile_Command& command : contents.commands) second.Record(command);
  EXPECT_EQ(second.Bytes(), bytes);
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
