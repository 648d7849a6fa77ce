#include "model/tstreamableclass.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "model/model_stream_classes.h"

namespace {

// The records, sorted by name and module. Built by the first registration;
// being a function-local static it outlives every record registered after
// it is built, that is every record.
struct Registry {
  std::mutex lock;
  std::vector<const TStreamableClass*> records;
};

Registry& The_Registry() {
  static Registry registry;
  return registry;
}

bool Before(const TStreamableClass* record, std::string_view name, int32_t module) {
  const int order = std::string_view(record->Name()).compare(name);
  return order < 0 || (order == 0 && record->Module() < module);
}

}  // namespace

TStreamableClass::TStreamableClass(const char* name_, Streamer_Builder build_, int32_t delta_,
                                   int32_t module_)
    : name(name_ != nullptr ? name_ : ""), build(build_), delta(delta_), module(module_) {
  if (module == 0 || build == nullptr) return;
  Registry& registry = The_Registry();
  std::lock_guard<std::mutex> guard(registry.lock);
  auto place = std::lower_bound(
      registry.records.begin(), registry.records.end(), this,
      [](const TStreamableClass* r, const TStreamableClass* self) {
        return Before(r, self->name, self->module);
      });
  // A second record of the same name and module leaves the first in charge.
  if (place != registry.records.end() && (*place)->name == name && (*place)->module == module) {
    return;
  }
  registry.records.insert(place, this);
}

TStreamableClass::~TStreamableClass() {
  Registry& registry = The_Registry();
  std::lock_guard<std::mutex> guard(registry.lock);
  std::erase(registry.records, this);
}

const TStreamableClass* TStreamableClass::Lookup(std::string_view name, int32_t module) {
  Register_Model_Stream_Classes();
  Registry& registry = The_Registry();
  std::lock_guard<std::mutex> guard(registry.lock);
  // With module 0 the first record of the name is found, whatever its module.
  auto place = std::lower_bound(registry.records.begin(), registry.records.end(), name,
                                [module](const TStreamableClass* r, std::string_view n) {
                                  return module == 0 ? std::string_view(r->Name()) < n
                                                     : Before(r, n, module);
                                });
  if (place == registry.records.end() || (*place)->Name() != name) return nullptr;
  if (module != 0 && (*place)->Module() != module) return nullptr;
  return *place;
}
