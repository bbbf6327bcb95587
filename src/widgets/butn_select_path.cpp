// The path choosers: a path field with a folder button that runs the browser.
#include <algorithm>
#include <cstring>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/hl_string.h"
#include "core/utl_utf.h"
#include "files/file_paths.h"
#include "shell/mbar.h"
#include "widgets/atlas_layout.h"
#include "widgets/butn.h"
#include "widgets/butn_enterstring.h"
#include "widgets/butn_opensave.h"
#include "widgets/help.h"

namespace {
constexpr const char* k_src = "RUvozuz/OOPS_cpp/butn";

// Raises the crash alert for a bad window or type with the chooser's texts;
// 1 when both are good.
int check_args(const char* chooser, int window, int file_type, int line) {
  if (window != io_window_open && window != io_window_save) {
    __MACIBM_alert(0, std::string("Bad open_save arg to ") + chooser + "!", "", "", "", t_crash, k_src, line);
    return 0;
  }
  if (file_type < 0 || file_type > io_last_file_type) {
    __MACIBM_alert(0, std::string("Bad file_type arg to ") + chooser + "!", "", "", "", t_crash, k_src, line + 1);
    return 0;
  }
  return 1;
}

// text cut to below size bytes, never inside a character, then copied with
// its terminator into a buffer of size bytes (none when size is 0 or less).
void copy_to_buffer(std::string text, char* out, int size) {
  if (size <= 0) return;
  if (text.size() > static_cast<size_t>(size - 1)) text.resize(UTL_utf8_cut_length(text, static_cast<size_t>(size - 1)));
  UTL_check_string_length(text);
  memcpy(out, text.c_str(), text.size() + 1);
}
}  // namespace

int BTN_select_path_stl(float x, float y, int window, int file_type, std::string* path, int max_chars,
                        std::string label, float width, int field_flag) {
  if (!check_args("BTN_select_file_stl", window, file_type, 799)) return 0;
  std::string left, right, tip;
  BTN_expand_label(std::move(label), &left, &right, &tip);
  BTN_util_draw_label(x - 32, y, 0, left, 0);
  BTN_util_draw_label(x + width + 6, y, 2, right, 0);
  const atlas_rect& b = k_folder_button;
  BTN_atlas_quad(359, x - 30, y - 10, x - 4, y + 16, b.u0, b.v0, b.u1, b.v1, 57, 1);

  // Command paths read as a whole; file paths by their name.
  std::string shown = *path;
  if (file_type != 22 && file_type != 23) get_file_with_path(shown, *path);
  if (BTN_enterstring(x, y, &shown, max_chars, "", width, field_flag)) *path = shown;

  if (mbar.open_menu != -1 || !BTN_in_box(mnw.mouse_x, mnw.mouse_y, x - 28, y - 8, x - 6, y + 12)) return 0;
  help.text = tip;
  if (!mnw.mouse_down) return 0;
  BTN_opensave(window, file_type, path);
  return 1;
}

int BTN_select_path_chr(float x, float y, int window, int file_type, char* path, int buffer_size,
                        std::string label, float width, int field_flag) {
  if (!check_args("BTN_select_file_chr", window, file_type, 827)) return 0;
  std::string s = path;
  const int result =
      BTN_select_path_stl(x, y, window, file_type, &s, buffer_size, std::move(label), width, field_flag);
  copy_to_buffer(s, path, buffer_size);
  return result;
}

int BTN_select_file_chr(float x, float y, int window, int file_type, char* name, std::string* folder_path,
                        int max_chars, std::string label, float width) {
  if (!check_args("BTN_select_file_chr", window, file_type, 842)) return 0;
  std::string full;
  get_path_with_path(full, *folder_path);
  full += name;
  const std::string before = full;
  const int result = BTN_select_path_stl(x, y, window, file_type, &full, max_chars, std::move(label), width, 1);
  if (result == 1) {
    *folder_path = full;
    std::string last;
    get_file_with_path(last, full);
    copy_to_buffer(last, name, max_chars);
  } else if (full != before) {
    // An edit names the file; the folder stays until the browser picks one.
    std::string last;
    get_file_with_path(last, full);
    copy_to_buffer(last, name, max_chars);
  }
  return result;
}
