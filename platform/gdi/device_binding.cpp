#include "platform/gdi/device_binding.h"

namespace {

// Holds the binding's lock when it has one.
class TMaybe_Lock {
 public:
  explicit TMaybe_Lock(TDevice_Binding::TLock* lock) : lock_(lock) {
    if (lock_) lock_->lock();
  }
  ~TMaybe_Lock() {
    if (lock_) lock_->unlock();
  }
  TMaybe_Lock(const TMaybe_Lock&) = delete;
  TMaybe_Lock& operator=(const TMaybe_Lock&) = delete;

 private:
  TDevice_Binding::TLock* lock_;
};

}  // namespace

TDevice_Binding::TDevice_Binding(std::shared_ptr<TSurface> surface, std::shared_ptr<TLock> lock)
    : lock_(std::move(lock)), surface_(std::move(surface)) {}

void TDevice_Binding::Set_Origin(TPoint origin) {
  TMaybe_Lock hold(lock_.get());
  origin_ = origin;
  ++generation_;
}

void TDevice_Binding::Set_Visible(std::optional<TRegion> visible) {
  TMaybe_Lock hold(lock_.get());
  visible_ = std::move(visible);
  ++generation_;
}

void TDevice_Binding::Invalidate() {
  TMaybe_Lock hold(lock_.get());
  valid_ = false;
  ++generation_;
}

void TDevice_Binding::Set_Surface(std::shared_ptr<TSurface> surface) {
  TMaybe_Lock hold(lock_.get());
  surface_ = std::move(surface);
  ++generation_;
}
