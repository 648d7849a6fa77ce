// A map of the plane onto itself. Concrete maps override every operation;
// the base itself is the "no map" of a stored kind 1 and does nothing.
#pragma once

#include <cstdint>
#include <memory>

#include "model/point_2d.h"
#include "model/tstreamablebase.h"
#include "model/tstreamer.h"

class ipstream;
class opstream;

class Transform_2D : public virtual TStreamableBase {
 public:
  Transform_2D() = default;
  explicit Transform_2D(For_Stream_Tag) {}
  Transform_2D(const Transform_2D&) = default;
  Transform_2D& operator=(const Transform_2D&) = default;
  ~Transform_2D() override = default;

  // A copy owned by the caller; the base has none to give.
  virtual std::unique_ptr<Transform_2D> Clone() const;
  // (x, y) mapped with weight w: w = 1 maps a point, w = 0 a vector.
  // The base has no meaningful result and gives the point back unchanged.
  virtual Point_2D Map_Point(float x, float y, int32_t w = 1) const;
  virtual TPoint Map_Int_Point(int32_t x, int32_t y, int32_t w = 1) const;
  // Replaces this map by "this map first, then other".
  virtual void Compose(const Transform_2D& other);
  virtual bool Equals(const Transform_2D& other) const;
  // The word stored before each map of a transform set.
  virtual int32_t Kind() const;

  const char* Streamable_Name() const override { return "Transform_2D"; }

  class Streamer;
};

// The base map has no fields to store.
class Transform_2D::Streamer : public TNewStreamer {
 public:
  explicit Streamer(Transform_2D* map) : TNewStreamer(map) {}
  TStreamableBase* Read(ipstream& is, uint32_t version) override;
  void Write(opstream& os) const override;
  uint32_t Class_Version() const override { return 1; }
  static std::unique_ptr<TStreamer> Build(TStreamableBase* object);
};

ipstream& operator>>(ipstream& is, Transform_2D*& map);
ipstream& operator>>(ipstream& is, Transform_2D& map);
opstream& operator<<(opstream& os, const Transform_2D& map);
opstream& operator<<(opstream& os, const Transform_2D* map);
