// The table of built-in data that the resources folder embeds at build time
// (resources/manifest.txt). Resources are read through Find_Resource
// (resource.h); this is the contract between that lookup and the generated
// table.
#pragma once

#include <cstdint>
#include <span>

struct TResource_Entry {
  uint32_t type;
  uint32_t id;
  const uint8_t* begin;
  const uint8_t* end;
};

// Defined by the generated source of quendar_resources.
std::span<const TResource_Entry> Resource_Table();
