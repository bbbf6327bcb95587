// Font slots and faces: starting FreeType, loading a face from the bundle or
// from a mapped file, and the atlas memory statistic.
#include "ogl/OGL_font_info.h"
#include <cstring>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/utl_mem.h"
#include "core/utl_resource.h"
#include "core/utl_stat.h"
#include "files/translate.h"

namespace {

constexpr char src_path[] = "RUvozuz/OGL/OGL_font";

FT_Library tt_library = nullptr;
UTL_stat font_tex_mem("font/tex_mem", stat_memory, 0);

}  // namespace

TT_font_info* tt_font[2] = {nullptr, nullptr};
std::string tt_names[2] = {"RESOURCE:DejaVuSans.ttf", "RESOURCE:DejaVuSansBold.ttf"};
float tt_sizes[2] = {10.5f, 10.5f};
FT_Error (*TT_init_freetype)(FT_Library* lib) = FT_Init_FreeType;

float TT_font_tex_mem() { return font_tex_mem.value; }

// The atlas counts against the statistic in rows: a row is one kilobyte.
void TT_font_tex_mem_add(int rows) { font_tex_mem.value += (float)rows; }

TT_font_info::TT_font_info(int tex) : tex_num(tex) { glyphs.rehash(193); }

void TT_font_info::clear(const std::string& path, float size) {
  if (!tt_library && TT_init_freetype(&tt_library) != 0) {
    tt_library = nullptr;
    __MACIBM_alert(0, "Unable to initialize freetype.", "", "", "", t_crash, src_path, __LINE__);
  }
  TT_font_tex_mem_add(-height);
  height = dirty = pen_x = row_base = row_height = 0;
  glyphs.clear();
  xfree(atlas);
  atlas = nullptr;
  if (face) FT_Done_Face(face);
  face = nullptr;
  font_file.close();

  std::string name = path;
  FT_Error err;
  if (UTL_path_is_resource(name)) {
    err = FT_New_Face(tt_library, UTL_resource_get_file(name).c_str(), 0, &face);
  } else {
    if (!font_file.retry(path, 0, 0) || font_file.mem_end <= font_file.mem_beg)
      __MACIBM_alert(0, "Error: unable to make font from file", path,
                     "(We could not open the file and read its contents.)", "", t_quit, src_path, __LINE__);
    err = FT_New_Memory_Face(tt_library, reinterpret_cast<const FT_Byte*>(font_file.mem_beg),
                             font_file.mem_end - font_file.mem_beg, 0, &face);
  }
  if (err) {
    face = nullptr;
    __MACIBM_alert(0, "Error: unable to make font from file", path, "(Free-type could not process the .ttf file.)",
                   "", t_quit, src_path, __LINE__);
  }
  if (FT_Set_Char_Size(face, 0, (FT_F26Dot6)(size * 64), 72, 72))
    __MACIBM_alert(0, "Error: unable to set char size for font", path, "", "", t_quit, src_path, __LINE__);

  // Cyrillic runs wide: Russian text is drawn narrowed so the screens' texts fit.
  const bool narrow = mnw.lang == lang_russian;
  FT_Matrix m;
  m.xx = narrow ? 58982 : 65536;
  m.xy = 0;
  m.yx = 0;
  m.yy = 65536;
  FT_Set_Transform(face, &m, nullptr);
  adv_scale = narrow ? 0.9f : 1.0f;

  const float per_unit = size / (float)face->units_per_EM;
  line_height = face->height * per_unit;
  descent = -face->descender * per_unit;
  ascent = face->ascender * per_unit;
}

TT_font_info* TT_get_font(int slot) {
  if (!tt_font[slot]) {
    tt_font[slot] = new TT_font_info(tt_first_tex + slot);
    tt_font[slot]->clear(tt_names[slot], tt_sizes[slot]);
  }
  return tt_font[slot];
}

void TT_reset_font(tt_t which) {
  for (int slot = 0; slot < 2; ++slot) {
    if (which != tt_both && which != slot) continue;
    if (!tt_font[slot])
      TT_get_font(slot);
    else
      tt_font[slot]->clear(tt_names[slot], tt_sizes[slot]);
  }
}
