// Logical palettes. A TPalette is a handle on shared entries: a device
// context that has it selected keeps the entries alive after the TPalette is
// gone, and sees later changes to them. Copying a TPalette copies the entries
// (a new palette). Entry flags are stored and otherwise ignored: the screen
// is true-colour.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/gdi/color.h"

constexpr uint8_t PC_RESERVED = 0x01;
constexpr uint8_t PC_EXPLICIT = 0x02;
constexpr uint8_t PC_NOCOLLAPSE = 0x04;

struct TPalette_Entry {  // PALETTEENTRY
  uint8_t peRed = 0;
  uint8_t peGreen = 0;
  uint8_t peBlue = 0;
  uint8_t peFlags = 0;
  friend bool operator==(const TPalette_Entry&, const TPalette_Entry&) = default;
};
using PALETTEENTRY = TPalette_Entry;

class TPalette {
 public:
  // A palette of count entries from entries (black when null).
  TPalette(const TPalette_Entry* entries, int count);
  TPalette(const TPalette& other);
  TPalette& operator=(const TPalette& other);
  ~TPalette();

  // Number of entries (GetObject on a palette).
  int GetNumEntries() const;
  // Copies up to count entries from first on; returns how many were copied
  // (0 when first is at or beyond the end).
  int GetPaletteEntries(int first, int count, TPalette_Entry* out) const;
  bool GetPaletteEntry(int index, TPalette_Entry& out) const;
  int SetPaletteEntries(int first, int count, const TPalette_Entry* in);
  bool SetPaletteEntry(int index, const TPalette_Entry& entry);
  // New entries are black with flags 0.
  bool ResizePalette(int count);
  // The nearest-colour rule of Nearest_Color_Index; the RGB part of colour
  // is used. 0 for an empty palette.
  int GetNearestPaletteIndex(TColor colour) const;
  // The RGB of an entry in the screen's order; black at or beyond the end.
  uint32_t Entry_Xrgb(int index) const;

  // The shared entries, as device contexts hold them.
  class TEntries;
  const std::shared_ptr<TEntries>& Shared() const { return entries_; }

 private:
  std::shared_ptr<TEntries> entries_;
};

// The entries behind a palette. Reads and writes are guarded, since a
// palette may be shared by pictures drawn on several threads.
class TPalette::TEntries {
 public:
  explicit TEntries(std::vector<TPalette_Entry> entries);
  std::vector<TPalette_Entry> Copy() const;
  int Count() const;
  uint32_t Xrgb(int index) const;  // black at or beyond the end
  // All entries as 0x00RRGGBB, for building a colour table.
  std::vector<uint32_t> Xrgb_Table() const;

 private:
  friend class TPalette;
  mutable std::mutex mutex_;
  std::vector<TPalette_Entry> entries_;
};
