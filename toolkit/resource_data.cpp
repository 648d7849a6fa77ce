#include "toolkit/resource_data.h"

#include "platform/system/resource.h"

Resource_Data::Resource_Data(uint32_t id) {
  TResource resource = Find_Resource(RT_RCDATA, id);
  Bytes = resource.data;
  Length = resource.data ? resource.size : 0;
}
