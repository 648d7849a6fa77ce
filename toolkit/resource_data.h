// Resource_Data: the bytes of one of the program's raw-data resources. They
// belong to the program image and are never freed.
#pragma once

#include <cstdint>

class Resource_Data {
 public:
  Resource_Data() = default;
  explicit Resource_Data(uint32_t id);

  // Null when the resource is missing.
  const uint8_t* Data() const { return Bytes; }
  uint32_t Size() const { return Length; }

 private:
  const uint8_t* Bytes = nullptr;
  uint32_t Length = 0;
};
