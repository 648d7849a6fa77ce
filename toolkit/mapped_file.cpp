#include "toolkit/mapped_file.h"

Mapped_File::Mapped_File() = default;

Mapped_File::Mapped_File(const std::string& name, uint32_t access, uint32_t disposition) {
  Open(name, access, disposition);
}

Mapped_File::~Mapped_File() { Close(); }

bool Mapped_File::Open(const std::string& name, uint32_t access, uint32_t disposition) {
  Close();
  Access_Rights = access;
  File = TMapped_File_Handle::Open(name, access, disposition);
  return bool(File);
}

bool Mapped_File::Open_Unlocked(const std::string& name) {
  Close();
  Access_Rights = GENERIC_READ;
  File = TMapped_File_Handle::Open_Unlocked(name);
  return bool(File);
}

void Mapped_File::Map(uint32_t offset, uint32_t size) {
  if (!File) return;
  Unmap();
  // The platform maps from the file's start; a view from an offset is the
  // mapping of offset + size bytes seen from the offset.
  uint64_t mapped = size == 0 ? 0 : uint64_t(offset) + size;
  Mapping = TMapped_File_View::Map(*File, mapped);
  if (!Mapping) return;
  if (offset >= Mapping->Size()) {
    Mapping.reset();
    return;
  }
  View_Base = Mapping->Data() + offset;
  View_Bytes = Mapping->Size() - offset;
}

bool Mapped_File::Read(uint64_t offset, void* out, size_t size) const {
  if (!Mapping) return false;
  const uint64_t start = uint64_t(View_Base - Mapping->Data());
  return offset <= UINT64_MAX - start && Mapping->Read(start + offset, out, size);
}

void Mapped_File::Unmap() {
  Mapping.reset();
  View_Base = nullptr;
  View_Bytes = 0;
}

void Mapped_File::Close() {
  Unmap();
  File.reset();
}
