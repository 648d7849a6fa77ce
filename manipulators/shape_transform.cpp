#include "manipulators/shape_transform.h"

#include <cmath>
#include <cstring>
#include <optional>
#include <string>

#include "manipulators/transform_diagram.h"
#include "model/affine_transform_2d.h"
#include "model/ipstream.h"
#include "model/opstream.h"
#include "model/tstreamableclass.h"

namespace {

const TStreamableClass shape_transform_class("Shape_Transform", &Shape_Transform::Streamer::Build);

// A map a manipulator may hold: affine, every coefficient finite, a colour
// step that is not negative (the colour cycles step forward only).
bool Sound_Map(const Transform_2D* map) {
  auto* affine = dynamic_cast<const Affine_Transform_2D*>(map);
  if (affine == nullptr || affine->Color_Step < 0) return false;
  for (float c : {affine->eM11, affine->eM12, affine->eM21, affine->eM22, affine->eDx, affine->eDy}) {
    if (!std::isfinite(c)) return false;
  }
  return true;
}

}  // namespace

std::string_view Cut_To_Character(std::string_view text, size_t limit) {
  if (text.size() <= limit) return text;
  size_t end = limit;
  // Step back over continuation bytes to the start of the cut character.
  while (end > 0 && (static_cast<uint8_t>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

Shape_Transform::Shape_Transform() = default;

Shape_Transform::Shape_Transform(For_Stream_Tag) : Transform_Set_2D(For_Stream) {}

Shape_Transform::Shape_Transform(const Shape_Transform& other)
    : TStreamableBase(), Transform_Set_2D(other), name(other.name) {}

Shape_Transform::~Shape_Transform() = default;

void Shape_Transform::Set_Name(std::string_view text) {
  text = text.substr(0, std::min(text.find('\0'), text.size()));
  const std::string_view kept = Cut_To_Character(text, Longest_Name);
  name.fill('\0');
  std::memcpy(name.data(), kept.data(), kept.size());
}

void Shape_Transform::Set_Diagram(std::unique_ptr<Transform_Diagram> picture) {
  diagram = std::move(picture);
}

TStreamableBase* Shape_Transform::Streamer::Read(ipstream& is, uint32_t version) {
  if (version != 1) {
    is.Set_State(ipstream::failbit);
    return manipulator;
  }
  // The map set's part, whose own version must be the one written.
  Transform_Set_2D::Streamer base(manipulator);
  if (is.Version() == 0 || is.Read_Word32() != 1) is.Set_State(ipstream::failbit);
  if (!is.Fail()) base.Read(is, 1);
  for (int32_t i = 0; i < manipulator->Count() && !is.Fail(); ++i) {
    if (!Sound_Map(manipulator->Map(i))) is.Set_State(ipstream::failbit);
  }
  // An absent name (a null string) is damage: the writer always writes one.
  const std::optional<std::string> text = is.Read_String();
  if (!text) is.Set_State(ipstream::failbit);
  if (is.Fail()) {
    manipulator->Clear(true);
    return manipulator;
  }
  manipulator->Set_Name(*text);
  return manipulator;
}

void Shape_Transform::Streamer::Write(opstream& os) const {
  Transform_Set_2D::Streamer base(manipulator);
  os.Write_Base_Object(base);
  os.Write_String(std::string_view(manipulator->Name()));
}

std::unique_ptr<TStreamer> Shape_Transform::Streamer::Build(TStreamableBase* object) {
  if (object == nullptr) return std::make_unique<Streamer>(new Shape_Transform(For_Stream));
  auto* manipulator = dynamic_cast<Shape_Transform*>(object);
  return manipulator != nullptr ? std::make_unique<Streamer>(manipulator) : nullptr;
}
