#include <zlib.h>
#include <csetjmp>
#include <cstdio>
#include <string>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/scratch.h"
#include "tex/TEX_file_out.h"
#include "tex/TEX_png.h"
#include "tex/TEX_png_io.h"
#include "widgets/colr.h"

namespace {

// What one write touches after the recovery point; lives in TEX_save_png's
// frame, so it survives libpng's jump.
struct png_write_job {
  png_structp png;
  png_infop info;
  FILE* file;
  const TEX_image_desc* desc;
  const unsigned char* pixels;
  int bpp;
};

void write_steps(png_write_job* job) {
  png_structp png = job->png;
  png_infop info = job->info;
  const TEX_image_desc& desc = *job->desc;
  png_init_io(png, job->file);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_level(png, 9);
  png_set_compression_mem_level(png, 8);
  png_set_compression_strategy(png, Z_DEFAULT_STRATEGY);
  png_set_compression_window_bits(png, 15);
  png_set_compression_method(png, 8);
  png_set_compression_buffer_size(png, 8192);
  png_set_gAMA(png, info, 1.0 / colr.gamma_den);
  const int colour_type =
      job->bpp == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : job->bpp == 3 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY;
  png_set_IHDR(png, info, static_cast<png_uint_32>(desc.width), static_cast<png_uint_32>(desc.height), 8,
               colour_type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  // The file's top row is the buffer's last.
  const size_t stride = static_cast<size_t>(job->bpp) * static_cast<size_t>(desc.width) + static_cast<size_t>(desc.pad);
  for (int i = 0; i < desc.height; ++i)
    png_write_row(png, job->pixels + static_cast<size_t>(desc.height - 1 - i) * stride);
  png_write_end(png, info);
}

// The recovery point: libpng's errors come back here through my_error.
[[gnu::noinline]] int write_guarded(png_write_job* job) {
  if (setjmp(png_jmpbuf(job->png))) return 0;
  write_steps(job);
  return 1;
}

[[gnu::noinline]] void refuse_write(const std::string& path, const char* why) {
  xer_group() << "TEX_save_png: " << why << ", not written: " << path << "\n";
}

}  // namespace

int TEX_save_png(const std::string& path, const TEX_image_desc& desc, const unsigned char* pixels) {
  const int bpp = desc.format == GL_RGBA ? 4 : desc.format == GL_RGB ? 3 : desc.format == GL_ALPHA ? 1 : 0;
  if (!bpp) {
    __MACIBM_alert(0, "Illegal pixel format for png-write.", path, "", "", t_crash, k_png_unit, __LINE__);
    return 0;
  }
  if (desc.width < 1 || desc.height < 1 || desc.pad < 0 || !pixels) {
    refuse_write(path, "no image");
    return 0;
  }
  TEX_file_out out(path);
  if (!out.file) return 0;
  FILE* file = out.file;

  png_voidp error_ptr = const_cast<std::string*>(&path);
  int ok = 0;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, error_ptr, my_error, my_warning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (info) {
    png_write_job job{png, info, file, &desc, pixels, bpp};
    ok = write_guarded(&job);
  }
  png_destroy_write_struct(&png, &info);
  return out.finish(ok);
}

int write_png_to_disk(const std::string& path, int width, int height, int channels) {
  TEX_image_desc desc;
  desc.format = channels == 4 ? GL_RGBA : GL_RGB;
  desc.width = width;
  desc.height = height;
  const long long bytes = (channels == 4 ? 4LL : 3LL) * width * height;
  if (width < 1 || height < 1 || bytes > static_cast<long long>(scratch_array_bytes)) {
    refuse_write(path, "image larger than the scratch buffer");
    return 0;
  }
  return TEX_save_png(path, desc, scratch_array);
}
