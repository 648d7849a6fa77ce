#include "model/transform_2d.h"

#include "model/ipstream.h"
#include "model/opstream.h"

std::unique_ptr<Transform_2D> Transform_2D::Clone() const { return nullptr; }

Point_2D Transform_2D::Map_Point(float x, float y, int32_t) const { return Point_2D(x, y); }

TPoint Transform_2D::Map_Int_Point(int32_t x, int32_t y, int32_t) const { return TPoint(x, y); }

void Transform_2D::Compose(const Transform_2D&) {}

bool Transform_2D::Equals(const Transform_2D&) const { return false; }

int32_t Transform_2D::Kind() const { return 1; }

TStreamableBase* Transform_2D::Streamer::Read(ipstream&, uint32_t) { return Get_Object(); }

void Transform_2D::Streamer::Write(opstream&) const {}

std::unique_ptr<TStreamer> Transform_2D::Streamer::Build(TStreamableBase* object) {
  if (object == nullptr) return std::make_unique<Streamer>(new Transform_2D(For_Stream));
  auto* map = dynamic_cast<Transform_2D*>(object);
  return map != nullptr ? std::make_unique<Streamer>(map) : nullptr;
}

ipstream& operator>>(ipstream& is, Transform_2D*& map) {
  map = Read_Typed_Pointer<Transform_2D>(is);
  return is;
}

ipstream& operator>>(ipstream& is, Transform_2D& map) {
  is.Read_Object(map);
  return is;
}

opstream& operator<<(opstream& os, const Transform_2D& map) {
  os.Write_Object(map);
  return os;
}

opstream& operator<<(opstream& os, const Transform_2D* map) {
  os.Write_Object_Pointer(map);
  return os;
}
