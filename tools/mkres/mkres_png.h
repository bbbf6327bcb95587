// The one PNG writer of the resource generator: 8-bit RGBA through libpng,
// the same bytes on every run and machine (no time, gamma or colour-space
// chunk), so the build's pictures change only when their painters do.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes width x height pixels of channels bytes (4 RGBA, 3 RGB), rows
// stored bottom-up as the program decodes them (row v becomes file row
// height - 1 - v), to path through a temporary file renamed into place.
// Returns 1 on success, 0 after printing why on standard error.
int MKRES_write_png(const std::string& path, int width, int height, const std::vector<uint8_t>& pixels,
                    int channels = 4);
