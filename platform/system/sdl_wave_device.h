// The wave device of the real program: one SDL audio stream at 22050 Hz,
// 16-bit mono, into which every voice is mixed (8-bit buffers are widened
// on the way). The device is opened with the first voice and closed with
// the last. This is the only place that uses SDL audio.
#pragma once

#include <memory>

#include "platform/system/wave_device.h"

class TSdl_Wave_Device : public TWave_Device {
 public:
  TSdl_Wave_Device();
  ~TSdl_Wave_Device() override;

  bool Can_Play() override;
  bool Attach(TWave_Voice& voice) override;
  void Detach(TWave_Voice& voice) override;
  void Lock() override;
  void Unlock() override;
  void Started(TWave_Voice&) override {}

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
