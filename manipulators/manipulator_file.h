// The manipulator file ("man"): an object stream holding a 32-bit count and
// that many manipulators. The user's own files and the built-in sets share
// the form.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "manipulators/shape_transform_page.h"

class ipstream;
class opstream;

// The records of a stream read whole, in order, and whether every record
// the stream counts was among them.
struct Manipulator_Records {
  std::vector<Manipulator_Ref> records;
  bool whole = true;
};
// Every record read whole before any damage, however the stream ends.
Manipulator_Records Read_Manipulator_Records_Kept(ipstream& is);
// Every record of a stream whose header was read; nothing when any record,
// field or count is damaged or the data ends early. Bytes after the last
// record are not read.
std::optional<std::vector<Manipulator_Ref>> Read_Manipulator_Records(ipstream& is);
// The same over a whole file's bytes, header first.
std::optional<std::vector<Manipulator_Ref>> Read_Manipulator_File(std::span<const uint8_t> bytes);

void Write_Manipulator_Records(opstream& os, const std::vector<const Shape_Transform*>& manipulators);
