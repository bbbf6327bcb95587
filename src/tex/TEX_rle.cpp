#include "tex/TEX_rle.h"
#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>
#include "core/globs.h"
#include "core/utl_mem.h"

namespace {

int32_t word_at(const unsigned char* p) {
  int32_t w;
  memcpy(&w, p, 4);
  return w;
}

void put_word(unsigned char* p, int32_t w) { memcpy(p, &w, 4); }

TEX_rle_cursor cursor_at(const unsigned char* stream) {
  TEX_rle_cursor c;
  c.word = stream;
  return c;
}

// Loads the next run when the current one is used up. The 0 word is never
// consumed: the cursor stays on it, ended.
void next_run(TEX_rle_cursor& c) {
  if (c.left > 0 || c.ended) return;
  const int32_t n = word_at(c.word);
  if (n == 0) {
    c.ended = 1;
  } else if (n > 0) {
    c.literal = 1;
    c.left = n;
    c.word += 4;
  } else {
    c.literal = 0;
    c.left = n == INT32_MIN ? INT32_MAX : -n;
    c.value = word_at(c.word + 4);
    c.word += 8;
  }
}

// Moves past count pixels of the current run (at most what it has left).
void consume(TEX_rle_cursor& c, int count) {
  if (c.literal) c.word += static_cast<size_t>(count) * 4;
  c.left -= count;
}

// Walks count pixels run by run: fn(k) handles the next k pixels of the
// current run (c.literal: at c.word; else each is c.value) before they are
// consumed. Returns the pixels left unwalked when the end came first.
template <class Fn>
int walk_runs(TEX_rle_cursor& c, int count, Fn fn) {
  while (count > 0) {
    next_run(c);
    if (c.ended) return count;
    const int k = std::min(count, c.left);
    fn(k);
    consume(c, k);
    count -= k;
  }
  return 0;
}

// Skips count pixels, stopping at the end.
void skip(TEX_rle_cursor& c, int count) {
  walk_runs(c, count, [](int) {});
}

// Calls row(r) for each of rows rows, and between() (the skip to the next
// row) between them but not after the last: past a tile's top row there may
// be no stream left. row returns false to end the walk.
template <class Row, class Between>
void walk_rows(int rows, Row row, Between between) {
  for (int r = 0; r < rows; ++r) {
    if (!row(r)) return;
    if (r + 1 < rows) between();
  }
}

// Appends a segment of n pixel words as runs: a repeat of three or more equal
// words becomes a repeat run, everything else literal runs.
void encode_segment(const int32_t* seg, int n, std::vector<int32_t>& words) {
  int s = 0;
  while (s < n) {
    int r = s;
    while (r + 2 < n && !(seg[r] == seg[r + 1] && seg[r + 1] == seg[r + 2])) ++r;
    if (r + 2 >= n) {
      words.push_back(n - s);
      words.insert(words.end(), seg + s, seg + n);
      return;
    }
    if (r > s) {
      words.push_back(r - s);
      words.insert(words.end(), seg + s, seg + r);
    }
    int q = r;
    while (q < n && seg[q] == seg[r]) ++q;
    words.push_back(-(q - r));
    words.push_back(seg[r]);
    s = q;
  }
}

}  // namespace

void TEX_pack_image_rle(const TEX_image_desc& desc, const unsigned char* pixels, int total_width,
                        [[maybe_unused]] int total_height, int tile_width, unsigned char*& out) {
  out = nullptr;
  if (tile_width < 1) {
    xer_group() << "TEX_pack_image_rle: tile width " << tile_width << " below 1, nothing encoded.\n";
    return;
  }
  const int tiles = total_width / tile_width;
  const size_t stride = static_cast<size_t>(desc.width) * 4 + static_cast<size_t>(std::max(desc.pad, 0));
  std::vector<int32_t> words, seg(static_cast<size_t>(tile_width));
  for (int row = 0; row < desc.height; ++row) {
    const unsigned char* src = pixels + static_cast<size_t>(row) * stride;
    for (int t = 0; t < tiles; ++t) {
      const int x0 = t * tile_width;
      const int n = std::clamp(desc.width - x0, 0, tile_width);
      if (n > 0) memcpy(seg.data(), src + static_cast<size_t>(x0) * 4, static_cast<size_t>(n) * 4);
      encode_segment(seg.data(), n, words);
      if (n < tile_width) {
        words.push_back(-(tile_width - n));
        words.push_back(0);
      }
    }
  }
  // The 0 word: every layout row past the image decodes as 0 from it. It ends
  // the stream also when the image fills the layout, so the decoders stop
  // there rather than read past the block.
  words.push_back(0);
  const size_t bytes = words.size() * 4;
  out = static_cast<unsigned char*>(xmalloc(bytes));
  if (!out) {
    xer_group() << "TEX_pack_image_rle: out of memory for " << bytes << " bytes of runs.\n";
    return;
  }
  memcpy(out, words.data(), bytes);
}

