// Arbitrary bytes into the object-stream reader: maps, map sets and any
// registered class, by reference and by pointer, with back-references. A set
// that reads must write and read back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "model/affine_transform_2d.h"
#include "model/ipstream.h"
#include "model/opstream.h"
#include "model/transform_2d.h"
#include "model/transform_set_2d.h"

namespace {

void Check_Round_Trip(const Transform_Set_2D& set) {
  std::vector<uint8_t> bytes;
  opstream os(bytes);
  os << set;
  ipstream is(bytes);
  is.Read_Version();
  Transform_Set_2D again;
  is >> again;
  if (is.Fail() || again.Count() != set.Count()) std::abort();
  for (int32_t i = 0; i < set.Count(); ++i) {
    const auto& a = dynamic_cast<const Affine_Transform_2D&>(*set.Map(i));
    const auto& b = dynamic_cast<const Affine_Transform_2D&>(*again.Map(i));
    if (std::memcmp(static_cast<const XFORM*>(&a), static_cast<const XFORM*>(&b), sizeof(XFORM)) || a.Color_Step != b.Color_Step)
      std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ipstream is(data, size);
  is.Read_Version();
  // Everything read stays alive until the stream is done, since later
  // back-references may point at it.
  std::vector<std::unique_ptr<TStreamableBase>> kept;
  for (int round = 0; round < 32 && !is.Fail() && is.Bytes_Left() > 0; ++round) {
    const uint8_t mode = is.Read_Byte();
    switch (mode % 5) {
      case 0: {
        auto set = std::make_unique<Transform_Set_2D>();
        is >> *set;
        if (!is.Fail()) Check_Round_Trip(*set);
        kept.push_back(std::move(set));
        break;
      }
      case 1: {
        auto map = std::make_unique<Affine_Transform_2D>();
        is >> *map;
        kept.push_back(std::move(map));
        break;
      }
      default: {
        // By pointer: a new object is kept, a back-reference is not.
        bool built_new = false;
        TStreamableBase* object = nullptr;
        if (mode % 5 == 2) {
          Transform_Set_2D* set = Read_Typed_Pointer<Transform_Set_2D>(is, &built_new);
          if (set != nullptr && !is.Fail()) Check_Round_Trip(*set);
          object = set;
        } else if (mode % 5 == 3) {
          Transform_2D* map = Read_Typed_Pointer<Transform_2D>(is, &built_new);
          if (map != nullptr) (void)map->Map_Point(0.5f, 0.5f);
          object = map;
        } else {
          object = is.Read_Object_Pointer(nullptr, &built_new);
        }
        if (built_new) kept.emplace_back(object);
        break;
      }
    }
  }
  (void)is.Read_String();
  return 0;
}
