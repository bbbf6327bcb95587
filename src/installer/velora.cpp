#include "installer/velora.h"
#include <algorithm>
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

// A line as the installation folder it names: "" for a relative line, which
// would be taken from wherever the program runs; a folder without its '/'
// gets one, or file names would be glued to its own.
static std::string as_folder(std::string line) {
  if (line.empty() || line[0] != '/') return std::string();
  if (line.back() != '/') line += '/';
  return line;
}

void locate_all_veloras() {
  all_velroots.clear();
  const std::string path = registry_path();
  if (path.empty()) return;
  FILE* f = fopen(path.c_str(), "r");
  if (!f) return;
  each_line(f, [](const std::string& line) {
    const std::string folder = as_folder(line);
    // "X" and "X/" are one copy, offered once.
    if (folder.empty() || std::find(all_velroots.begin(), all_velroots.end(), folder) != all_velroots.end())
      return true;
    if (dir_exists(folder)) all_velroots.push_back(folder);
    return true;
  });
  fclose(f);
}

void register_new_velora() {
  const std::string path = registry_path();
  if (path.empty()) return;
  if (FILE* f = fopen(path.c_str(), "r")) {
    bool listed = false;
    const std::string dest = as_folder(dest_dir_path);
    each_line(f, [&](const std::string& line) {
      listed = as_folder(line) == dest && !dest.empty();
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
