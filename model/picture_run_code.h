// The picture run-length code: repeat runs (a count 1..255, then the value)
// and literal runs (0, a count, then that many bytes as they are).
#pragma once

#include <cstdint>

// Room the encoder needs beyond the n pixel bytes: it notices that its output
// has reached n only after a pass that may add up to 5 bytes.
inline constexpr uint32_t Run_Code_Slack = 8;

// Encodes n pixel bytes into out, which holds n + Run_Code_Slack bytes.
// Returns the length of the code; a length of n or more means the pixels do
// not shrink, and the caller keeps them raw.
uint32_t Encode_Run_Code(const uint8_t* pixels, uint32_t n, uint8_t* out);

// Decodes packed_size bytes of code into at most n pixels, never reading or
// writing past either buffer; pixels the code does not reach keep their
// values. Returns true when the code described exactly n pixels.
bool Decode_Run_Code(const uint8_t* packed, uint32_t packed_size, uint8_t* pixels, uint32_t n);

// Whether packed_size bytes of code describe exactly n pixels, without
// decoding them.
bool Run_Code_Is_Valid(const uint8_t* packed, uint32_t packed_size, uint32_t n);
