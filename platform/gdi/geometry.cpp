#include "platform/gdi/geometry.h"

#include <algorithm>

TRect TRect::Normalized() const {
  return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

TRect TRect::Offset_By(int dx, int dy) const {
  return {left + dx, top + dy, right + dx, bottom + dy};
}

TRect TRect::Inflated_By(int dx, int dy) const {
  return {left - dx, top - dy, right + dx, bottom + dy};
}

TRect TRect::Intersection(const TRect& other) const {
  TRect r{std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
          std::min(bottom, other.bottom)};
  return r.IsEmpty() ? TRect{} : r;
}

TRect TRect::Union(const TRect& other) const {
  if (other.IsEmpty()) return *this;
  if (IsEmpty()) return other;
  return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
          std::max(bottom, other.bottom)};
}
