#include "model/transform_set_2d.h"

#include <algorithm>
#include <utility>

#include "model/affine_transform_2d.h"
#include "model/ipstream.h"
#include "model/opstream.h"

Transform_Set_2D::Transform_Set_2D(const Transform_Set_2D& other) : TStreamableBase() {
  for (int32_t i = 0; i < other.count; ++i) Add_Map(other.maps[i]->Clone());
}

Transform_Set_2D& Transform_Set_2D::operator=(const Transform_Set_2D& other) {
  if (this == &other) return *this;
  Clear(true);
  for (int32_t i = 0; i < other.count; ++i) Add_Map(other.maps[i]->Clone());
  return *this;
}

Transform_Set_2D::~Transform_Set_2D() { Clear(true); }

void Transform_Set_2D::Add_Map(std::unique_ptr<Transform_2D> map) {
  if (map == nullptr || count >= Max_Maps) return;
  maps[count++] = std::move(map);
}

void Transform_Set_2D::Clear(bool delete_maps) {
  for (int32_t i = 0; i < count; ++i) {
    if (delete_maps) {
      maps[i].reset();
    } else {
      (void)maps[i].release();
    }
  }
  count = 0;
}

std::unique_ptr<Transform_2D> Transform_Set_2D::Take_Out(int32_t index) {
  if (index < 0 || index >= count) return nullptr;
  std::unique_ptr<Transform_2D> taken = std::move(maps[index]);
  std::move(maps.begin() + index + 1, maps.begin() + count, maps.begin() + index);
  --count;
  return taken;
}

void Transform_Set_2D::Move_To_End(int32_t index) {
  if (index < 0 || index >= count) return;
  std::rotate(maps.begin() + index, maps.begin() + index + 1, maps.begin() + count);
}

int32_t Transform_Set_2D::Find(const Transform_2D& map) const {
  for (int32_t i = 0; i < count; ++i) {
    if (maps[i]->Equals(map)) return i;
  }
  return -1;
}

void Transform_Set_2D::Sort(bool (*before)(const Transform_2D&, const Transform_2D&)) {
  std::stable_sort(maps.begin(), maps.begin() + count,
                   [before](const std::unique_ptr<Transform_2D>& x,
                            const std::unique_ptr<Transform_2D>& y) { return before(*x, *y); });
}

void Transform_Set_2D::Compose_With(const Transform_Set_2D& other) {
  const int32_t n = count;
  const int32_t m = other.count;
  if (m == 0) return;
  for (int32_t j = 1; j < m; ++j) {
    for (int32_t i = 0; i < n && count < Max_Maps; ++i) Add_Map(maps[i]->Clone());
  }
  // Only the slots that exist are composed: with more than twelve products
  // the set keeps the first twelve.
  for (int32_t j = 0; j < m; ++j) {
    for (int32_t i = 0; i < n && j * n + i < count; ++i) {
      maps[j * n + i]->Compose(*other.maps[j]);
    }
  }
}

namespace {

int32_t Color_Step_Of(const Transform_2D& map) {
  auto* affine = dynamic_cast<const Affine_Transform_2D*>(&map);
  return affine != nullptr ? affine->Color_Step : 0;
}

}  // namespace

bool Compare_Color_Steps(const Transform_2D& first, const Transform_2D& second) {
  return Color_Step_Of(second) > Color_Step_Of(first);
}

TStreamableBase* Transform_Set_2D::Streamer::Read(ipstream& is, uint32_t) {
  set->Clear(true);
  const uint32_t count = is.Read_Word();
  if (count > static_cast<uint32_t>(Max_Maps)) is.Fail_With("A set holds too many maps");
  for (uint32_t i = 0; i < count && !is.Fail(); ++i) {
    const uint32_t kind = is.Read_Word();
    if (kind != 0) {
      is.Fail_With("A set holds a map of an unknown kind");
      break;
    }
    auto map = std::make_unique<Affine_Transform_2D>();
    is.Read_Object(*map);
    if (!is.Fail()) set->Add_Map(std::move(map));
  }
  if (is.Fail()) set->Clear(true);
  return set;
}

void Transform_Set_2D::Streamer::Write(opstream& os) const {
  os.Write_Word(static_cast<uint32_t>(set->count));
  for (int32_t i = 0; i < set->count; ++i) {
    os.Write_Word(static_cast<uint32_t>(set->maps[i]->Kind()));
    os.Write_Object(*set->maps[i]);
  }
}

std::unique_ptr<TStreamer> Transform_Set_2D::Streamer::Build(TStreamableBase* object) {
  if (object == nullptr) return std::make_unique<Streamer>(new Transform_Set_2D(For_Stream));
  auto* set = dynamic_cast<Transform_Set_2D*>(object);
  return set != nullptr ? std::make_unique<Streamer>(set) : nullptr;
}

ipstream& operator>>(ipstream& is, Transform_Set_2D*& set) {
  set = Read_Typed_Pointer<Transform_Set_2D>(is);
  return is;
}

ipstream& operator>>(ipstream& is, Transform_Set_2D& set) {
  is.Read_Object(set);
  return is;
}

opstream& operator<<(opstream& os, const Transform_Set_2D& set) {
  os.Write_Object(set);
  return os;
}

opstream& operator<<(opstream& os, const Transform_Set_2D* set) {
  os.Write_Object_Pointer(set);
  return os;
}
