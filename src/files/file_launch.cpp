#include "files/file_launch.h"
#include <stdio.h>
#include <unistd.h>
#include <vector>
#include "core/globs.h"
#include "files/file_paths.h"
#include "platform/plat_bundles.h"
#include "platform/plat_process.h"
#include "platform/plat_volumes.h"
#include "core/hl_alert.h"

int launch_app(const std::string& app, const std::string& argument, int finish_first) {
  std::string path = app;
  if (!path.empty() && path.back() == '/') path.pop_back();
  set_path_to_full(path);
  const std::string exe = PLAT_bundle_executable(path);
  if (!exe.empty()) path = exe;
  xer_group() << "Launching: " << path << " with " << argument << "\n";
  std::vector<std::string> argv = {path};
  if (!argument.empty()) {
    argv.push_back("-path");
    argv.push_back(argument);
  }
  int err = PLAT_start_program(path, argv);
  if (err) return err;
  if (finish_first) MACIBM_finishup(1);
  fflush(stdout);
  fflush(stderr);
  // Worker threads may still run when the finish-up was not asked for: end
  // without the static destructors they could race.
  _exit(1);
}

int eject_dvd(const std::string& path) {
  std::string mount_point, device, fstype;
  int err = PLAT_volume_of_path(path, mount_point, device, fstype);
  if (err) return err;
  return PLAT_eject_volume(mount_point, device, PLAT_EJECT_TIMEOUT_MS, fstype);
}

// Whether text is well-formed UTF-8, as a framework name must be.
static bool is_utf8(const char* text) {
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p;) {
    int follow = *p < 0x80 ? 0 : (*p & 0xE0) == 0xC0 ? 1 : (*p & 0xF0) == 0xE0 ? 2 : (*p & 0xF8) == 0xF0 ? 3 : -1;
    if (follow < 0) return false;
    for (int i = 1; i <= follow; i++)
      if ((p[i] & 0xC0) != 0x80) return false;
    p += follow + 1;
  }
  return true;
}

static int framework_failed(int code, int alert, const char* message, int kind, const char* name, int line) {
  if (alert) __MACIBM_alert(0, message, "", "", name ? name : "", kind, "RUvozuz/Files/FILE_ops", line);
  return code;
}

int load_bundle_by_filename(const char* name, int alert, PLAT_library* bundle) {
  if (!name || !is_utf8(name)) return framework_failed(-50, alert, "Could not make strsing.", t_crash, name, __LINE__);
  const std::string file = PLAT_framework_library(name);
  if (file.empty())
    return framework_failed(-54, alert, "Could not create bundle for location", t_quit, name, __LINE__);
  PLAT_library lib = PLAT_load_library(file);
  if (!lib) return framework_failed(-37, alert, "Could not load code for framework", t_crash, name, __LINE__);
  if (bundle)
    *bundle = lib;
  else
    PLAT_release_library(lib);
  return 0;
}
