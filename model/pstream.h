// State shared by the object-stream reader and writer.
#pragma once

#include <cstdint>
#include <string>

class pstream {
 public:
  static constexpr uint32_t eofbit = 1;
  static constexpr uint32_t failbit = 2;
  static constexpr uint32_t badbit = 4;
  // Survives Clear: the stream has failed for good.
  static constexpr uint32_t hardfail = 128;

  pstream(const pstream&) = delete;
  pstream& operator=(const pstream&) = delete;
  virtual ~pstream() = default;

  uint32_t State() const { return state; }
  bool Good() const { return state == 0; }
  bool Eof() const { return (state & eofbit) != 0; }
  // Once this is true every operation does nothing: reads give 0, empty
  // values or no object, and writes write nothing.
  bool Fail() const { return (state & (failbit | badbit | hardfail)) != 0; }
  bool Bad() const { return (state & (badbit | hardfail)) != 0; }
  explicit operator bool() const { return !Fail(); }

  // Sets the state to new_state, keeping hardfail.
  void Clear(uint32_t new_state = 0);
  void Set_State(uint32_t bits) { state |= bits; }

  // Why the stream failed, a short text to log or show (the first reason
  // since the last Clear); empty while it has not failed.
  const std::string& Error_Text() const { return error_text; }
  // Fails the stream (failbit, or the bits given) for that reason.
  void Fail_With(std::string text, uint32_t bits = failbit);

 protected:
  pstream() = default;

 private:
  uint32_t state = 0;
  std::string error_text;
};
