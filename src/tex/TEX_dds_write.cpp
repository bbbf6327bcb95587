// Writing DDS files, and the thin S3TC calls over libsquish.
#include <GL/gl.h>
#include <GL/glext.h>
#include <squish.h>
#include <cstdio>
#include <cstring>
#include <vector>
#include "core/hl_alert.h"
#include "tex/TEX_dds.h"
#include "tex/TEX_file_out.h"

namespace {

constexpr char src_path[] = "RUvozuz/TEX/TEX_dds";

int squish_kind(uint32_t format) {
  if (format == 0x83F0 || format == 0x83F1) return squish::kDxt1;
  if (format == 0x83F2) return squish::kDxt3;
  return squish::kDxt5;
}

int squish_fit(TEX_s3tc_quality quality) {
  if (quality == s3tc_range_fit) return squish::kColourRangeFit;
  if (quality == s3tc_iterative_fit) return squish::kColourIterativeClusterFit;
  return squish::kColourClusterFit;
}

void put32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// Halves the top-down RGBA working image in place: 2 x 2 boxes, or pairs
// along the one side that is still above 1.
void shrink(std::vector<unsigned char>& rgba, int& w, int& h) {
  const int nw = w > 1 ? w / 2 : 1, nh = h > 1 ? h / 2 : 1;
  auto at = [&](int x, int y) { return &rgba[(static_cast<size_t>(y) * w + x) * 4]; };
  for (int y = 0; y < nh; ++y)
    for (int x = 0; x < nw; ++x) {
      unsigned char* out = &rgba[(static_cast<size_t>(y) * nw + x) * 4];
      for (int c = 0; c < 4; ++c) {
        int v;
        if (w >= 2 && h >= 2)
          v = (at(2 * x, 2 * y)[c] + at(2 * x + 1, 2 * y)[c] + at(2 * x, 2 * y + 1)[c] + at(2 * x + 1, 2 * y + 1)[c]) >> 2;
        else if (w == 1)
          v = (at(0, 2 * y)[c] + at(0, 2 * y + 1)[c]) >> 1;
        else
          v = (at(2 * x, 0)[c] + at(2 * x + 1, 0)[c]) >> 1;
        out[c] = static_cast<unsigned char>(v);
      }
    }
  w = nw;
  h = nh;
}

}  // namespace

int TEX_save_dds(const std::string& path, const unsigned char* pixels, const TEX_image_desc& desc) {
  if (desc.format != GL_RGBA && desc.format != GL_RGB) {
    __MACIBM_alert(0, "rel_assert Error! Possibly an out of range vector! Attach the debugger and see who called this!",
                   "in_desc.format == GL_RGBA || in_desc.format == GL_RGB", "TEX_save_dds",
                   "Please report this to Corvane Research.", t_crash, src_path, __LINE__);
    return 0;
  }
  if (desc.width < 1 || desc.height < 1 || desc.pad < 0 || !pixels) return 0;
  TEX_file_out out(path);
  if (!out.file) return 0;
  FILE* file = out.file;

  const int kind = desc.format == GL_RGBA ? squish::kDxt5 : squish::kDxt1;
  int w = desc.width, h = desc.height;
  const int bpp = desc.format == GL_RGBA ? 4 : 3;
  const size_t stride = static_cast<size_t>(bpp) * static_cast<size_t>(w) + static_cast<size_t>(desc.pad);
  // libsquish wants RGBA rows top-down; the image's rows are bottom-up.
  std::vector<unsigned char> rgba(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
  for (int y = 0; y < h; ++y) {
    const unsigned char* in = pixels + static_cast<size_t>(y) * stride;
    unsigned char* out = &rgba[static_cast<size_t>(h - 1 - y) * static_cast<size_t>(w) * 4];
    for (int x = 0; x < w; ++x, in += bpp, out += 4) {
      memcpy(out, in, 3);
      out[3] = bpp == 4 ? in[3] : 255;
    }
  }
  int levels = 1;
  for (int lw = w, lh = h; lw > 1 || lh > 1; ++levels) {
    lw = lw > 1 ? lw / 2 : 1;
    lh = lh > 1 ? lh / 2 : 1;
  }

  unsigned char header[128] = {};
  memcpy(header, "DDS ", 4);
  put32(header + 4, 124);
  put32(header + 8, 0xA1007);
  put32(header + 12, static_cast<uint32_t>(h));
  put32(header + 16, static_cast<uint32_t>(w));
  put32(header + 20, static_cast<uint32_t>(squish::GetStorageRequirements(w, h, kind)));
  put32(header + 28, static_cast<uint32_t>(levels));
  put32(header + 76, 32);
  put32(header + 80, 0x4);
  memcpy(header + 84, kind == squish::kDxt5 ? "DXT5" : "DXT1", 4);
  put32(header + 108, 0x401008);
  int ok = fwrite(header, 1, sizeof header, file) == sizeof header;

  std::vector<unsigned char> blocks(static_cast<size_t>(squish::GetStorageRequirements(w, h, kind)));
  for (int level = 0; ok && level < levels; ++level) {
    squish::CompressImage(rgba.data(), w, h, blocks.data(), kind | squish::kColourIterativeClusterFit);
    const size_t bytes = static_cast<size_t>(squish::GetStorageRequirements(w, h, kind));
    ok = fwrite(blocks.data(), 1, bytes, file) == bytes;
    if (level + 1 < levels) shrink(rgba, w, h);
  }
  return out.finish(ok);
}

void TEX_encode_s3tc(const TEX_image_desc& source, const TEX_image_desc& target, const unsigned char* rgba,
                     unsigned char* blocks, TEX_s3tc_quality quality) {
  squish::CompressImage(rgba, source.width, source.height, blocks, squish_kind(target.format) | squish_fit(quality));
}

void TEX_decode_s3tc(const TEX_image_desc& source, const TEX_image_desc&, const unsigned char* blocks,
                     unsigned char* rgba) {
  squish::DecompressImage(rgba, source.width, source.height, blocks, squish_kind(source.format));
}
