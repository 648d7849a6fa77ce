// Mapped_File: a file opened for this program alone and mapped into memory,
// so that the whole file is read or written as one array.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/system/mapped_file_handle.h"
#include "platform/system/mapped_file_view.h"

class Mapped_File {
 public:
  Mapped_File();
  // Opens at once (see Open).
  Mapped_File(const std::string& name, uint32_t access, uint32_t disposition);
  ~Mapped_File();
  Mapped_File(const Mapped_File&) = delete;
  Mapped_File& operator=(const Mapped_File&) = delete;

  // Closes what is open, then opens name with access (GENERIC_READ, with or
  // without GENERIC_WRITE) and disposition (OPEN_EXISTING or OPEN_ALWAYS),
  // shared with nobody. False when it cannot be opened.
  bool Open(const std::string& name, uint32_t access, uint32_t disposition);
  // Closes what is open, then opens an existing file for reading only and
  // without excluding anyone: for a file another program holds, which may
  // change under the view.
  bool Open_Unlocked(const std::string& name);
  // Maps size bytes (0: the file as it is) and shows them from offset;
  // writable when the file was opened for writing. A writable file grows to
  // the size asked for; a read-only one cannot. Does nothing when no file
  // is open; the view stays null when mapping fails.
  void Map(uint32_t offset, uint32_t size);
  void Unmap();
  void Close();

  bool Is_Open() const { return bool(File); }
  // The open file's descriptor, -1 when none is open; for reads that should
  // not touch the mapping.
  int Descriptor() const { return File ? File->Descriptor() : -1; }
  // The mapped bytes from the offset, or null. Reading them straight faults
  // once another program cuts the file short: read them through Read.
  uint8_t* View() const { return View_Base; }
  // Copies size bytes at offset (from the view's offset) out of the view;
  // false when they are not there, the file having been cut short under it.
  bool Read(uint64_t offset, void* out, size_t size) const;
  // Bytes of the view from the offset on.
  uint64_t View_Size() const { return View_Bytes; }
  bool Writable_View() const { return Mapping && Mapping->Writable(); }
  uint32_t Access() const { return Access_Rights; }
  // The file's length now.
  uint64_t File_Size() const { return File ? File->Size() : 0; }
  // Reserves the disk blocks of length bytes from offset (see
  // TMapped_File_Handle::Reserve); false when the disk has not got them.
  bool Reserve(uint64_t offset, uint64_t length) { return File && File->Reserve(offset, length); }
  // Writes changed pages to the file.
  bool Flush() { return Mapping && Mapping->Flush(); }

 private:
  std::unique_ptr<TMapped_File_Handle> File;
  std::unique_ptr<TMapped_File_View> Mapping;
  uint8_t* View_Base = nullptr;
  uint64_t View_Bytes = 0;
  uint32_t Access_Rights = 0;
};
