// libFuzzer target for the directory reader: any bytes, as a directory file,
// must load, be refused as a bad header, or be refused for a line the
// installer must not act on; never crash, and never leave a table whose
// paths or cells the passes cannot use safely.
#include <stdint.h>
#include <stdlib.h>
#include <unistd.h>
#include <string>
#include "core/globs.h"
#include "files/xmap.h"
#include "engine/utils_choose.h"
#include "engine/utils_dir.h"
#include "engine/utils_table.h"

static std::string scratch_file() {
  const char* t = getenv("TMPDIR");
  std::string name = std::string(t && *t ? t : "/tmp") + "/fuzz_directory_XXXXXX";
  const int fd = mkstemp(name.data());
  if (fd < 0) abort();
  close(fd);
  return name;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = scratch_file();
  FILE* f = fopen(path.c_str(), "wb");
  if (!f || fwrite(data, 1, size, f) != size || fclose(f)) abort();

  xmap_class m(path, 0, 0);
  std::string refused;
  const int result = scan_directory_file(m, refused);
  if (result != dir_loaded) {
    if (!sim_info.empty()) abort();
    return 0;
  }
  dest_dir_path = "/nonexistent/";
  stg.platform = 0;
  for (int i = 0; i < (int)sim_info.size(); ++i) {
    const file_version_struct& v = current_version(i);
    if (sim_info[i].versions.empty() || !path_stays_inside(v.path) || path_has_no_file(v.path)) abort();
    if (v.is_global_scenery && (v.lat_cell < 0 || v.lat_cell > 17 || v.lon_cell < 0 || v.lon_cell > 35)) abort();
    if (installed_path(i).compare(0, dest_dir_path.size(), dest_dir_path) != 0) abort();
    suffix_for_file(i);
  }
  scenery_take_all();
  recalc_disk_sizes();
  scenery_from_install();
  return 0;
}
