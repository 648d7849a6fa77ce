#include "model/ipstream.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "model/affine_transform_2d.h"
#include "model/opstream.h"
#include "model/transform_set_2d.h"
#include "model/tstreamableclass.h"
#include "tests/model/stream_bytes.h"

namespace {

// A named map set stored the way the program's manipulators are: the set as
// a base part, then the name.
class Named_Set : public Transform_Set_2D {
 public:
  Named_Set() = default;
  explicit Named_Set(For_Stream_Tag) {}
  const char* Streamable_Name() const override { return "Test_Shape_Sets"; }
  std::string name;

  class Streamer : public TNewStreamer {
   public:
    explicit Streamer(Named_Set* set_) : TNewStreamer(set_), set(set_) {}
    TStreamableBase* Read(ipstream& is, uint32_t) override {
      Transform_Set_2D::Streamer base(set);
      is.Read_Base_Object(base);
      set->name = is.Read_String().value_or("");
      return set;
    }
    void Write(opstream& os) const override {
      Transform_Set_2D::Streamer base(set);
      os.Write_Base_Object(base);
      os.Write_String(set->name);
    }
    uint32_t Class_Version() const override { return 1; }
    static std::unique_ptr<TStreamer> Build(TStreamableBase* object) {
      if (object == nullptr) return std::make_unique<Streamer>(new Named_Set(For_Stream));
      auto* set = dynamic_cast<Named_Set*>(object);
      return set != nullptr ? std::make_unique<Streamer>(set) : nullptr;
    }

   private:
    Named_Set* set;
  };
};

const TStreamableClass named_set_class("Test_Shape_Sets", &Named_Set::Streamer::Build);

// The first manipulator of the built-in "Small" set, with the class name
// replaced by the test class's (of the same length).
Bytes Small_Manipulator() {
  Bytes b;
  b.Hex("3A 01010000 05000000 5B 0F000000").Text("Test_Shape_Sets");
  b.Hex("01000000 01000000 01000000 00000000 5B 13000000").Text("Affine_Transform_2D");
  b.Hex("01000000 8BABAA3E 00000000 00000000 8BABAA3E 3BAAAA3E 3BAAAA3E 00000000 5D");
  b.Hex("05000000").Text("Small").Hex("5D");
  return b;
}

Bytes Set_Header(uint32_t count) { return Current("5B").Name("Transform_Set_2D").Word(1).Word(count); }

struct Read_Result {
  std::unique_ptr<Transform_Set_2D> set;
  bool failed = false;
};

// Reads a set by pointer.
Read_Result Read_Set(const std::vector<uint8_t>& bytes) {
  ipstream is(bytes);
  is.Read_Version();
  Transform_Set_2D* set = nullptr;
  is >> set;
  return {std::unique_ptr<Transform_Set_2D>(set), is.Fail()};
}

// A set written by pointer into a new stream.
std::vector<uint8_t> Written(const Transform_Set_2D& set) {
  std::vector<uint8_t> sink;
  opstream os(sink);
  os << &set;
  return sink;
}

std::vector<uint8_t> Tagged(const Bytes& body) {
  std::vector<uint8_t> bytes = Header();
  bytes.push_back(2);
  bytes.insert(bytes.end(), body.data.begin() + 5, body.data.end());
  return bytes;
}

}  // namespace

TEST(ipstream, ReadsTheBuiltInManipulatorLayout) {
  const Bytes stream = Small_Manipulator();
  ipstream is(stream.data);
  EXPECT_EQ((std::pair{is.Read_Version(), is.Read_Word()}), std::pair(0x101u, 5u));
  // Read by reference, the stored class must be the object's own.
  Transform_Set_2D plain;
  is >> plain;
  EXPECT_TRUE(is.Fail());

  Named_Set small;
  ipstream again(stream.data);
  again.Read_Version();
  again.Read_Word();
  again.Read_Object(small);
  ASSERT_TRUE(again.Good() && small.Count() == 1);
  EXPECT_EQ(small.name, "Small");
  EXPECT_TRUE(small.Map(0)->Equals(Affine_Transform_2D(0.33334002f, 0, 0.33333f, 0, 0.33334002f, 0.33333f)));

  // Written back, the bytes are the same.
  std::vector<uint8_t> sink;
  opstream os(sink);
  os.Write_Word(5);
  os.Write_Object(small);
  EXPECT_EQ(sink, stream.data);
}

