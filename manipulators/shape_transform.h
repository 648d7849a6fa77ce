// A shape manipulator: a named, ordered set of one to twelve plane maps. The
// number of maps is its key: it decides the palette section that keeps it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "model/transform_set_2d.h"

class Transform_Diagram;

class Shape_Transform : public Transform_Set_2D {
 public:
  // The name buffer: at most Longest_Name bytes and a terminating zero.
  static constexpr size_t Name_Size = 80;
  static constexpr size_t Longest_Name = Name_Size - 1;

  Shape_Transform();
  explicit Shape_Transform(For_Stream_Tag);
  // Clones every map and copies the name; the copy has no diagram.
  Shape_Transform(const Shape_Transform& other);
  Shape_Transform& operator=(const Shape_Transform&) = delete;
  ~Shape_Transform() override;

  const char* Name() const { return name.data(); }
  // The buffer the manipulator editor writes the name into.
  char* Name_Buffer() { return name.data(); }
  // Copies text, cut to Longest_Name bytes without splitting a UTF-8
  // character.
  void Set_Name(std::string_view text);

  Transform_Diagram* Diagram() const { return diagram.get(); }
  void Set_Diagram(std::unique_ptr<Transform_Diagram> picture);

  const char* Streamable_Name() const override { return "Shape_Transform"; }

  class Streamer;

 private:
  std::array<char, Name_Size> name{};
  std::unique_ptr<Transform_Diagram> diagram;
};

// Stored as the map set (as a base part, version 1), then the name as a
// stream string. Reading checks every field: a damaged record fails the
// stream (see Read).
class Shape_Transform::Streamer : public TNewStreamer {
 public:
  explicit Streamer(Shape_Transform* manipulator_)
      : TNewStreamer(manipulator_), manipulator(manipulator_) {}
  TStreamableBase* Read(ipstream& is, uint32_t version) override;
  void Write(opstream& os) const override;
  uint32_t Class_Version() const override { return 1; }
  static std::unique_ptr<TStreamer> Build(TStreamableBase* object);

 private:
  Shape_Transform* manipulator;
};

// The longest prefix of text of at most limit bytes that does not end inside
// a UTF-8 character.
std::string_view Cut_To_Character(std::string_view text, size_t limit);
