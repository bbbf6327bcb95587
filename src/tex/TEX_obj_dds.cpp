// The DDS branch of a texture object's file load: whole top levels are
// dropped for the resolution setting instead of resampling compressed
// blocks, and what is left is copied out of the mapping and turned
// bottom-up.
#include <GL/gl.h>
#include <algorithm>
#include <bit>
#include <cstring>
#include "core/hl_alert.h"
#include "core/utl_mem.h"
#include "files/xmap.h"
#include "tex/TEX_dds.h"
#include "tex/TEX_obj.h"

namespace {

constexpr char src_path[] = "RUvozuz/TEX/TEX_obj";

}  // namespace

int TEX_obj::load_dds(xmap_class& file, const std::string& chosen, float wanted, TEX_image_desc& desc,
                      unsigned char*& buf) {
  unsigned char* data = nullptr;
  TEX_image_desc d;
  // Levels are never built for a DDS file: one without its own chain is
  // not used.
  if (!TEX_load_dds(chosen, &file, data, d) || !d.has_mipmaps) return 0;
  float r = 1.0f / get_scale(wanted, d.width, d.height);
  // The reader refused sides below 1.
  if (!std::has_single_bit(static_cast<unsigned>(d.width)) || !std::has_single_bit(static_cast<unsigned>(d.height)))
    __MACIBM_alert(0, "Error: the texture", chosen, "is DDS but its size is not power of 2.", "", t_quit, src_path,
                   __LINE__);
  // The scale is a power of two (or one pixel a side), so 1 / scale is
  // exact up to float noise.
  while (r > 1.0001f) {
    TEX_image_desc top = d;
    top.has_mipmaps = 0;
    data += TEX_bytes_needed_for_image(top);
    d.width = std::max(1, d.width / 2);
    d.height = std::max(1, d.height / 2);
    r /= 2;
  }
  const int bytes = TEX_bytes_needed_for_image(d);
  unsigned char* copy = static_cast<unsigned char*>(xmalloc(static_cast<size_t>(bytes)));
  if (!copy) return 0;
  memcpy(copy, data, static_cast<size_t>(bytes));
  if (TEX_flip_y(d, copy) && d.format == 0x83F0) d.format = 0x83F1;
  desc = d;
  buf = copy;
  return 1;
}
