#include "platform/gdi/metafile_reader.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

// Expected commands name only the fields their kind uses.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using Kind = TMetafile_Command::Kind;

// Builds metafile bytes word by word, independently of the recorder.
class Bytes {
 public:
  Bytes& Header(uint16_t type = 1, uint16_t header_words = 9, uint16_t version = 0x0300) {
    for (int w : {int(type), int(header_words), int(version), 0, 0, 4, 0, 0, 0}) Word(static_cast<uint16_t>(w));
    return *this;
  }
  // A record: its size in words is 3 + the parameter words.
  Bytes& Record(uint16_t function, std::initializer_list<int> params) {
    Dword(static_cast<uint32_t>(3 + params.size()));
    Word(function);
    for (int p : params) Word(static_cast<uint16_t>(p));
    return *this;
  }
  Bytes& End() { return Record(0x0000, {}); }
  Bytes& Word(uint16_t w) {
    data.insert(data.end(), {static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8)});
    return *this;
  }
  Bytes& Dword(uint32_t d) { return Word(static_cast<uint16_t>(d)).Word(static_cast<uint16_t>(d >> 16)); }
  std::vector<uint8_t> data;
};

TMetafile_Contents Read(const std::vector<uint8_t>& bytes) { return Read_Metafile(bytes.data(), bytes.size()); }

std::vector<Kind> Kinds(const TMetafile_Contents& contents) {
  std::vector<Kind> kinds;
  for (const TMetafile_Command& command : contents.commands) kinds.push_back(command.kind);
  return kinds;
}

// Two characters in one word, first in the low byte.
int Chars(char a, char b) { return static_cast<uint8_t>(a) | static_cast<uint8_t>(b) << 8; }

std::vector<uint8_t> Picture() {
  Bytes b;
  b.Header()
      .Record(0x020B, {10, -5})                       // SetWindowOrg: y, x
      .Record(0x020C, {-100, 200})                    // SetWindowExt: y, x
      .Record(0x02FA, {0, 3, 0, 0x00FF, 0x0000})     // pen: solid, width 3, red
      .Record(0x02FC, {0, 0xFF00, 0x0000, 0})        // brush: solid, COLORREF 0x0000FF00
      .Record(0x012D, {0})                            // select pen
      .Record(0x012D, {1})                            // select brush
      .Record(0x0106, {2})                            // winding
      .Record(0x0103, {8}).Record(0x001E, {})         // map mode, save DC: passed over
      .Record(0x0324, {3, 0, 0, 50, 0, 25, 40})       // triangle
      .Record(0x0538, {2, 3, 4, 0, 0, 1, 0, 1, 1, 5, 5, 6, 5, 6, 6, 5, 6})
      .Record(0x0325, {2, -1, -2, 3, 4})
      .Record(0x0418, {40, 30, 20, 10})               // Ellipse: bottom, right, top, left
      .Record(0x041B, {4, 3, 2, 1})
      .Record(0x0209, {0x3456, 0x0012})               // text colour 0x00123456
      .Record(0x0201, {0xFFFF, 0x00FF})               // background white
      .Record(0x0102, {1})                            // transparent
      .Record(0x012E, {6})                            // centre, top
      .Record(0x0521, {3, Chars('H', 'i'), Chars('!', 0), 7, 8})  // TextOut "Hi!" at (8, 7)
      .End();
  return b.data;
}

