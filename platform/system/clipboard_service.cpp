#include "platform/system/clipboard_service.h"

#include <atomic>

namespace {

class Failing_Clipboard : public TClipboard_Service {
 public:
  bool Place_Png(TPicture) override { return false; }
  bool Empty() override { return false; }
  void Watch(std::function<void()> notice) override {
    if (notice) notice();
  }
};

std::atomic<TClipboard_Service*> installed{nullptr};

}  // namespace

TClipboard_Service* TClipboard_Service::Installed() { return installed.load(); }

void TClipboard_Service::Install(TClipboard_Service* service) { installed.store(service); }

TClipboard_Service& TClipboard_Service::Failing() {
  static Failing_Clipboard failing;
  return failing;
}
