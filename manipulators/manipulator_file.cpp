#include "manipulators/manipulator_file.h"

#include "model/ipstream.h"
#include "model/opstream.h"

namespace {

// The fewest bytes a record takes: frame, class name, versions, a map
// count and an empty name.
constexpr size_t Smallest_Record = 1 + 4 + 15 + 4 + 4 + 4 + 4 + 1;

}  // namespace

std::optional<std::vector<Manipulator_Ref>> Read_Manipulator_Records(ipstream& is) {
  if (is.Fail() || is.Version() == 0) return std::nullopt;
  const auto count = static_cast<int32_t>(is.Read_Word32());
  if (is.Fail() || count < 0 || static_cast<size_t>(count) > is.Bytes_Left() / Smallest_Record) {
    return std::nullopt;
  }
  std::vector<Manipulator_Ref> records;
  records.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    auto manipulator = std::make_shared<Shape_Transform>();
    is.Read_Object(*manipulator);
    if (is.Fail()) return std::nullopt;
    records.push_back(std::move(manipulator));
  }
  return records;
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
