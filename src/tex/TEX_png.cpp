#include "tex/TEX_png.h"
#include <climits>
#include <csetjmp>
#include <cstring>
#include <string>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/utl_mem.h"
#include "files/xmap.h"
#include "tex/TEX_png_io.h"
#include "widgets/colr.h"

namespace {

const std::string& path_of(png_structp png) {
  static const std::string none;
  const void* path = png_get_error_ptr(png);
  return path ? *static_cast<const std::string*>(path) : none;
}

// Kept out of my_error's frame: nothing with a destructor may be alive when
// it jumps.
[[gnu::noinline]] void raise_png_error(png_structp png, const char* message) {
  __MACIBM_alert(0, "PNG error!", message ? message : "", path_of(png), "", t_warning, k_png_unit, __LINE__);
}

[[gnu::noinline]] void raise_read_fatal(const char* what, const std::string& path, int line) {
  __MACIBM_alert(0, "PING-FILE ERROR!", what, path, "", t_crash, k_png_unit, line);
}

[[gnu::noinline]] void refuse_read(const std::string& path, const char* why) {
  xer_group() << "TEX_load_png: " << why << ", not loaded: " << path << "\n";
}

long long next_power_of_two(long long n) {
  long long p = 1;
  while (p < n) p *= 2;
  return p;
}

// The format the decode produces, from the requested one and the file.
unsigned long output_format(unsigned long asked, png_alpha_mode mode, bool has_alpha, bool has_colour) {
  switch (mode) {
    case png_alpha_follow_file:
      if (has_alpha) return asked == GL_RGB ? GL_RGBA : asked;
      return asked == GL_RGBA ? GL_RGB : asked;
    case png_alpha_from_file:
      if (has_alpha) return GL_RGBA;
      return has_colour ? GL_RGB : GL_ALPHA;
    default:
      return asked;
  }
}

int bytes_per_pixel(unsigned long format) {
  switch (format) {
    case GL_RGB: return 3;
    case GL_RGBA: return 4;
    case GL_ALPHA: return 1;
    default: return 0;
  }
}

// Everything one decode touches after the recovery point: plain data that
// lives in TEX_load_png's frame, so it survives libpng's jump.
struct png_read_job {
  png_structp png;
  png_infop info;
  xmap_class* file;
  const std::string* path;
  unsigned long format;
  int pad_to_width;
  int power_of_two;
  png_alpha_mode mode;
  int gamma;
  unsigned char* buffer;  // the caller's, or one allocated here
  int owns_buffer;
  png_bytep* rows;
  TEX_image_desc desc;
};

enum { read_refused = 0, read_done = 1, read_bad_format = 2, read_libpng_failed = 3 };

int read_steps(png_read_job* job) {
  png_structp png = job->png;
  png_infop info = job->info;
  png_set_read_fn(png, job->file, my_readbuf);
  png_set_sig_bytes(png, 8);
  job->file->mem_cur += 8;
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int bit_depth = 0, colour_type = 0;
  png_get_IHDR(png, info, &width, &height, &bit_depth, &colour_type, nullptr, nullptr, nullptr);
  // Only now does libpng know whether the file is interlaced.
  png_set_interlace_handling(png);

  if (job->gamma) {
    double file_gamma = 0;
    if (!png_get_gAMA(png, info, &file_gamma)) file_gamma = 1.0 / colr.gamma_num;
    png_set_gamma(png, colr.gamma_den, file_gamma);
  }
  const bool has_trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (colour_type == PNG_COLOR_TYPE_PALETTE && bit_depth <= 8) png_set_palette_to_rgb(png);
  if (colour_type == PNG_COLOR_TYPE_GRAY && bit_depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (has_trns) png_set_tRNS_to_alpha(png);
  if (bit_depth == 16) png_set_strip_16(png);
  if (bit_depth < 8) png_set_packing(png);

  const bool has_alpha = (colour_type & PNG_COLOR_MASK_ALPHA) || has_trns;
  const bool has_colour = (colour_type & PNG_COLOR_MASK_COLOR) != 0;
  const unsigned long format = output_format(job->format, job->mode, has_alpha, has_colour);
  if (!has_alpha && format == GL_RGBA) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  if (has_alpha && format != GL_RGBA) png_set_strip_alpha(png);
  if (format != GL_ALPHA && !has_colour) png_set_gray_to_rgb(png);
  if (format == GL_ALPHA && has_colour) png_set_rgb_to_gray_fixed(png, PNG_ERROR_ACTION_NONE, -1, -1);

  const int bpp = bytes_per_pixel(format);
  if (!bpp) {
    job->desc.format = static_cast<uint32_t>(format);
    return read_bad_format;
  }
  // Sizes come from the file: 64-bit arithmetic, and refused beyond what an
  // int (the record's fields, the size rule) can hold.
  const long long w = width, h = height;
  long long pad = 0;
  if (job->power_of_two)
    pad = bpp * (next_power_of_two(w) - w);
  else if (job->pad_to_width) {
    // A narrower target would make the pad negative and the rows overlap.
    if (job->pad_to_width < w) {
      refuse_read(*job->path, "pad-to width below the image width");
      return read_refused;
    }
    pad = bpp * (job->pad_to_width - w);
  }
  const long long row_count = job->power_of_two ? next_power_of_two(h) : h;
  const long long stride = bpp * w + pad;
  const long long total = stride * row_count;
  if (w < 1 || h < 1 || pad > INT_MAX || total > INT_MAX) {
    refuse_read(*job->path, "image size out of range");
    return read_refused;
  }

  png_read_update_info(png, info);
  // Every transform above must come out at bpp bytes a pixel, or the rows
  // would overrun the buffer.
  if (png_get_rowbytes(png, info) != static_cast<png_size_t>(bpp * w)) {
    refuse_read(*job->path, "unexpected decoded row size");
    return read_refused;
  }

  if (!job->buffer) {
    job->buffer = static_cast<unsigned char*>(xmalloc(static_cast<unsigned long>(total)));
    if (!job->buffer) {
      refuse_read(*job->path, "out of memory for the pixels");
      return read_refused;
    }
    job->owns_buffer = 1;
  }
  if (job->power_of_two && (pad > 0 || h < row_count)) memset(job->buffer, 0, static_cast<size_t>(total));

  job->rows = static_cast<png_bytep*>(xmalloc(static_cast<unsigned long>(h) * sizeof(png_bytep)));
  if (!job->rows) {
    refuse_read(*job->path, "out of memory for the row table");
    return read_refused;
  }
  // File row 0 is the top of the picture: it lands in the last image row.
  for (long long i = 0; i < h; ++i) job->rows[i] = job->buffer + (h - 1 - i) * stride;
  png_read_image(png, job->rows);

  job->desc.format = static_cast<uint32_t>(format);
  job->desc.width = static_cast<int32_t>(w);
  job->desc.height = static_cast<int32_t>(h);
  job->desc.pad = static_cast<int32_t>(pad);
  job->desc.has_mipmaps = 0;
  return read_done;
}

// The recovery point: libpng's errors come back here through my_error.
[[gnu::noinline]] int read_guarded(png_read_job* job) {
  if (setjmp(png_jmpbuf(job->png))) return read_libpng_failed;
  return read_steps(job);
}

}  // namespace

void my_readbuf(png_structp png, png_bytep data, png_size_t length) {
  xmap_class* file = static_cast<xmap_class*>(png_get_io_ptr(png));
  if (static_cast<size_t>(file->mem_end - file->mem_cur) < length)
    png_error(png, "PNG Read Error, overran end of buffer!");
  memcpy(data, file->mem_cur, length);
  file->mem_cur += length;
}

void my_error(png_structp png, png_const_charp message) {
  raise_png_error(png, message);
  png_longjmp(png, 1);
}

void my_warning(png_structp png, png_const_charp message) {
  xer_group() << "PNG warning! " << (message ? message : "") << ", " << path_of(png) << "\n";
}

png_voidp my_malloc(png_structp, png_alloc_size_t size) { return xmalloc(static_cast<unsigned long>(size)); }

void my_free(png_structp, png_voidp block) { xfree(block); }

int TEX_load_png(const std::string& path, xmap_class* file, unsigned char*& buffer, unsigned long format,
                 int pad_to_width, int power_of_two, png_alpha_mode mode, int gamma, TEX_image_desc& desc) {
  png_voidp error_ptr = const_cast<std::string*>(&path);
  png_structp png =
      png_create_read_struct_2(PNG_LIBPNG_VER_STRING, error_ptr, my_error, my_warning, nullptr, my_malloc, my_free);
  if (!png) {
    raise_read_fatal("!png_ptr", path, __LINE__);
    return 0;
  }
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    raise_read_fatal("!info_ptr", path, __LINE__);
    return 0;
  }
  if (!file || !file->mem_beg || file->mem_end - file->mem_cur < 8) {
    png_destroy_read_struct(&png, &info, nullptr);
    return 0;
  }
  if (png_sig_cmp(reinterpret_cast<png_const_bytep>(file->mem_cur), 0, 8)) {
    png_destroy_read_struct(&png, &info, nullptr);
    raise_read_fatal("is_png=!png_sig_cmp(png_io_buf,0,8)", path, __LINE__);
    return 0;
  }

  png_read_job job{png, info, file, &path, format, pad_to_width, power_of_two, mode, gamma, buffer, 0, nullptr, {}};
  const int result = read_guarded(&job);
  xfree(job.rows);
  png_destroy_read_struct(&png, &info, nullptr);
  if (result != read_done && job.owns_buffer) xfree(job.buffer);

  if (result == read_libpng_failed) {
    raise_read_fatal("setjmp(png_ptr->jmpbuf", path, __LINE__);
    return 0;
  }
  if (result == read_bad_format) {
    __MACIBM_alert(0, "Illegal bits per pixel", "", "", "", t_crash, k_png_unit, __LINE__);
    return 0;
  }
  if (result != read_done) return 0;
  buffer = job.buffer;
  desc = job.desc;
  return 1;
}
