// Menu files: a title line per menu ("parent_ref title"), then its item lines
// ("command text") up to a line "-"; an empty line where a title is due ends
// the file.
#include <cstdlib>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "files/file_paths.h"
#include "files/translate.h"
#include "files/xmap.h"
#include "shell/mbar.h"
#include "shell/mbar_int.h"

namespace {
const int k_menu_versions[] = {1, 0};

// The next line from the cursor, without its line end; false at the end of
// the data, so a file cut anywhere is read up to its last byte and no further.
bool next_line(xmap_class& x, std::string* line) {
  if (x.mem_cur >= x.mem_end) return false;
  char* start = x.mem_cur;
  while (x.mem_cur < x.mem_end && !xmap_class::is_eol(*x.mem_cur)) ++x.mem_cur;
  line->assign(start, x.mem_cur);
  if (x.mem_cur < x.mem_end) {
    const bool crlf = *x.mem_cur == '\r' && x.mem_cur + 1 < x.mem_end && x.mem_cur[1] == '\n';
    x.mem_cur += crlf ? 2 : 1;
  }
  return true;
}

// "number blanks rest": the number, and the rest of the line into *rest.
int split_number(const std::string& line, std::string* rest) {
  const char* p = line.c_str();
  char* after = nullptr;
  const long n = std::strtol(p, &after, 10);
  while (*after == ' ' || *after == '\t') ++after;
  rest->assign(after);
  return (int)n;
}
}  // namespace

void mbar_class::mbar_read_menus(std::string folder, std::string name) {
  mbar_nuke_menus(2);
  const std::string path = folder + "menus/" + UTL_lang_get_folder(mnw.lang) + name;
  xmap_class x(path);
  if (!x.mem_beg || !x.check_file(xmap_text, k_menu_versions, nullptr, nullptr)) {
    __MACIBM_alert(0, "Cannot open file!", path, "Trash this copy and re-install Duvizo.", "", t_quit, k_mbar_unit,
                   657);
    return;
  }

  std::string line, text;
  for (int menu = 0; next_line(x, &line) && !line.empty(); ++menu) {
    const int parent_ref = split_number(line, &text);
    if (!UTL_utf8_valid(text)) xer_group() << "ERROR: menu string " << text << " has invalid UTF8 characters.\n";
    mbar_create_menu(menu, parent_ref, text);
    for (int item = 0; next_line(x, &line) && line != "-"; ++item) {
      const int command = split_number(line, &text);
      mbar_append_menu_item(menu, item, command, text);
    }
  }
}
