// The one-line text field over the shared editor.
#include "widgets/butn_enterstring.h"
#include <algorithm>
#include <cstring>
#include "core/globs.h"
#include "core/hl_string.h"
#include "core/utl_utf.h"
#include "ogl/OGL_font.h"
#include "ogl/ogl_view.h"
#include "shell/mbar.h"
#include "shell/utl_clipboard.h"
#include "widgets/butn.h"
#include "widgets/focus.h"
#include "widgets/help.h"

OGLE_Rec* ogle = nullptr;
int focused_field_id = 0;
std::string* OGLE_input = nullptr;
int OGLE_x = 0, OGLE_y = 0, OGLE_entry_dx = 0;
float OGLE_dx = 0, OGLE_dy = 0;
int OGLE_edit = 0;
int char_slot[64], vkey_slot[64], flag_slot[64], id_slot[64], ctr_slot = 0;

namespace {
// Key numbers the field acts on itself.
enum { vk_end = 35, vk_home = 36, vk_delete = 46, vk_c = 67, vk_v = 86, vk_x = 88 };
enum { flag_shift = 1, flag_command = 4, flag_release = 0x10 };

void copy_selection() {
  int s = 0, e = 0;
  OGLE_GetSelection(ogle, &s, &e);
  UTL_SetTextToClipboard(OGLE_input->substr(s, e - s));
}

// Home and End move the caret, or with Shift the active end, to an end of
// the text; forward Delete deletes the selection or the next character.
void edit_key(int vkey, int shift) {
  int s = 0, e = 0;
  OGLE_GetSelection(ogle, &s, &e);
  const int length = static_cast<int>(OGLE_input->size());
  if (vkey == vk_delete) {
    if (s == e && s >= length) return;
    if (s == e) OGLE_SetSelection(ogle, s, OGLE_MBCS_NextPos(ogle, s));
    OGLE_Key(ogle, 8, 0);
    return;
  }
  const int to = vkey == vk_home ? 0 : length;
  ogle->desired_x = -1;
  if (!shift) {
    ogle->end_active = 1;
    OGLE_SetSelection(ogle, to, to);
  } else if (ogle->end_active) {
    OGLE_SetSelection(ogle, s, to);
  } else {
    OGLE_SetSelection(ogle, to, e);
  }
  OGLE_RevealSelection(ogle);
}

// A typed character: control bytes other than the editor's keys and
// characters no UTF-8 text may hold are dropped.
void type_char(int c, int shift) {
  const bool editor_key = c == 8 || (c >= 28 && c <= 31);
  if ((c < 0x20 && !editor_key) || c == 0x7F || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return;
  char b[4];
  int n;
  if (c < 0x80) {
    b[0] = static_cast<char>(c), n = 1;
  } else if (c < 0x800) {
    b[0] = static_cast<char>(0xC0 | (c >> 6)), b[1] = static_cast<char>(0x80 | (c & 0x3F)), n = 2;
  } else if (c < 0x10000) {
    b[0] = static_cast<char>(0xE0 | (c >> 12)), b[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    b[2] = static_cast<char>(0x80 | (c & 0x3F)), n = 3;
  } else {
    b[0] = static_cast<char>(0xF0 | (c >> 18)), b[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    b[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F)), b[3] = static_cast<char>(0x80 | (c & 0x3F)), n = 4;
  }
  OGLE_Key_MBCS(ogle, n, b, shift);
}

void handle_key(int ch, int vkey, int flags) {
  int s = 0, e = 0;
  OGLE_GetSelection(ogle, &s, &e);
  const int shift = flags & flag_shift;
  if ((flags & flag_command) && vkey == vk_x && s < e) {
    copy_selection();
    OGLE_Key(ogle, 8, 0);
  } else if ((flags & flag_command) && vkey == vk_c) {
    copy_selection();
  } else if ((flags & flag_command) && vkey == vk_v) {
    std::string clip;
    if (!UTL_GetTextFromClipboard(clip)) return;
    const std::string line = BTN_paste_line(clip);
    OGLE_ReplaceText(ogle, s, e, line.data(), line.data() + line.size());
  } else if (ch == 0 && (vkey == vk_home || vkey == vk_end || vkey == vk_delete)) {
    edit_key(vkey, shift);
  } else {
    type_char(ch, shift);
  }
}
}  // namespace

void OGLE_sync_to_text() {
  int s = 0, e = 0;
  OGLE_GetSelection(ogle, &s, &e);
  const int length = static_cast<int>(OGLE_input->size());
  e = std::clamp(e, 0, length);
  s = std::clamp(s, 0, e);
  OGLE_SetSelection(ogle, s, e);
  // A line table of another text would lead drawing and the caret past the
  // end of a shorter one.
  if (OGLE_LayoutStale(ogle)) {
    OGLE_Repaginate(ogle);
    OGLE_RevealSelection(ogle);
  }
}

int BTN_enterstring(float x, float y, std::string* text, int max_len, std::string label, float width,
                    int take_focus) {
  const int id = static_cast<int>(x) * 8192 + static_cast<int>(y);
  if (!ogle) ogle = OGLE_Create(&OGLE_cbs, nullptr);

  const bool click = mbar.open_menu == -1 && mnw.mouse_down && BTN_in_box(mnw.mouse_x, mnw.mouse_y, x, y, x + width, y + 8);
  const bool take = click || (take_focus && BTN_no_focus_yet());
  const int has_focus =
      BTN_register_focus(id, char_slot, vkey_slot, flag_slot, id_slot, &ctr_slot, 64, 0x3F4, take ? 1 : 0);
  OGLE_edit = 0;

  if (has_focus) {
    OGLE_x = static_cast<int>(x);
    OGLE_y = static_cast<int>(y - 1);
    OGLE_entry_dx = static_cast<int>(width);
    OGLE_input = text;
    if (focused_field_id != id) {
      OGLE_dx = OGLE_dy = 0;
      if (!click) OGLE_SetSelection(ogle, 0, static_cast<int>(text->size()));
      OGLE_Repaginate(ogle);
    }
    focused_field_id = id;
    OGLE_sync_to_text();
    if (mnw.mouse_down)
      OGLE_Click(ogle, mnw.mouse_x, mnw.mouse_y, 0);
    else if (mnw.mouse_held)
      OGLE_Drag(ogle, mnw.mouse_x, mnw.mouse_y);
  }

  int seen = 0;
  for (int i = 0; i < ctr_slot; ++i) {
    if (id_slot[i] != 0) ++seen;
    if (id_slot[i] != id || (char_slot[i] == 0 && vkey_slot[i] == 0)) continue;
    // Keys queued before the focus moved away are dropped, never typed
    // into whichever field the editor is bound to now.
    if (!(flag_slot[i] & flag_release) && has_focus) handle_key(char_slot[i], vkey_slot[i], flag_slot[i]);
    char_slot[i] = vkey_slot[i] = flag_slot[i] = id_slot[i] = 0;
  }
  if (seen == 0) ctr_slot = 0;

  std::string left, right, tip;
  BTN_expand_label(std::move(label), &left, &right, &tip);
  BTN_frame1(9, x + width * 0.5f - 2, y + 3, width + 10, 57);
  BTN_util_draw_label(x - 12, y, 0, left, 0);
  BTN_util_draw_label(x + width + 6, y, 2, right, 0);
  // The text's baseline is y - 1; the clip holds the font's whole line, so
  // underscores and descenders show.
  int above = 0, below = 0;
  OGL_font_extent(&above, &below);
  OGL_scissors(x - 1, y - 1 - below, width + 2, above + below);
  if (has_focus)
    OGLE_Draw(ogle, 1);
  else
    OGL_string(50, x, y - 1, *text, font_no_wrap, cs_regular, just_left);
  OGL_scissors_end();

  if (BTN_in_box(mnw.mouse_x, mnw.mouse_y, x, y - 5, x + width, y + 15)) help.text = tip;

  if (OGLE_edit && max_len >= 0 && static_cast<int>(text->size()) > max_len) {
    text->resize(UTL_utf8_cut_length(*text, static_cast<size_t>(max_len)));
    if (has_focus) {
      int s = 0, e = 0;
      OGLE_GetSelection(ogle, &s, &e);
      OGLE_SetSelection(ogle, s, e);
      OGLE_Repaginate(ogle);
    }
  }
  return OGLE_edit;
}

int BTN_enterstring(float x, float y, char* text, int max_len, std::string label, float width, int take_focus) {
  std::string s = text;
  const int edited = BTN_enterstring(x, y, &s, max_len, std::move(label), width, take_focus);
  UTL_check_string_length(s);
  memcpy(text, s.c_str(), s.size() + 1);
  return edited;
}