TEST(Metafile_Reader, DecodesEveryDrawingRecord) {
  TMetafile_Contents contents = Read(Picture());
  ASSERT_TRUE(contents.header_ok);
  EXPECT_TRUE(contents.complete);
  EXPECT_EQ(contents.object_slots, 2);
  const std::vector<TMetafile_Command> expected = {
      {.kind = Kind::Set_Window_Org, .point = {-5, 10}},
      {.kind = Kind::Set_Window_Ext, .point = {200, -100}},
      {.kind = Kind::Create_Pen, .colour = 0x000000FF, .pen_width = 3, .slot = 0},
      {.kind = Kind::Create_Brush, .colour = 0x0000FF00, .slot = 1},
      {.kind = Kind::Select_Object, .slot = 0},
      {.kind = Kind::Select_Object, .slot = 1},
      {.kind = Kind::Set_Poly_Fill_Mode, .value = 2},
      {.kind = Kind::Polygon, .points = {{0, 0}, {50, 0}, {25, 40}}},
      {.kind = Kind::Poly_Polygon, .points = {{0, 0}, {1, 0}, {1, 1}, {5, 5}, {6, 5}, {6, 6}, {5, 6}}, .counts = {3, 4}},
      {.kind = Kind::Polyline, .points = {{-1, -2}, {3, 4}}},
      {.kind = Kind::Ellipse, .rect = {10, 20, 30, 40}},
      {.kind = Kind::Rectangle, .rect = {1, 2, 3, 4}},
      {.kind = Kind::Set_Text_Color, .colour = 0x00123456},
      {.kind = Kind::Set_Bk_Color, .colour = 0x00FFFFFF},
      {.kind = Kind::Set_Bk_Mode, .value = 1},
      {.kind = Kind::Set_Text_Align, .value = 6},
      {.kind = Kind::Text_Out, .point = {8, 7}, .text = "Hi!"},
  };
  ASSERT_EQ(contents.commands.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(contents.commands[i], expected[i]) << i;
}

TEST(Metafile_Reader, FontsExtendedTextAndObjectSlotsReusedLowestFirst) {
  Bytes b;
  b.Header()
      // height -24, width, escapement, orientation, weight 700, italic, underline, ..., "Arial" + 0
      .Record(0x02FB, {-24, 0, 0, 0, 700, Chars(1, 0), Chars(0, 1), 0, 0, Chars('A', 'r'), Chars('i', 'a'),
                       Chars('l', 0)})
      // a face name that runs to the end of the record without its zero
      .Record(0x02FB, {12, 0, 0, 0, 400, 0, 0, 0, 0, Chars('M', 'S'), Chars(' ', 'S')})
      // y, x, length, options (clipped), rectangle, "abc" padded, three distances
      .Record(0x0A32, {5, 6, 3, 4, 1, 2, 30, 40, Chars('a', 'b'), Chars('c', 0), 7, 8, 9})
      // the same without rectangle or distances
      .Record(0x0A32, {5, 6, 2, 0, Chars('x', 'y')})
      .End();
  TMetafile_Contents contents = Read(b.data);
  ASSERT_TRUE(contents.complete);
  EXPECT_EQ(contents.commands, (std::vector<TMetafile_Command>{
      {.kind = Kind::Create_Font, .slot = 0, .font = {"Arial", -24, 700, true, false}},
      {.kind = Kind::Create_Font, .slot = 1, .font = {"MS S", 12, 400, false, false}},
      {.kind = Kind::Ext_Text_Out, .point = {6, 5}, .rect = {1, 2, 30, 40}, .value = 4, .text = "abc", .dx = {7, 8, 9}},
      {.kind = Kind::Ext_Text_Out, .point = {6, 5}, .text = "xy"}}));
  // Object slots are reused lowest first.
  Bytes slots;
  slots.Header()
      .Record(0x02FC, {1, 0, 0, 0})  // slot 0
      .Record(0x02FC, {1, 0, 0, 0})  // slot 1
      .Record(0x02FC, {1, 0, 0, 0})  // slot 2
      .Record(0x01F0, {1})           // delete slot 1
      .Record(0x012D, {1})           // select the deleted slot: dropped
      .Record(0x012D, {9})           // select a slot never made: dropped
      .Record(0x01F0, {1})           // delete again: dropped
      .Record(0x02FA, {5, 0, 0, 0, 0})  // takes slot 1 again
      .End();
  TMetafile_Contents slot_contents = Read(slots.data);
  ASSERT_TRUE(slot_contents.complete);
  EXPECT_EQ(Kinds(slot_contents), (std::vector<Kind>{Kind::Create_Brush, Kind::Create_Brush, Kind::Create_Brush,
                                                 Kind::Delete_Object, Kind::Create_Pen}));
  EXPECT_EQ(std::pair(slot_contents.commands[4].slot, slot_contents.object_slots), std::pair(1, 3));
}

TEST(Metafile_Reader, RefusesForeignHeadersAndKeepsTheSoundRecordsBeforeATruncation) {
  for (auto bytes : {Bytes().Header(3).End().data, Bytes().Header(1, 8).End().data,
                     Bytes().Header(1, 9, 0x0200).End().data})
    EXPECT_FALSE(Read(bytes).header_ok || !Read(bytes).commands.empty());
  std::vector<uint8_t> short_header = Bytes().Header().data;
  short_header.resize(17);
  EXPECT_FALSE(Read(short_header).header_ok);
  EXPECT_FALSE(Read_Metafile(nullptr, 100).header_ok);
  // A disk metafile and the old version are the same records.
  EXPECT_TRUE(Read(Bytes().Header(2, 9, 0x0100).End().data).complete);
  // Every truncation keeps the sound records before it.
  const std::vector<uint8_t> whole = Picture();
  const std::vector<TMetafile_Command> all = Read(whole).commands;
  for (size_t size = 0; size < whole.size(); ++size) {
    std::vector<uint8_t> prefix(whole.begin(), whole.begin() + size);  // its own buffer, for ASan
    TMetafile_Contents contents = Read(prefix);
    EXPECT_FALSE(contents.complete) << size;
    ASSERT_LE(contents.commands.size(), all.size());
    for (size_t i = 0; i < contents.commands.size(); ++i) ASSERT_EQ(contents.commands[i], all[i]) << size;
  }
}

TEST(Metafile_Reader, DamagedRecordsStopThePlay) {
  struct Case { const char* what; std::vector<uint8_t> bytes; };
  auto rect = [] { return Bytes().Header().Record(0x041B, {4, 3, 2, 1}); };  // one sound record first
  std::vector<Case> cases;
  cases.push_back({"size below a record header", rect().Dword(2).Word(0x041B).End().data});
  cases.push_back({"size of zero", rect().Dword(0).Word(0x041B).End().data});
  cases.push_back({"size beyond the bytes", rect().Dword(0x7FFFFFFF).Word(0x041B).Word(1).data});
  cases.push_back({"polygon count beyond its record", rect().Record(0x0324, {1000, 0, 0}).End().data});
  cases.push_back({"poly-polygon counts beyond", rect().Record(0x0538, {2, 60000, 60000, 1, 1}).End().data});
  cases.push_back({"polygon list beyond", rect().Record(0x0538, {40000}).End().data});
  cases.push_back({"text beyond", rect().Record(0x0521, {500, 0, 0, 0}).End().data});
  cases.push_back({"text position missing", rect().Record(0x0521, {2, Chars('a', 'b')}).End().data});
  cases.push_back({"text x missing", rect().Record(0x0521, {2, Chars('a', 'b'), 7}).End().data});
  cases.push_back({"rectangle too short", rect().Record(0x0418, {1, 2, 3}).End().data});
  cases.push_back({"extended text rectangle missing", rect().Record(0x0A32, {0, 0, 1, 2, 1}).End().data});
  cases.push_back({"font too short", rect().Record(0x02FB, {12, 0, 0}).End().data});
  cases.push_back({"pen too short", rect().Record(0x02FA, {0, 1}).End().data});
  cases.push_back({"no end record", rect().data});
  for (const Case& c : cases) {
    TMetafile_Contents contents = Read(c.bytes);
    EXPECT_TRUE(contents.header_ok && !contents.complete) << c.what;
    EXPECT_EQ(Kinds(contents), std::vector<Kind>{Kind::Rectangle}) << c.what;
  }
}

}  // namespace
