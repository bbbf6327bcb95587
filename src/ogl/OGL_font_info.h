// The glyph cache behind interface text: one TT_font_info per font slot, a
// FreeType face whose glyphs are rendered once into an atlas 1024 pixels wide
// (one byte of coverage each, rows top-down in the order glyphs arrive) that
// is uploaded as a one-channel alpha texture under the slot's number.
// Main thread only.
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H
#include <cstdint>
#include <string>
#include <unordered_map>
#include "files/xmap.h"

// Font slots: 0 regular, 1 bold; TT_reset_font takes 2 for both.
enum tt_t : int { tt_regular = 0, tt_bold = 1, tt_both = 2 };

enum : int {
  tt_atlas_width = 1024,
  tt_atlas_max_rows = 16384,  // 16 MB of atlas fills the scratch image
  tt_first_tex = 360,         // texture of slot 0; slot 1 uses 361
};
// Error codes of glyphs that FreeType rendered but the atlas refused.
enum : int { tt_err_atlas_full = -1, tt_err_not_grey = -2 };

// One cached glyph: its cell in the atlas, where it sits against the pen.
struct OGL_char_info {
  int left = 0, top = 0, right = 0, bottom = 0;  // atlas columns and rows
  float x_bearing = 0;   // pixels from the pen to the bitmap's left edge
  float bottom_y = 0;    // the bitmap's bottom edge above the baseline (negative below)
  float advance = 0;     // pixels to the next pen position
  int err = 0;           // 0, or why the glyph failed (it is never retried)
};

class TT_font_info {
 public:
  // An empty font that uploads under texture number tex.
  explicit TT_font_info(int tex);
  TT_font_info(const TT_font_info&) = delete;
  TT_font_info& operator=(const TT_font_info&) = delete;

  // Empties the cache and atlas and loads the face of path at size points
  // (72 dpi), narrowed to 0.9 for Russian. A face that cannot be made ends
  // the program with a quit alert; FreeType not starting, with a crash alert.
  void clear(const std::string& path, float size);
  // The glyph's advance in pixels, rendering and caching it first; 0 for a
  // tab and for a glyph that failed.
  float require_char(uint32_t code);
  // Emits the cached glyph's quad with its pen at (x, y) into the caller's
  // GL_QUADS batch; returns its advance (0, and nothing drawn, for a tab or
  // a glyph not cached or failed).
  float draw_char(uint32_t code, float x, float y);
  // Uploads the atlas through the scratch image when a glyph was added since
  // the last upload; returns 1 when it uploaded.
  int sync_tex();

  // The cached entry of code, or null (a tab is never cached).
  const OGL_char_info* find(uint32_t code) const;

  int tex_num;             // texture number of the atlas
  int height = 0;          // atlas rows; always a power of two or 0
  int dirty = 0;           // a glyph was added since the last upload
  int pen_x = 0;           // next free column of the current glyph row
  int row_base = 0;        // atlas row where the current glyph row starts
  int row_height = 0;      // tallest bitmap of the current glyph row
  float line_height = 0;   // the face's metrics in pixels, for callers
  float descent = 0;
  float ascent = 0;
  std::unordered_map<uint32_t, OGL_char_info> glyphs;
  unsigned char* atlas = nullptr;  // height x 1024 bytes
  FT_Face face = nullptr;
  xmap_class font_file;    // the mapped file behind a face opened from memory
  float adv_scale = 1;     // 0.9 for Russian
  int uploads = 0;         // atlas uploads so far, for tests and statistics

 private:
  float fail(uint32_t code, int err);
  int grow(int rows);
};

// The two slots, made on first use and never destroyed.
extern TT_font_info* tt_font[2];
extern std::string tt_names[2];  // "RESOURCE:DejaVuSans.ttf", "RESOURCE:DejaVuSansBold.ttf"
extern float tt_sizes[2];        // 10.5 points each
// Re-creates a slot (or both for tt_both) from its name and size, making it first when needed.
void TT_reset_font(tt_t which);
// The slot's font, made and loaded on first use.
TT_font_info* TT_get_font(int slot);

// How FreeType is started; tests put a failing one here. Returns FreeType's error.
extern FT_Error (*TT_init_freetype)(FT_Library* lib);
// Atlas kilobytes over both fonts ("font/tex_mem").
float TT_font_tex_mem();
// Counts atlas rows added (or, negative, dropped) in that statistic.
void TT_font_tex_mem_add(int rows);
