// The one tolerant comparison of floats used by the whole pattern model.
#pragma once

// 2^16 and 2^-16: a relative tolerance of one part in 65536, and the
// magnitude below which a value counts as zero.
inline constexpr float Float_Tolerance_Big = 65536.0f;
inline constexpr float Float_Tolerance_Small = 1.0f / 65536.0f;

// Equal when both values are below Float_Tolerance_Small in magnitude, or
// when their float difference is less than 2^-16 of their summed magnitudes.
// A non-zero value equals 0 only through the first rule.
bool Float_Equal(float x, float y);