TEST(ipstream, VersionZeroStreams) {
  // No ':': 16-bit words, 1-byte string lengths, no class versions.
  Bytes b;
  b.Hex("0500 03").Text("abc").Hex("FF 00 5B 13").Text("Affine_Transform_2D");
  b.Hex("0000803F 00000000 00000000 0000803F 0000A040 00000000 FDFF 5D");
  ipstream is(b.data);
  EXPECT_EQ((std::pair{is.Read_Version(), is.Read_Word()}), std::pair(0u, 5u));
  const std::optional<std::string> strings[] = {is.Read_String(), is.Read_String(), is.Read_String()};
  EXPECT_THAT(strings, testing::ElementsAre("abc", std::nullopt, ""));
  Affine_Transform_2D map;
  is >> map;
  ASSERT_TRUE(is.Good());
  EXPECT_EQ(std::pair(map.eDx, map.Color_Step), std::pair(5.0f, 65533));  // a 16-bit word, zero-extended

  ipstream empty(std::span<const uint8_t>{});
  EXPECT_EQ(empty.Read_Version(), 0u);
  EXPECT_TRUE(empty.Eof() && !empty.Fail());
  empty.Read_Byte();
  EXPECT_TRUE(empty.Fail());
}

TEST(ipstream, StringsAndShortReads) {
  Bytes b = Current("FFFFFFFF 00000000 03000000").Text("xyz").Hex("7F 0A00");
  ipstream is(b.data);
  is.Read_Version();
  const std::optional<std::string> strings[] = {is.Read_String(), is.Read_String(), is.Read_String()};
  EXPECT_THAT(strings, testing::ElementsAre(std::nullopt, "", "xyz"));
  EXPECT_EQ(is.Read_Byte(), 0x7F);
  EXPECT_TRUE(is.Good());
  // Two bytes left: a word does not fit, and then nothing reads.
  EXPECT_EQ(is.Read_Word(), 0u);
  EXPECT_TRUE(is.Fail());
  uint8_t out[2] = {9, 9};
  is.Read_Bytes(out, 2);
  EXPECT_EQ(out[0], 0);

  // A length beyond the bytes that exist fails without allocating it.
  const Bytes huge = Current("FFFFFF7F 41");
  ipstream big(huge.data);
  big.Read_Version();
  EXPECT_TRUE(big.Read_String() == std::nullopt && big.Fail());
}

TEST(ipstream, ClassNamesUpTo127Characters) {
  // The lengths are checked before the name is looked up: a 127-character
  // name reaches the registry (which names the unregistered class), a
  // 128-character one does not.
  for (size_t length : {127u, 128u}) {
    const Bytes b = Current("02 5B").Name(std::string(length, 'N')).Word(1).Hex("5D");
    ipstream is(b.data);
    is.Read_Version();
    EXPECT_TRUE(is.Read_Object_Pointer() == nullptr && is.Fail());
    EXPECT_EQ(is.Error_Text(), length == 128 ? "A class name is damaged"
                                             : "Attempt to stream unregistered type '" + std::string(length, 'N') + "'");
  }

  // A registered class with a 127-character name reads.
  static const std::string long_name(127, 'L');
  struct Long_Named : TStreamableBase {
    const char* Streamable_Name() const override { return long_name.c_str(); }
  };
  struct Streamer : TNewStreamer {
    explicit Streamer(TStreamableBase* o) : TNewStreamer(o) {}
    TStreamableBase* Read(ipstream&, uint32_t) override { return Get_Object(); }
    void Write(opstream&) const override {}
    uint32_t Class_Version() const override { return 7; }
  };
  TStreamableClass record(long_name.c_str(), [](TStreamableBase* o) -> std::unique_ptr<TStreamer> {
    return std::make_unique<Streamer>(o != nullptr ? o : new Long_Named);
  });
  std::vector<uint8_t> sink;
  opstream os(sink);
  Long_Named object;
  os.Write_Object_Pointer(&object);
  ipstream is(sink);
  is.Read_Version();
  std::unique_ptr<TStreamableBase> read(is.Read_Object_Pointer());
  ASSERT_TRUE(is.Good() && read != nullptr);
  EXPECT_EQ(read->Streamable_Name(), long_name);
}

TEST(ipstream, BackReferencesFindObjectsByNumber) {
  std::vector<uint8_t> sink;
  opstream os(sink);
  Transform_Set_2D set;
  set.Add_Map(std::make_unique<Affine_Transform_2D>(0.5f, 0.25f));
  os << &set << &set;
  os.Write_Byte(1);
  os.Write_Word(2);  // the map inside the set
  os << static_cast<const Transform_Set_2D*>(nullptr);

  ipstream is(sink);
  is.Read_Version();
  Transform_Set_2D *first = nullptr, *second = nullptr;
  is >> first >> second;
  std::unique_ptr<Transform_Set_2D> owner(first);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  Affine_Transform_2D* inner = nullptr;
  is >> inner;
  EXPECT_EQ(inner, first->Map(0));
  Transform_Set_2D* none = first;
  is >> none;
  EXPECT_TRUE(none == nullptr && is.Good());
}

