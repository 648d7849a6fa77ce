#include "platform/system/resource.h"

#include "platform/system/resource_table.h"

TResource Find_Resource(uint32_t type, uint32_t id) {
  for (const TResource_Entry& entry : Resource_Table()) {
    if (entry.type == type && entry.id == id)
      return TResource{entry.begin, static_cast<uint32_t>(entry.end - entry.begin)};
  }
  return {};
}

std::optional<TBmp_Image> Load_Bitmap_Resource(uint32_t id) {
  TResource resource = Find_Resource(RT_BITMAP, id);
  if (!resource) return std::nullopt;
  return Parse_Bmp(resource.data, resource.size);
}
