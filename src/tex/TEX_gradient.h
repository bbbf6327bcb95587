// Turning a height field into a slope map in place: channel 2 of every
// pixel is the height, channels 0 and 1 receive the slope towards the right
// neighbour and the neighbour of the next row, both wrapping round at the
// edges. The texture load runs the byte form for its gradient flag.
#pragma once
#include "tex/TEX_image.h"

// GL_RGB or GL_RGBA bytes (rows of the record's pad): channel 0 becomes
// ((right - own) / 255 * scale + 1) * 127.5 and channel 1 the same towards
// the next row, clamped to 0..255 and truncated, so a flat field gives 127.
// Channel 2 and alpha keep their values. Any other format is left alone.
void TEX_make_gradient(unsigned char* pixels, const TEX_image_desc& desc, float scale);
// The same over floats (pad counted in floats): (right - own) * scale + 0.5,
// without clamping.
void TEX_make_gradient(float* values, const TEX_image_desc& desc, float scale);