TEST(ipstream, TrailingBytesAreNotLookedAt) {
  Bytes b = Set_Header(1).Hex("00000000");
  Identity_Map(b).Hex("5D 00 FF 5B 13");
  ipstream is(b.data);
  is.Read_Version();
  Transform_Set_2D set;
  is >> set;
  EXPECT_TRUE(is.Good() && set.Count() == 1);
}

TEST(ipstream, DamagedSetsFailAndLeaveNothingHalfBuilt) {
  struct Case {
    const char* what;
    Bytes bytes;
  };
  Bytes unclosed = Set_Header(1).Hex("00000000");
  Identity_Map(unclosed).data.back() = 0x5E;
  const Case cases[] = {
      {"count 13", Set_Header(13)}, {"count -1", Set_Header(0xFFFFFFFF)},
      {"kind 1", Identity_Map(Set_Header(2).Hex("00000000")).Hex("01000000")},
      {"a set where a map belongs", Set_Header(1).Hex("00000000 5B").Name("Transform_Set_2D").Word(1).Word(0).Hex("5D 5D")},
      {"a base map where an affine map belongs", Set_Header(1).Hex("00000000 5B").Name("Transform_2D").Word(1).Hex("5D 5D")},
      {"missing ']'", unclosed.Hex("5D")},
      {"missing '['", Set_Header(1).Hex("00000000 5C")},
      {"null class name", Set_Header(1).Hex("00000000 5B FFFFFFFF")},
      {"empty class name", Set_Header(1).Hex("00000000 5B 00000000")},
  };
  for (const Case& c : cases) {
    Read_Result result = Read_Set(Tagged(c.bytes));
    EXPECT_TRUE(result.set == nullptr && result.failed) << c.what;
    // Read by reference into an existing set, the set stays as it was, and
    // the stream says why it failed.
    ipstream by_reference(c.bytes.data);
    by_reference.Read_Version();
    Transform_Set_2D existing;
    existing.Add_Map(std::make_unique<Affine_Transform_2D>());
    by_reference >> existing;
    EXPECT_TRUE(by_reference.Fail() && existing.Count() == 1 && !by_reference.Error_Text().empty()) << c.what;
  }

  // Cut anywhere, the complete stream of a two-map set fails cleanly.
  const std::vector<uint8_t> tagged = Tagged(Identity_Map(Identity_Map(Set_Header(2).Hex("00000000")).Hex("00000000")).Hex("5D"));
  ASSERT_NE(Read_Set(tagged).set, nullptr);
  for (size_t length = 5; length < tagged.size(); ++length) {
    Read_Result result = Read_Set(std::vector<uint8_t>(tagged.begin(), tagged.begin() + length));
    EXPECT_TRUE(result.set == nullptr && result.failed) << length;
  }
}

TEST(ipstream, BadTagsAndReferencesAhead) {
  for (const char* tail : {"03", "01 01000000", "01 05000000"}) {
    const Bytes b = Current(tail);
    ipstream is(b.data);
    is.Read_Version();
    EXPECT_TRUE(is.Read_Object_Pointer() == nullptr && is.Fail()) << tail;
  }
  // A pointer to a set that holds a map: the wrong class for the pointer.
  const std::vector<uint8_t> set_bytes = Tagged(Set_Header(0).Hex("5D"));
  ipstream is(set_bytes);
  is.Read_Version();
  Affine_Transform_2D* map = nullptr;
  is >> map;
  EXPECT_TRUE(map == nullptr && is.Fail());
}

TEST(ipstream, RandomSetsRoundTrip) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> value(-4.0f, 4.0f);
  for (int trial = 0; trial < 50; ++trial) {
    Transform_Set_2D set;
    for (int i = 0, count = static_cast<int>(random() % 13); i < count; ++i) {
      auto map = std::make_unique<Affine_Transform_2D>(value(random), value(random), value(random),
                                                       value(random), value(random), value(random));
      map->Color_Step = static_cast<int32_t>(random());
      set.Add_Map(std::move(map));
    }
    const std::vector<uint8_t> written = Written(set);
    Read_Result read = Read_Set(written);
    ASSERT_NE(read.set, nullptr);
    // Written again, the bytes are the same: every map, coefficient and step came back.
    ASSERT_EQ(Written(*read.set), written) << trial;
  }
}
