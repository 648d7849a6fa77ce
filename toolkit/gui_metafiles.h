// The store of the built-in vector pictures: 15 slots, each loaded from its
// raw-data resource on first use and played scaled into any rectangle of
// any device context.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "platform/gdi/dc.h"
#include "platform/gdi/metafile.h"

class GUI_Metafiles {
 public:
  static constexpr int Slot_Count = 15;

  GUI_Metafiles();
  ~GUI_Metafiles();
  GUI_Metafiles(const GUI_Metafiles&) = delete;
  GUI_Metafiles& operator=(const GUI_Metafiles&) = delete;

  // The raw-data resource a slot is loaded from (slots 5 and 6 take 4507 and
  // 4506); 0 for a slot outside 0..14.
  static uint32_t Resource_Of(int slot);

  // Loads the slot when it is empty; a slot outside 0..14 is ignored.
  void Ensure(int slot);
  // A new metafile object from the raw-data resource of that id (null when
  // the resource is missing).
  static std::unique_ptr<TMetaFilePict> Load(uint32_t resource_id);
  // Plays the slot so that its own frame fills rect. The mapping mode and
  // the viewport are put back afterwards, and the metafile's window origin
  // and extent do not stay behind. A slot that is not loaded draws nothing.
  bool Play(int slot, TDC& dc, const TRect& rect);
  // Drops a loaded slot; the next Ensure loads it again.
  void Release(int slot);

  std::array<std::unique_ptr<TMetaFilePict>, Slot_Count> Slots;
};

extern GUI_Metafiles* The_GUI_Metafiles;
