#include "tex/TEX_image.h"
#include <squish.h>
#include <climits>

namespace {

// Bytes of one level of w x h pixels, or -1 for a format the textures do
// not know.
long long level_bytes(uint32_t format, long long w, long long h, long long pad) {
  switch (format) {
    case 0x1902:  // GL_DEPTH_COMPONENT
    case 0x81A7:  // GL_DEPTH_COMPONENT32
      return 4 * w * h;
    case 0x81A5:  // GL_DEPTH_COMPONENT16
      return 2 * w * h;
    case 0x81A6:  // GL_DEPTH_COMPONENT24
      return 3 * w * h;
    case 0x1906:  // GL_ALPHA
    case 0x2002:
    case 0x84E9:  // GL_COMPRESSED_ALPHA
      return h * (w + pad);
    case 0x8227:  // GL_RG
    case 0x822D:  // GL_R16F
    case 0x881C:  // GL_ALPHA16F
      return h * (2 * w + pad);
    case 0x1907:  // GL_RGB
    case 0x8051:  // GL_RGB8
    case 0x80E0:  // GL_BGR
      return h * (3 * w + pad);
    case 0x1908:  // GL_RGBA
    case 0x8058:  // GL_RGBA8
    case 0x80E1:  // GL_BGRA
    case 0x822E:  // GL_R32F
    case 0x822F:  // GL_RG16F
    case 0x8816:  // GL_ALPHA32F
      return h * (4 * w + pad);
    case 0x881B:  // GL_RGB16F
      return h * (6 * w + pad);
    case 0x8230:  // GL_RG32F
    case 0x881A:  // GL_RGBA16F
      return h * (8 * w + pad);
    case 0x8815:  // GL_RGB32F
      return h * (12 * w + pad);
    case 0x8814:  // GL_RGBA32F
      return h * (16 * w + pad);
    case 0x83F0:  // S3TC DXT1 without alpha
    case 0x83F1:  // S3TC DXT1 with alpha
    case 0x84ED:  // GL_COMPRESSED_RGB
    case 0x84EE:  // GL_COMPRESSED_RGBA
      return squish::GetStorageRequirements(static_cast<int>(w), static_cast<int>(h), squish::kDxt1);
    case 0x83F2:
      return squish::GetStorageRequirements(static_cast<int>(w), static_cast<int>(h), squish::kDxt3);
    case 0x83F3:
      return squish::GetStorageRequirements(static_cast<int>(w), static_cast<int>(h), squish::kDxt5);
    default:
      return -1;
  }
}

}  // namespace

int TEX_bytes_needed_for_image(const TEX_image_desc& desc) {
  // A side below 1 would never halve down to the 1 x 1 level that ends the
  // chain, and a negative pad makes rows overlap.
  if (desc.width < 1 || desc.height < 1 || desc.pad < 0) return 0;
  // Bounds every product below (and libsquish's int block count) well
  // inside 64 bits; no image that large fits an int of bytes anyway.
  if (static_cast<long long>(desc.width) * desc.height > INT_MAX) return 0;
  long long w = desc.width, h = desc.height, total = 0;
  for (;;) {
    const long long level = level_bytes(desc.format, w, h, desc.pad);
    if (level < 0) return 0;
    total += level;
    if (total > INT_MAX) return 0;
    if ((w == 1 && h == 1) || !desc.has_mipmaps) return static_cast<int>(total);
    if (w >= 2) w /= 2;
    if (h > 1) h /= 2;
  }
}
