// Makes a disc set from a master copy of the simulator:
//   make_disc_set --src=MASTER/ --dst=OUT/ [--type=0|1] [--old_dir=FILE]
//                 [--disc_kb=N] [shell options such as --qa_script]
// --type 0 (the default) builds a web-update set, whose change log comes from
// the previous directory file --old_dir; 1 builds a DVD set in OUT/disk_N/.
// --disc_kb is the most archive kilobytes a disc takes (7670000). OUT must be
// missing or empty, so two runs never mix. The exit status is 0 once the
// checklist is shown, 1 after any failure (which the log names).
#include <cstdlib>
#include <filesystem>
#include <string>
#include "core/hl_alert.h"
#include "core/utl_cmdline.h"
#include "engine/make_installer.h"
#include "files/file_ops.h"
#include "make_disc_set_screen.h"
#include "shell/hl_init.h"

namespace {
void refuse(const std::string& s1, const std::string& s2) {
  __MACIBM_alert(0, s1, s2, "", "", t_crash, "Installer-f/make_disc_set", __LINE__);
}

// Start-up moves into the folder that holds the bundle, so relative paths
// are taken from where the tool was started.
std::string g_start_folder;

std::string path_option(const char* name) {
  std::string path = cmdline.get_option(name);
  if (!path.empty() && path[0] != '/') path = g_start_folder + "/" + path;
  return path;
}

std::string folder_option(const char* name) {
  std::string path = path_option(name);
  if (!path.empty() && path.back() != '/') path += '/';
  return path;
}

// A number option: all digits, or the fallback when absent.
long long number_option(const char* name, long long fallback) {
  if (!cmdline.has_option(name)) return fallback;
  const std::string text = cmdline.get_option(name);
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || *end || value < 0) refuse(std::string("This option needs a whole number: ") + name, text);
  return value;
}

// The output folder: made when missing; an existing one must be empty.
void prepare_destination(const std::string& dst) {
  std::error_code ec;
  if (std::filesystem::is_directory(dst, ec)) {
    // Hidden names count too: the listing helpers leave them out.
    if (!std::filesystem::is_empty(dst, ec) || ec)
      refuse("The output folder must be new or empty, so two runs never mix:", dst);
    return;
  }
  if (make_folder(dst) != 0) refuse("I could not make the output folder:", dst);
}
}  // namespace

int main(int argc, char** argv) {
  std::error_code ec;
  g_start_folder = std::filesystem::current_path(ec).string();
  MACIBM_init(argc, argv);
  if (ogl_inited) disc_set_connect_screen();

  src_fold = folder_option("--src");
  dst_fold_base = folder_option("--dst");
  old_dir_path = path_option("--old_dir");
  build_type = static_cast<int>(number_option("--type", 0));
  disc_limit_kb = number_option("--disc_kb", disc_limit_kb);
  if (src_fold.empty() || !dir_exists(src_fold)) refuse("The master copy is not a folder:", src_fold);
  if (dst_fold_base.empty()) refuse("Name the output folder with --dst=", "");
  if (build_type != 0 && build_type != 1) refuse("--type must be 0 (web update) or 1 (DVD).", "");
  prepare_destination(dst_fold_base);

  build_install();
  MACIBM_finishup(1);
  return 0;
}
