#include "tex/dds_support.h"
#include <squish.h>
#include <cstring>
#include "files/xmap.h"
#include "support/test_env.h"
#include "tex/tex_support.h"

std::string dds_fixtures() {
  static const std::string folder = script_fixtures("make_dds_fixtures.sh", "dds");
  return folder;
}

namespace {

void put32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}

int squish_kind(uint32_t format) {
  return format == 0x83F2 ? squish::kDxt3 : format == 0x83F3 ? squish::kDxt5 : squish::kDxt1;
}

}  // namespace

std::string dds_bytes(const dds_header& h, const std::string& data) {
  std::string s(128, '\0');
  memcpy(&s[0], "DDS ", 4);
  put32(s, 4, 124);
  put32(s, 8, h.flags);
  put32(s, 12, h.height);
  put32(s, 16, h.width);
  put32(s, 28, 1);
  put32(s, 76, 32);
  put32(s, 80, h.pf_flags);
  memcpy(&s[84], h.code, 4);
  put32(s, 88, h.bits);
  for (int i = 0; i < 4; ++i) put32(s, 92 + 4 * i, h.masks[i]);
  put32(s, 108, h.caps);
  return s + data;
}

std::string squish_levels(uint32_t format, int width, int height, bool mips,
                          const std::function<uint32_t(int, int, int, int)>& colour) {
  std::string out;
  for (int w = width, h = height;; w = w > 1 ? w / 2 : 1, h = h > 1 ? h / 2 : 1) {
    std::vector<unsigned char> rgba(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint32_t c = colour(x, y, w, h);
        unsigned char* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
        p[0] = c >> 24, p[1] = c >> 16, p[2] = c >> 8, p[3] = c;
      }
    std::string blocks(static_cast<size_t>(squish::GetStorageRequirements(w, h, squish_kind(format))), '\0');
    squish::CompressImage(rgba.data(), w, h, &blocks[0], squish_kind(format) | squish::kColourClusterFit);
    out += blocks;
    if (!mips || (w == 1 && h == 1)) return out;
  }
}

std::vector<unsigned char> squish_decode(uint32_t format, int width, int height, const unsigned char* blocks) {
  std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
  squish::DecompressImage(rgba.data(), width, height, blocks, squish_kind(format));
  return rgba;
}

std::string write_scratch(const std::string& name, const std::string& bytes) {
  const std::string path = test_scratch_dir("dds") + name;
  test_write_file(path, bytes);
  return path;
}

dds_read read_dds(const std::string& path) {
  dds_read r;
  xmap_class file(path, 0, 0);
  unsigned char* data = nullptr;
  r.ok = TEX_load_dds(path, &file, data, r.desc);
  if (r.ok) r.offset = reinterpret_cast<char*>(data) - file.mem_beg;
  return r;
}
