// The run-length codec of 32-bit images kept in memory and cut into square
// tiles on demand. A stream is host-order int32 words: N > 0 is a literal run
// (N pixel words follow), N < 0 a repeat run (one pixel word, -N times), and
// 0 the end, never consumed, after which every pixel is 0. Rows are encoded
// in buffer order, each cut into segments of exactly the tile width (the part
// beyond the image one repeat of 0), so tile-aligned positions always fall on
// run boundaries. Every stream ends with a 0 word.
//
// Tile (i, j) of a layout total_width wide with tile size T decodes with
// skip_first = j * T * total_width + i * T, skip_after_row = total_width - T,
// width = T and rows = T.
#pragma once
#include <cstdint>
#include "tex/TEX_image.h"

// A reading position in a stream, between or inside runs.
struct TEX_rle_cursor {
  const unsigned char* word = nullptr;  // the next word to read
  int left = 0;                         // pixels left in the current run
  int literal = 0;                      // 1: they follow at word; 0: each is value
  int32_t value = 0;
  int ended = 0;                        // the 0 word was met: all further pixels are 0
};

// Encodes desc's 4-byte-a-pixel image (width at most total_width rounded
// down to whole tiles) for a layout total_width x total_height cut into tiles
// tile_width wide. out receives a new xmalloc block of the words, which the
// caller frees with xfree; null (and a logged line) when tile_width is below
// 1 or memory runs out.
void TEX_pack_image_rle(const TEX_image_desc& desc, const unsigned char* pixels, int total_width, int total_height,
                        int tile_width, unsigned char*& out);

// Decodes rows rows of width pixels, packed, into out: skip_first pixels are
// skipped first and skip_after_row pixels between rows.
void TEX_unpack_image_rle(const unsigned char* stream, int skip_first, int skip_after_row, int width, int rows,
                          unsigned char* out);

// The same walk, blending into dst: a source pixel of alpha (byte 3) 0 leaves
// dst alone, else with weight w = opacity * (alpha + 1) / 256 colour bytes
// become (p * w + d * (256 - w)) / 256 and alpha the sum, at most 255.
// opacity 256 is full strength, 0 does nothing. The 0 word ends the call.
void TEX_unpack_composite_rle(const unsigned char* stream, int skip_first, int skip_after_row, int width, int rows,
                              unsigned char* dst, int opacity);

// Decodes a colour stream tinted by a weight stream of the same layout: byte
// k of each output pixel is colour byte k x factor k / 256, the factors from
// unpack_and_mix. A 0 colour gives 0, the colour stream's end gives 0 for the
// rest of the row, the weight stream's end passes colours through.
void TEX_unpack_multi_mix_rle(const unsigned char* colours, const unsigned char* weights, int skip_first,
                              int skip_after_row, int width, int rows, unsigned char* out, const int* tint1,
                              const int* tint2, const int* tint3, const int* tint4, const int* base);
// One row of TEX_unpack_multi_mix_rle: width pixels into out, advancing both
// cursors.
void unpack_mix(TEX_rle_cursor& colours, TEX_rle_cursor& weights, int width, unsigned char* out, const int* tint1,
                const int* tint2, const int* tint3, const int* tint4, const int* base);
// The four channel factors (0 to 256) of one weight pixel: factor k is
// base[k] + W0 * tint1[k] / 256 + W1 * tint2[k] / 256 + W2 * tint3[k] / 256 +
// W3 * tint4[k] / 256, Wn being byte n of the weight, each product divided
// on its own.
void unpack_and_mix(const unsigned char* weight, const int* tint1, const int* tint2, const int* tint3,
                    const int* tint4, const int* base, int factor[4]);

// Interleaves four one-channel arrays into count RGBA pixels; a null array
// gives 0 in its channel.
void TEX_pack_rgba(const unsigned char* red, const unsigned char* green, const unsigned char* blue,
                   const unsigned char* alpha, int count, unsigned char* out);
