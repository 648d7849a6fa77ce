#include "manipulators/manipulator_file.h"

#include <algorithm>

#include "model/ipstream.h"
#include "model/opstream.h"

namespace {

// The fewest bytes a record takes: frame, class name, versions, a map
// count and an empty name.
constexpr size_t Smallest_Record = 1 + 4 + 15 + 4 + 4 + 4 + 4 + 1;

}  // namespace

Manipulator_Records Read_Manipulator_Records_Kept(ipstream& is) {
  Manipulator_Records read;
  read.whole = false;
  if (is.Fail() || is.Version() == 0) return read;
  const auto count = static_cast<int32_t>(is.Read_Word32());
  if (is.Fail() || count < 0) return read;
  // Never more records than the bytes could hold; a count beyond them
  // marks the file damaged once those records are in.
  const size_t room = is.Bytes_Left() / Smallest_Record;
  const size_t readable = std::min(static_cast<size_t>(count), room);
  read.records.reserve(readable);
  for (size_t i = 0; i < readable; ++i) {
    auto manipulator = std::make_shared<Shape_Transform>();
    is.Read_Object(*manipulator);
    if (is.Fail()) return read;
    read.records.push_back(std::move(manipulator));
  }
  read.whole = readable == static_cast<size_t>(count);
  return read;
}

std::optional<std::vector<Manipulator_Ref>> Read_Manipulator_Records(ipstream& is) {
  Manipulator_Records read = Read_Manipulator_Records_Kept(is);
  if (!read.whole) return std::nullopt;
  return std::move(read.records);
}

std::optional<std::vector<Manipulator_Ref>> Read_Manipulator_File(std::span<const uint8_t> bytes) {
  ipstream is(bytes);
  is.Read_Version();
  return Read_Manipulator_Records(is);
}

void Write_Manipulator_Records(opstream& os, const std::vector<const Shape_Transform*>& manipulators) {
  os.Write_Word(static_cast<uint32_t>(manipulators.size()));
  for (const Shape_Transform* manipulator : manipulators) os.Write_Object(*manipulator);
}
