#include "platform/gdi/raster_op.h"

TFill_Masks Fill_Masks(uint8_t table, uint32_t p, uint32_t value_mask) {
  // With S = 0 the result for D = 0 and D = 1 tells, per bit of p, whether
  // the result is a constant or (inverted) D.
  const uint32_t at_d0 = Rop3_Eval(table, p, 0, 0);
  const uint32_t at_d1 = Rop3_Eval(table, p, 0, ~0u);
  TFill_Masks masks;
  masks.and_mask = (at_d0 ^ at_d1) & value_mask;
  masks.xor_mask = at_d0 & value_mask;
  return masks;
}
