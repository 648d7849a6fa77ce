// An ordered set of up to twelve plane maps: the body of a shape
// manipulator. The set owns its maps and never holds an empty slot.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "model/transform_2d.h"
#include "model/tstreamablebase.h"
#include "model/tstreamer.h"

class ipstream;
class opstream;

class Transform_Set_2D : public virtual TStreamableBase {
 public:
  static constexpr int32_t Max_Maps = 12;

  Transform_Set_2D() = default;
  explicit Transform_Set_2D(For_Stream_Tag) {}
  // Copies clone every map.
  Transform_Set_2D(const Transform_Set_2D& other);
  Transform_Set_2D& operator=(const Transform_Set_2D& other);
  ~Transform_Set_2D() override;

  int32_t Count() const { return count; }
  // The map in a used slot, 0..Count()-1.
  Transform_2D* Map(int32_t index) const { return maps[index].get(); }

  // Appends the map while the set holds fewer than twelve; a map that does
  // not fit (or none) is dropped.
  void Add_Map(std::unique_ptr<Transform_2D> map);
  // Empties the set; without delete_maps the maps are released to whoever
  // already holds them instead of being deleted.
  void Clear(bool delete_maps = true);
  // Removes the map at index and hands it to the caller; later maps move down.
  // Null for an index outside the used slots.
  std::unique_ptr<Transform_2D> Take_Out(int32_t index);
  // Moves the map at index to the last used slot; later maps move down.
  void Move_To_End(int32_t index);
  // Index of the first map equal to map (colour steps are not compared), -1
  // when none.
  int32_t Find(const Transform_2D& map) const;
  // Stable sort; before(x, y) tells whether x belongs before y.
  void Sort(bool (*before)(const Transform_2D& first, const Transform_2D& second));
  // Replaces the set by every product with other's maps: slot j*n + i holds
  // own map i first, then other's map j. Products beyond twelve are dropped.
  void Compose_With(const Transform_Set_2D& other);

  const char* Streamable_Name() const override { return "Transform_Set_2D"; }

  class Streamer;

 private:
  int32_t count = 0;
  std::array<std::unique_ptr<Transform_2D>, Max_Maps> maps;
};

// Stored as the count, then per map its kind and the map by reference. A
// damaged set (a count above twelve, a kind other than 0, a map that does not
// read) fails the stream and leaves the set empty.
class Transform_Set_2D::Streamer : public TNewStreamer {
 public:
  explicit Streamer(Transform_Set_2D* set_) : TNewStreamer(set_), set(set_) {}
  TStreamableBase* Read(ipstream& is, uint32_t version) override;
  void Write(opstream& os) const override;
  uint32_t Class_Version() const override { return 1; }
  static std::unique_ptr<TStreamer> Build(TStreamableBase* object);

 private:
  Transform_Set_2D* set;
};

ipstream& operator>>(ipstream& is, Transform_Set_2D*& set);
ipstream& operator>>(ipstream& is, Transform_Set_2D& set);
opstream& operator<<(opstream& os, const Transform_Set_2D& set);
opstream& operator<<(opstream& os, const Transform_Set_2D* set);

// Orders maps by ascending colour step (true when second's step is greater);
// a map without a colour step counts as step 0.
bool Compare_Color_Steps(const Transform_2D& first, const Transform_2D& second);
