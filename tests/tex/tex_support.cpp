#include "tex/tex_support.h"
#include <sys/resource.h>
#include <unistd.h>
#include <cstdio>
#include <cstring>
#include <functional>
#include "core/globs.h"
#include "core/utl_cmdline.h"
#include "core/utl_mem.h"
#include "files/xmap.h"
#include "support/test_env.h"
#include "widgets/colr.h"

std::string script_fixtures(const std::string& script_name, const std::string& stem) {
  const std::string script = DUV_FIXTURES_DIR "/" + script_name;
  const std::string key = std::to_string(std::hash<std::string>{}(test_read_file(script)));
  const std::string base = std::string(DUV_BINARY_DIR) + "/test-fixtures/";
  const std::string ready = base + stem + "-" + key;
  if (access(ready.c_str(), F_OK) == 0) return ready + "/";
  // Tests run in parallel: each makes its own copy and the first rename wins.
  const std::string mine = ready + ".part" + std::to_string(getpid());
  if (test_run("mkdir -p '" + base + "' && bash '" + script + "' '" + mine + "' >/dev/null") != 0) return std::string();
  if (rename(mine.c_str(), ready.c_str()) != 0) test_run("rm -rf '" + mine + "'");
  return ready + "/";
}

std::string png_fixtures() {
  static const std::string folder = script_fixtures("make_png_fixtures.sh", "png");
  return folder;
}

std::string bmp_fixtures() {
  static const std::string folder = script_fixtures("make_bmp_fixtures.sh", "bmp");
  return folder;
}

decoded_png decode_png(const std::string& path, unsigned long format, int pad_to_width, int power_of_two,
                       png_alpha_mode mode, int gamma) {
  decoded_png out;
  xmap_class file(path, 0, 0);
  unsigned char* buffer = nullptr;
  out.ok = TEX_load_png(path, &file, buffer, format, pad_to_width, power_of_two, mode, gamma, out.desc);
  if (out.ok) out.bytes = decoded_bytes(buffer, out.desc, power_of_two);
  xfree(buffer);
  return out;
}

std::vector<unsigned char> decoded_bytes(const unsigned char* buffer, const TEX_image_desc& desc, int power_of_two) {
  const int bpp = desc.format == GL_RGBA ? 4 : desc.format == GL_RGB ? 3 : 1;
  size_t rows = static_cast<size_t>(desc.height);
  if (power_of_two)
    for (rows = 1; rows < static_cast<size_t>(desc.height); rows *= 2) {
    }
  return std::vector<unsigned char>(buffer, buffer + rows * static_cast<size_t>(bpp * desc.width + desc.pad));
}

void cap_address_space(long extra_bytes) {
  long pages = 0;
  if (FILE* f = fopen("/proc/self/statm", "r")) {
    if (fscanf(f, "%ld", &pages) != 1) pages = 0;
    fclose(f);
  }
  const rlim_t limit = (rlim_t)pages * (rlim_t)sysconf(_SC_PAGESIZE) + (rlim_t)extra_bytes;
  const rlimit cap = {limit, limit};
  setrlimit(RLIMIT_AS, &cap);
}

std::vector<unsigned char> flip_rows(const std::vector<unsigned char>& data, size_t row_bytes) {
  std::vector<unsigned char> out(data.size());
  const size_t rows = data.size() / row_bytes;
  for (size_t r = 0; r < rows; ++r)
    memcpy(out.data() + r * row_bytes, data.data() + (rows - 1 - r) * row_bytes, row_bytes);
  return out;
}

std::vector<unsigned char> magick_rgba_bottom_up(const std::string& path, int width, int height) {
  const std::string raw = test_capture("convert '" + path + "' -depth 8 rgba:-");
  std::vector<unsigned char> data(raw.begin(), raw.end());
  if (data.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 4) return {};
  return flip_rows(data, static_cast<size_t>(width) * 4);
}

display_gamma_22::display_gamma_22() {
  colr.gamma_den = 2.2f;
  colr.rebuild_gamma();
}

display_gamma_22::~display_gamma_22() {
  colr.gamma_den = 1.8f;
  colr.rebuild_gamma();
}

void log_scripted_to_stderr() {
  if (xer.is_open()) xer.close();
  xer.clear();
  xer.open("/dev/stderr");
  cmdline.options["--qa_script"] = "";
}
