#include "platform/gdi/dib.h"

#include <algorithm>

TDib::TDib(int width, int height, int bits_per_pixel, int num_colors)
    : surface_(std::make_shared<TSurface>(width, height,
                                          bits_per_pixel == 1 || bits_per_pixel == 4 ? bits_per_pixel : 8,
                                          true, num_colors)) {}

TDib::TDib(std::shared_ptr<TSurface> surface) : surface_(std::move(surface)) {}

TDib::TDib(const TDib& other) : surface_(std::make_shared<TSurface>(*other.surface_)) {}

TDib& TDib::operator=(const TDib& other) {
  if (this != &other) surface_ = std::make_shared<TSurface>(*other.surface_);
  return *this;
}

TDib::~TDib() = default;

TColor TDib::GetColor(int index) const {
  const auto& colors = surface_->Colors();
  if (index < 0 || index >= int(colors.size())) return TColor::Black;
  return TColor::From_Xrgb(colors[size_t(index)]);
}

void TDib::SetColor(int index, TColor colour) {
  auto& colors = surface_->Colors();
  if (index >= 0 && index < int(colors.size())) colors[size_t(index)] = colour.Xrgb();
}

int TDib::SetColorTable(int first, int count, const uint32_t* xrgb) {
  auto& colors = surface_->Colors();
  if (first < 0 || count <= 0 || first >= int(colors.size())) return 0;
  const int n = std::min(count, int(colors.size()) - first);
  for (int i = 0; i < n; ++i) colors[size_t(first + i)] = xrgb[i] & 0xFFFFFF;
  return n;
}

int TDib::FindColor(TColor colour) const {
  const auto& colors = surface_->Colors();
  return Exact_Color_Index(colors.data(), int(colors.size()), colour.Xrgb());
}
