// In-place pixel operations for building one image from others: scaled
// compositing with alpha, plain copying into a larger image, colour keying
// and cleaning the colour of transparent pixels. Pixels are 3 bytes
// (GL_RGB) or 4 (GL_RGBA), rows bottom-up of the record's pad; an image of
// any other format is left unchanged.
#pragma once
#include "tex/TEX_image.h"

// Draws the whole source, scaled bilinearly, into the rectangle (x1, y1) to
// (x2, y2) of the target (target pixels; the part outside the target is
// dropped). Taps outside the source weigh 0, so edge pixels keep part of the
// old colour; an opaque source over an RGBA target raises its alpha by the
// covered share. x1 = x2 (y1 = y2) samples the source's middle column (row).
void TEX_composite(const TEX_image_desc& source, const TEX_image_desc& target, const unsigned char* source_pixels,
                   unsigned char* target_pixels, float x1, float y1, float x2, float y2);
// Copies the source into the target with its first pixel at column x of row
// y, clipped to the target. Both must have the same format.
void TEX_copy(const TEX_image_desc& source, const TEX_image_desc& target, const unsigned char* source_pixels,
              unsigned char* target_pixels, int x, int y);
// GL_RGBA only: alpha becomes 0 where |R - key R| + |G - key G| + |B - key B|
// is below tolerance (so 0 changes nothing, 1 clears exact matches). key
// points at R, G, B. Returns 0.
int TEX_chroma_key(const TEX_image_desc& desc, unsigned char* pixels, unsigned char* key, int tolerance);
// TEX_chroma_key with the record by pointer.
int TEX_chroma_key_wrap(TEX_image_desc* desc, unsigned char* pixels, unsigned char* key, int tolerance);
// GL_RGBA only: every pixel whose alpha is 0 becomes 0, 0, 0, 0.
void TEX_zap_alpha(const TEX_image_desc& desc, unsigned char* pixels);
