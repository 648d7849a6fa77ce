// Writes pictures as PNG files (libpng): 32-bit surfaces as RGB PNGs, 8-bit
// surfaces with a colour table as palette PNGs. Used for screenshots, the
// clipboard and the pictures that tests leave for a person to look at.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Pixels are 0x00RRGGBB, top row first; stride_in_pixels is the distance
// between the starts of two rows (negative for a bottom-up buffer, with
// pixels then pointing at the top row). False when the file cannot be
// written or the arguments make no picture.
bool Write_PNG_RGB(const std::string& path, int width, int height, const uint32_t* pixels,
                   long stride_in_pixels);

// One byte per pixel indexing colour_table_0x00RRGGBB (1..256 entries);
// top_row points at the top row and stride_in_bytes leads to the next row
// down, so a bottom-up DIB passes its last stored row and a negative stride.
// An index beyond the table is written as black (the table is padded).
bool Write_PNG_Indexed(const std::string& path, int width, int height, const uint8_t* top_row,
                       long stride_in_bytes, const uint32_t* colour_table_0x00RRGGBB,
                       int colour_count);

// The same palette PNG made in memory, as the clipboard hands it out: the
// rows are read in place (each at its own stride) and compressed with
// run-length matching, which suits pictures of flat colour areas. Empty
// when the arguments make no picture.
std::vector<uint8_t> Encode_PNG_Indexed(int width, int height, const uint8_t* top_row, long stride_in_bytes,
                                        const uint32_t* colour_table_0x00RRGGBB, int colour_count);

// "$QUENDAR_SNAPSHOTS/<name>.png", or "" when QUENDAR_SNAPSHOTS is unset or
// empty: the place where tests leave the pictures they drew.
std::string Snapshot_Path(const std::string& name);
