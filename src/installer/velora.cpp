#include "installer/velora.h"
#include <cstdio>
#include "core/globs.h"
#include "engine/utils_table.h"
#include "files/file_ops.h"
#include "files/file_paths.h"

std::vector<std::string> all_velroots;
std::string cmd_line_path;

static const char k_no_prefs[] = "WARNING: registration of this velroot folder failed!\n";

// The registry's path, or "" (logged) when there is no Preferences folder.
static std::string registry_path() {
  std::string prefs;
  get_OS_abs_path(os_dir_prefs, prefs);
  if (prefs.empty()) {
    xer_group() << k_no_prefs;
    return std::string();
  }
  return prefs + "velora_install.txt";
}

// Calls take(line) for each line of the open registry until take returns
// false. LF, CR LF and a lone CR all end a line; a line of more than 2047
// bytes comes in 2047-byte pieces.
template <class Take>
static void each_line(FILE* f, Take take) {
  std::string line;
  int c;
  while ((c = fgetc(f)) != EOF) {
    if (c == '\r' || c == '\n') {
      if (c == '\r') {
        int n = fgetc(f);
        if (n != '\n' && n != EOF) ungetc(n, f);
      }
      if (!take(line)) return;
      line.clear();
      continue;
    }
    line += static_cast<char>(c);
    if (line.size() == 2047) {
      if (!take(line)) return;
      line.clear();
    }
  }
  if (!line.empty()) take(line);
}

void locate_all_veloras() {
  all_velroots.clear();
  const std::string path = registry_path();
  if (path.empty()) return;
  FILE* f = fopen(path.c_str(), "r");
  if (!f) return;
  each_line(f, [](std::string line) {
    // A relative line would be taken from wherever the program runs, and a
    // folder without its '/' would have file names glued to its own.
    if (line.empty() || line[0] != '/') return true;
    if (line.back() != '/') line += '/';
    if (dir_exists(line)) all_velroots.push_back(line);
    return true;
  });
  fclose(f);
}

void register_new_velora() {
  const std::string path = registry_path();
  if (path.empty()) return;
  if (FILE* f = fopen(path.c_str(), "r")) {
    bool listed = false;
    each_line(f, [&](const std::string& line) {
      listed = line == dest_dir_path;
      return !listed;
    });
    fclose(f);
    if (listed) return;
  }
  FILE* f = fopen(path.c_str(), "a");
  if (!f) {
    xer_group() << "WARNING: could not append registration file: " << path << "\n";
    return;
  }
  fprintf(f, "%s\n", dest_dir_path.c_str());
  fclose(f);
}
