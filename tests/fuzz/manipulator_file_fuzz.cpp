// Arbitrary bytes into the manipulator file reader. A file it accepts holds
// only sound manipulators, and writing them and reading them back gives the
// same bytes again; the reading that keeps what came before damage agrees.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "manipulators/manipulator_file.h"
#include "model/affine_transform_2d.h"
#include "model/ipstream.h"
#include "model/opstream.h"

namespace {

std::vector<uint8_t> Write(const std::vector<Manipulator_Ref>& records) {
  std::vector<const Shape_Transform*> list;
  for (const auto& m : records) list.push_back(m.get());
  std::vector<uint8_t> bytes;
  opstream os(bytes);
  Write_Manipulator_Records(os, list);
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto read = Read_Manipulator_File(std::span(data, size));
  // What a damaged file keeps is what the whole reading would give, and it
  // is whole exactly when the whole reading accepts the file.
  ipstream is(std::span(data, size));
  is.Read_Version();
  const Manipulator_Records kept = Read_Manipulator_Records_Kept(is);
  if (kept.whole != read.has_value() || (read && kept.records.size() != read->size())) std::abort();
  if (!read) return 0;
  for (const auto& m : *read) {
    if (m->Count() < 0 || m->Count() > 12 || std::strlen(m->Name()) > Shape_Transform::Longest_Name) std::abort();
    for (int32_t i = 0; i < m->Count(); ++i) {
      const auto* map = dynamic_cast<const Affine_Transform_2D*>(m->Map(i));
      if (map == nullptr || map->Color_Step < 0 || !std::isfinite(map->eM11) || !std::isfinite(map->eDy)) std::abort();
    }
  }
  const std::vector<uint8_t> once = Write(*read);
  auto again = Read_Manipulator_File(once);
  if (!again || Write(*again) != once) std::abort();
  return 0;
}
