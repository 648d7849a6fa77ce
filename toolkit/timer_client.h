// What a coarse timer calls when it fires.
#pragma once

class Timer_Client {
 public:
  virtual ~Timer_Client() = default;
  virtual void Timer_Tick() = 0;
};