void TEX_unpack_image_rle(const unsigned char* stream, int skip_first, int skip_after_row, int width, int rows,
                          unsigned char* out) {
  TEX_rle_cursor c = cursor_at(stream);
  skip(c, skip_first);
  walk_rows(
      rows,
      [&](int row) {
        unsigned char* o = out + static_cast<size_t>(row) * static_cast<size_t>(width) * 4;
        const int left = walk_runs(c, width, [&](int k) {
          if (c.literal)
            memcpy(o, c.word, static_cast<size_t>(k) * 4);
          else
            for (int i = 0; i < k; ++i) put_word(o + static_cast<size_t>(i) * 4, c.value);
          o += static_cast<size_t>(k) * 4;
        });
        memset(o, 0, static_cast<size_t>(left) * 4);
        return true;
      },
      [&] { skip(c, skip_after_row); });
}

void TEX_unpack_composite_rle(const unsigned char* stream, int skip_first, int skip_after_row, int width, int rows,
                              unsigned char* dst, int opacity) {
  opacity = std::clamp(opacity, 0, 256);
  if (opacity == 0) return;
  TEX_rle_cursor c = cursor_at(stream);
  skip(c, skip_first);
  walk_rows(
      rows,
      [&](int row) {
        unsigned char* d = dst + static_cast<size_t>(row) * static_cast<size_t>(width) * 4;
        // The end leaves the rest as it is and ends the call.
        return walk_runs(c, width, [&](int k) {
                 for (int i = 0; i < k; ++i, d += 4) {
                   const unsigned char* p = c.literal ? c.word + static_cast<size_t>(i) * 4
                                                      : reinterpret_cast<const unsigned char*>(&c.value);
                   if (p[3] == 0) continue;
                   const int w = opacity * (p[3] + 1) / 256;
                   for (int b = 0; b < 3; ++b)
                     d[b] = static_cast<unsigned char>((p[b] * w + d[b] * (256 - w)) / 256);
                   d[3] = static_cast<unsigned char>(std::min(p[3] + d[3], 255));
                 }
               }) == 0;
      },
      [&] { skip(c, skip_after_row); });
}

void unpack_and_mix(const unsigned char* weight, const int* tint1, const int* tint2, const int* tint3,
                    const int* tint4, const int* base, int factor[4]) {
  for (int k = 0; k < 4; ++k) {
    const int f = base[k] + weight[0] * tint1[k] / 256 + weight[1] * tint2[k] / 256 + weight[2] * tint3[k] / 256 +
                  weight[3] * tint4[k] / 256;
    factor[k] = std::clamp(f, 0, 256);
  }
}

void unpack_mix(TEX_rle_cursor& colours, TEX_rle_cursor& weights, int width, unsigned char* out, const int* tint1,
                const int* tint2, const int* tint3, const int* tint4, const int* base) {
  int n = width;
  while (n > 0) {
    next_run(colours);
    if (colours.ended) {
      memset(out, 0, static_cast<size_t>(n) * 4);
      return;
    }
    next_run(weights);
    const int k = std::min({n, colours.left, weights.ended ? n : weights.left});
    int factor[4];
    // A repeated weight gives the same factors for the whole overlap.
    if (!weights.ended && !weights.literal)
      unpack_and_mix(reinterpret_cast<const unsigned char*>(&weights.value), tint1, tint2, tint3, tint4, base, factor);
    for (int i = 0; i < k; ++i, out += 4) {
      const unsigned char* c = colours.literal ? colours.word + static_cast<size_t>(i) * 4
                                               : reinterpret_cast<const unsigned char*>(&colours.value);
      if (word_at(c) == 0 || weights.ended) {
        memcpy(out, c, 4);  // 0 stays 0; without weights the colour passes
        continue;
      }
      if (weights.literal)
        unpack_and_mix(weights.word + static_cast<size_t>(i) * 4, tint1, tint2, tint3, tint4, base, factor);
      for (int b = 0; b < 4; ++b) out[b] = static_cast<unsigned char>(c[b] * factor[b] / 256);
    }
    consume(colours, k);
    if (!weights.ended) consume(weights, k);
    n -= k;
  }
}

void TEX_unpack_multi_mix_rle(const unsigned char* colours, const unsigned char* weights, int skip_first,
                              int skip_after_row, int width, int rows, unsigned char* out, const int* tint1,
                              const int* tint2, const int* tint3, const int* tint4, const int* base) {
  TEX_rle_cursor c = cursor_at(colours), w = cursor_at(weights);
  skip(c, skip_first);
  skip(w, skip_first);
  walk_rows(
      rows,
      [&](int row) {
        unpack_mix(c, w, width, out + static_cast<size_t>(row) * static_cast<size_t>(width) * 4, tint1, tint2, tint3,
                   tint4, base);
        return true;
      },
      [&] {
        skip(c, skip_after_row);
        skip(w, skip_after_row);
      });
}

void TEX_pack_rgba(const unsigned char* red, const unsigned char* green, const unsigned char* blue,
                   const unsigned char* alpha, int count, unsigned char* out) {
  for (int i = 0; i < count; ++i, out += 4) {
    out[0] = red ? red[i] : 0;
    out[1] = green ? green[i] : 0;
    out[2] = blue ? blue[i] : 0;
    out[3] = alpha ? alpha[i] : 0;
  }
}
