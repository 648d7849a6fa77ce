// Raster operations: how a source (S), a pattern or pen (P) and the
// destination (D) combine, bit by bit, on raw pixel values (0x00RRGGBB on a
// 32-bit surface, colour-table indices on an indexed one).
// - A ternary operation code (ROP3) carries its truth table in bits 16-23:
//   bit (P * 4 + S * 2 + D) of that byte is the result for those inputs.
// - A binary mix mode (ROP2, R2_BLACK .. R2_WHITE) has the truth table
//   (code - 1), bit (P * 2 + D).
// With P fixed, every bit of the result is 0, 1, D or ~D, so any fill that
// does not read a source is (D & and_mask) ^ xor_mask per pixel: that is how
// pens and brushes are painted (TFill_Masks).
#pragma once

#include <cstdint>

constexpr uint32_t SRCCOPY = 0x00CC0020;
constexpr uint32_t SRCPAINT = 0x00EE0086;
constexpr uint32_t SRCAND = 0x008800C6;
constexpr uint32_t SRCINVERT = 0x00660046;
constexpr uint32_t SRCERASE = 0x00440328;
constexpr uint32_t NOTSRCCOPY = 0x00330008;
constexpr uint32_t NOTSRCERASE = 0x001100A6;
constexpr uint32_t MERGECOPY = 0x00C000CA;
constexpr uint32_t MERGEPAINT = 0x00BB0226;
constexpr uint32_t PATCOPY = 0x00F00021;
constexpr uint32_t PATPAINT = 0x00FB0A09;
constexpr uint32_t PATINVERT = 0x005A0049;
constexpr uint32_t DSTINVERT = 0x00550009;
constexpr uint32_t BLACKNESS = 0x00000042;
constexpr uint32_t WHITENESS = 0x00FF0062;

constexpr int R2_BLACK = 1;        // 0
constexpr int R2_NOTMERGEPEN = 2;  // ~(D | P)
constexpr int R2_MASKNOTPEN = 3;   // D & ~P
constexpr int R2_NOTCOPYPEN = 4;   // ~P
constexpr int R2_MASKPENNOT = 5;   // P & ~D
constexpr int R2_NOT = 6;          // ~D
constexpr int R2_XORPEN = 7;       // D ^ P
constexpr int R2_NOTMASKPEN = 8;   // ~(D & P)
constexpr int R2_MASKPEN = 9;      // D & P
constexpr int R2_NOTXORPEN = 10;   // ~(D ^ P)
constexpr int R2_NOP = 11;         // D
constexpr int R2_MERGENOTPEN = 12; // D | ~P
constexpr int R2_COPYPEN = 13;     // P
constexpr int R2_MERGEPENNOT = 14; // P | ~D
constexpr int R2_MERGEPEN = 15;    // D | P
constexpr int R2_WHITE = 16;       // 1

// The truth table of a ROP3 code.
constexpr uint8_t Rop3_Table(uint32_t rop) { return uint8_t(rop >> 16); }

// Evaluates any truth table on whole words: the slow path behind every fast
// one, and the reference the fast ones are tested against.
constexpr uint32_t Rop3_Eval(uint8_t table, uint32_t p, uint32_t s, uint32_t d) {
  uint32_t result = 0;
  for (int i = 0; i < 8; ++i)
    if (table >> i & 1) result |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  return result;
}

// Which inputs a truth table reads.
constexpr bool Rop3_Uses_Source(uint8_t t) { return ((t >> 2) & 0x33) != (t & 0x33); }
constexpr bool Rop3_Uses_Pattern(uint8_t t) { return (t >> 4) != (t & 0x0F); }
constexpr bool Rop3_Uses_Dest(uint8_t t) { return ((t >> 1) & 0x55) != (t & 0x55); }

// The ROP3 truth table that applies a binary mix mode with the pen or brush
// as the pattern (S is ignored).
constexpr uint8_t Rop2_As_Rop3(int rop2) {
  const int t = (rop2 - 1) & 0x0F;  // bit P*2+D
  uint8_t table = 0;
  for (int i = 0; i < 8; ++i) {
    const int p = i >> 2 & 1, d = i & 1;
    if (t >> (p * 2 + d) & 1) table = uint8_t(table | 1 << i);
  }
  return table;
}

// (D & and_mask) ^ xor_mask: the effect of a pattern value p on any D under
// a truth table that reads no source; value_mask keeps the surface's bits.
struct TFill_Masks {
  uint32_t and_mask = 0;
  uint32_t xor_mask = 0;
};
TFill_Masks Fill_Masks(uint8_t table, uint32_t p, uint32_t value_mask);
