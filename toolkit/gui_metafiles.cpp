#include "toolkit/gui_metafiles.h"

#include "platform/system/resource.h"

GUI_Metafiles* The_GUI_Metafiles = nullptr;

GUI_Metafiles::GUI_Metafiles() { The_GUI_Metafiles = this; }

GUI_Metafiles::~GUI_Metafiles() {
  if (The_GUI_Metafiles == this) The_GUI_Metafiles = nullptr;
}

uint32_t GUI_Metafiles::Resource_Of(int slot) {
  if (slot < 0 || slot >= Slot_Count) return 0;
  if (slot == 5) return 4507;
  if (slot == 6) return 4506;
  return 4501 + uint32_t(slot);
}

void GUI_Metafiles::Ensure(int slot) {
  if (slot < 0 || slot >= Slot_Count || Slots[size_t(slot)]) return;
  Slots[size_t(slot)] = Load(Resource_Of(slot));
}

std::unique_ptr<TMetaFilePict> GUI_Metafiles::Load(uint32_t resource_id) {
  const TResource resource = Find_Resource(RT_RCDATA, resource_id);
  if (!resource) return nullptr;
  return std::make_unique<TMetaFilePict>(resource.data, resource.size);
}

bool GUI_Metafiles::Play(int slot, TDC& dc, const TRect& rect) {
  const int old_mode = dc.SetMapMode(MM_ANISOTROPIC);
  const TPoint old_origin = dc.SetViewportOrg(rect.TopLeft());
  const TSize old_extent = dc.SetViewportExt(TSize(rect.Width() - 1, rect.Height() - 1));
  // The metafile sets its own window origin and extent; playing puts them
  // back when it ends.
  if (slot >= 0 && slot < Slot_Count && Slots[size_t(slot)]) Slots[size_t(slot)]->Play(dc);
  dc.SetMapMode(old_mode);
  dc.SetViewportOrg(old_origin);
  dc.SetViewportExt(old_extent);
  return true;
}

void GUI_Metafiles::Release(int slot) {
  if (slot < 0 || slot >= Slot_Count) return;
  Slots[size_t(slot)].reset();
}
