// The browser's fixed parts and the comment line of flight-data files.
#include <strings.h>
#include "files/xmap.h"
#include "ogl/OGL_back_tex.h"
#include "ogl/OGL_font.h"
#include "widgets/butn.h"
#include "widgets/butn_opensave.h"

std::string BTN_fdr_comment(const std::string& path) {
  xmap_class file(path);
  static const int versions[] = {1, 0};
  if (!file.mem_beg || !file.check_file(xmap_text, versions, nullptr, nullptr)) return "";
  std::string comment;
  while (file.mem_cur < file.mem_end) {
    file.skip_blanks();
    char* field = file.mem_cur;
    while (file.mem_cur < file.mem_end && *file.mem_cur != ',' && !xmap_class::is_eol(*file.mem_cur)) ++file.mem_cur;
    const std::string word(field, file.mem_cur);
    const bool comm = strcasecmp(word.c_str(), "COMM") == 0;
    if (comm && file.mem_cur < file.mem_end && *file.mem_cur == ',') ++file.mem_cur;
    // The rest of the line, after its leading blanks; a later line replaces
    // an earlier one.
    std::string rest;
    file.TXT_str_scan_eoln(&rest);
    if (comm) comment = rest;
  }
  return comment;
}

void stand_io_dialog(int window, int file_type, std::string entry) {
  static std::string old_path, comment;
  OGL_plot_back_col();
  BTN_fillwin(1, 24);
  BTN_frame2(18, 10, 300, 290, 120, "", 1);
  // Only the Open window is wide enough for the preview frames and the
  // comment beside the list.
  if (window == io_window_open) {
    if (file_type == 3 || file_type == 8 || file_type == 22) {
      BTN_frame2(18, 331, 70, 220, 220, "", 1);
      BTN_frame2(18, 331, 300, 220, 120, "", 1);
    }
    if (file_type == 8 && entry.find(".fdr") != std::string::npos) {
      if (entry != old_path) comment = BTN_fdr_comment(entry);
      if (!comment.empty()) OGL_string(52, 341, 270, comment, 200, cs_regular, just_left);
    }
  }
  old_path = entry;
}
