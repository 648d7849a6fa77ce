#include "platform/gdi/palette.h"

#include <algorithm>

namespace {

uint32_t Xrgb_Of(const TPalette_Entry& e) {
  return uint32_t(e.peRed) << 16 | uint32_t(e.peGreen) << 8 | e.peBlue;
}

}  // namespace

TPalette::TEntries::TEntries(std::vector<TPalette_Entry> entries) : entries_(std::move(entries)) {}

std::vector<TPalette_Entry> TPalette::TEntries::Copy() const {
  std::lock_guard lock(mutex_);
  return entries_;
}

int TPalette::TEntries::Count() const {
  std::lock_guard lock(mutex_);
  return int(entries_.size());
}

uint32_t TPalette::TEntries::Xrgb(int index) const {
  std::lock_guard lock(mutex_);
  if (index < 0 || index >= int(entries_.size())) return 0;
  return Xrgb_Of(entries_[size_t(index)]);
}

std::vector<uint32_t> TPalette::TEntries::Xrgb_Table() const {
  std::lock_guard lock(mutex_);
  std::vector<uint32_t> table(entries_.size());
  std::transform(entries_.begin(), entries_.end(), table.begin(), Xrgb_Of);
  return table;
}

TPalette::TPalette(const TPalette_Entry* entries, int count) {
  std::vector<TPalette_Entry> v(size_t(std::max(count, 0)));
  if (entries) std::copy(entries, entries + v.size(), v.begin());
  entries_ = std::make_shared<TEntries>(std::move(v));
}

TPalette::TPalette(const TPalette& other) : entries_(std::make_shared<TEntries>(other.entries_->Copy())) {}

TPalette& TPalette::operator=(const TPalette& other) {
  if (this != &other) entries_ = std::make_shared<TEntries>(other.entries_->Copy());
  return *this;
}

TPalette::~TPalette() = default;

int TPalette::GetNumEntries() const { return entries_->Count(); }

int TPalette::GetPaletteEntries(int first, int count, TPalette_Entry* out) const {
  std::lock_guard lock(entries_->mutex_);
  const auto& v = entries_->entries_;
  if (first < 0 || count <= 0 || first >= int(v.size())) return 0;
  const int n = std::min(count, int(v.size()) - first);
  std::copy_n(v.begin() + first, n, out);
  return n;
}

bool TPalette::GetPaletteEntry(int index, TPalette_Entry& out) const {
  return GetPaletteEntries(index, 1, &out) == 1;
}

int TPalette::SetPaletteEntries(int first, int count, const TPalette_Entry* in) {
  std::lock_guard lock(entries_->mutex_);
  auto& v = entries_->entries_;
  if (first < 0 || count <= 0 || first >= int(v.size())) return 0;
  const int n = std::min(count, int(v.size()) - first);
  std::copy_n(in, n, v.begin() + first);
  return n;
}

bool TPalette::SetPaletteEntry(int index, const TPalette_Entry& entry) {
  return SetPaletteEntries(index, 1, &entry) == 1;
}

bool TPalette::ResizePalette(int count) {
  if (count < 0) return false;
  std::lock_guard lock(entries_->mutex_);
  entries_->entries_.resize(size_t(count));
  return true;
}

int TPalette::GetNearestPaletteIndex(TColor colour) const {
  const std::vector<uint32_t> table = entries_->Xrgb_Table();
  const int index = Nearest_Color_Index(table.data(), int(table.size()), colour.Xrgb());
  return index < 0 ? 0 : index;
}

uint32_t TPalette::Entry_Xrgb(int index) const { return entries_->Xrgb(index); }
