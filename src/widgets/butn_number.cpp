// The core number field and the character-cell editor, which share the
// cells' arrows, the focus, the hot cell rules and the drawing.
#include "widgets/butn_number.h"
#include <cctype>
#include <cmath>
#include <cstring>
#include "core/globs.h"
#include "ogl/ogl_draw.h"
#include "shell/mbar.h"
#include "widgets/atlas_layout.h"
#include "widgets/butn.h"
#include "widgets/help.h"

BTN_key_queue flt_keys, chars_keys;
int flt_hot_digit = 0, chars_hot_digit = 0;

namespace {

enum { vk_left = 37, vk_up = 38, vk_right = 39, vk_down = 40 };
enum { cursor_step_up = 20, cursor_step_down = 21 };
// Number fields take arrows and page keys, digits and signs; the character
// cells letters and other printable characters too.
constexpr int k_number_keys = focus_navigate | focus_digit | focus_sign;
constexpr int k_chars_keys = k_number_keys | focus_letter | focus_printable;

double p10(int n) { return std::pow(10.0, n); }

// The place value of cell k of a field.
double place(int k, int digits, int decimals) { return p10(digits - k - 1) / p10(decimals); }

int field_id(float x, float y) { return static_cast<int>(x) * 8192 + static_cast<int>(y); }

// Left and right move the hot cell, wrapping at both ends; 1 when vkey was one.
bool move_hot(int vkey, int* hot, int cells) {
  if (vkey == vk_left) *hot = *hot <= 0 ? cells - 1 : *hot - 1;
  else if (vkey == vk_right) *hot = *hot >= cells - 1 ? 0 : *hot + 1;
  else return false;
  return true;
}

// Whether the mouse is in the arrow zone of cells cells and not on them.
bool in_arrow_zone(float x, float y, int cells, bool on_cells) {
  return mbar.open_menu == -1 && !on_cells && BTN_in_box(mnw.mouse_x, mnw.mouse_y, x, y - 18, x + 10 * cells, y + 24);
}

// Each cell's arrows, and the hot cell's highlight while focused.
void draw_cells(float x, float y, int cells, int focused, int hot) {
  for (int k = 0; k < cells; ++k) {
    const float cx = x + 10 * k + 6;
    BTN_atlas_quad(359, cx - 7, y - 19, cx + 7, y - 1, k_digit_down.u0, k_digit_down.v0, k_digit_down.u1,
                   k_digit_down.v1, 57, 1);
    BTN_atlas_quad(359, cx - 7, y + 9, cx + 7, y + 27, k_digit_up.u0, k_digit_up.v0, k_digit_up.u1, k_digit_up.v1,
                   57, 1);
  }
  if (focused) OGL_fillrect(62, 1, x + 10 * hot + 2, y - 2, 9, 11);
}

// A typed digit d into the hot cell of |value| scaled to whole numbers.
float with_digit(float value, int d, int hot, int digits, int decimals) {
  const bool negative = value < 0;
  const double scale = p10(decimals);
  const long long p = static_cast<long long>(p10(digits - hot - 1));
  long long n = std::lround(std::fabs(value) * scale);
  n += p * (d - (n / p) % 10);
  const double v = n / scale;
  return static_cast<float>(negative ? -v : v);
}

// The ring of symbols a character cell steps through.
constexpr char k_ring[] = " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-";
constexpr int k_ring_size = sizeof(k_ring) - 1;

int ring_index(char c) {
  c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const char* at = c ? std::strchr(k_ring, c) : nullptr;
  return at ? static_cast<int>(at - k_ring) : 1;  // anything else counts as '0'
}

// Writes c into cell i of a text that may end before it: the cells between
// become blanks and the text still ends in a zero.
void put_cell(char* text, int i, char c) {
  const int len = static_cast<int>(std::strlen(text));
  if (i >= len) {
    std::memset(text + len, ' ', static_cast<size_t>(i - len));
    text[i + 1] = 0;
  }
  text[i] = c;
}

// Steps cell i along the ring: up to the previous symbol, down to the next.
void step_cell(char* text, int i, bool up) {
  const int at = i < static_cast<int>(std::strlen(text)) ? ring_index(text[i]) : 0;
  put_cell(text, i, k_ring[(at + (up ? k_ring_size - 1 : 1)) % k_ring_size]);
}

}  // namespace

float BTN_number_limit(int digits, int decimals) {
  // Nines with the point after the first: 9, 9.9, 9.99...
  const double nines = (p10(digits) - 1) / p10(digits - 1);
  return static_cast<float>(p10(digits - 1) / p10(decimals) * nines);
}

int BTN_flt_range(float x, float y, float* value, int digits, int decimals, float min, float max, std::string label,
                  const char*) {
  std::string left, right, tip;
  BTN_expand_label(std::move(label), &left, &right, &tip);
  const int id = field_id(x, y);
  const float mx = mnw.mouse_x, my = mnw.mouse_y;
  const bool on_cells = BTN_in_box(mx, my, x, y - 2, x + 10 * digits, y + 8);
  if (on_cells) help.text = tip;

  const bool click = mbar.open_menu == -1 && on_cells && mnw.mouse_down;
  if (click) flt_hot_digit = static_cast<int>((mx - 2 - x) / 10);
  const int focused = BTN_register_queue(id, flt_keys, k_number_keys, click ? 1 : 0);
  // The hot cell is shared with fields of other widths.
  auto clamp_hot = [&] {
    flt_hot_digit = flt_hot_digit < 0 ? 0 : flt_hot_digit >= digits ? digits - 1 : flt_hot_digit;
  };
  if (focused) clamp_hot();

  int changed = 0;
  float v = *value;
  BTN_take_keys(flt_keys, id, [&](int ch, int vkey, int) {
    clamp_hot();
    if (move_hot(vkey, &flt_hot_digit, digits)) return;
    if (vkey == vk_up || vkey == vk_down) {
      const double step = place(flt_hot_digit, digits, decimals);
      v = static_cast<float>(vkey == vk_up ? v + step : v - step);
      changed = 1;
    } else if (ch >= '0' && ch <= '9') {
      v = with_digit(v, ch - '0', flt_hot_digit, digits, decimals);
      flt_hot_digit = flt_hot_digit >= digits - 1 ? 0 : flt_hot_digit + 1;
      changed = 1;
    } else if (ch == '+' && min < 0) {
      v = std::fabs(v);
      changed = 1;
    } else if (ch == '-' && max >= 0) {
      v = -std::fabs(v);
      changed = 1;
    }
  });

  if (in_arrow_zone(x, y, digits, on_cells)) {
    const bool up = my > y + 3;
    mnw.cursor = up ? cursor_step_up : cursor_step_down;
    if (mnw.mouse_down) {
      // A press on the line between two columns steps both.
      for (int k = 0; k < digits; ++k) {
        if (mx < x + 10 * k || mx > x + 10 * k + 10) continue;
        const double step = place(k, digits, decimals);
        v = static_cast<float>(up ? v + step : v - step);
      }
      changed = 1;
    }
  }

  const float limit = BTN_number_limit(digits, decimals);
  if (v < min) v = min;
  if (v > max) v = max;
  if (v < -limit) v = -limit;
  if (v > limit) v = limit;
  // Rounded in floating point: an int could not hold ten digits.
  const double scale = p10(decimals);
  double s = v * scale;
  s = std::trunc(s < 0 ? s - 0.5 : s + 0.5);
  *value = static_cast<float>(s / scale);

  BTN_frame1(9, x + 5 * digits - 1, y + 3, 10 * digits + 15, 57);
  BTN_util_draw_label(x - 12, y, 0, left, 0);
  BTN_util_draw_label(x + 10 * digits + 12, y, 2, right, 0);
  draw_cells(x, y, digits, focused, flt_hot_digit);
  OGL_number(50, x + 4, y - 1, *value, digits, decimals, cs_fixed10, str_no_pad, just_left);
  return changed;
}

void BTN_chars(float x, float y, char* text, int length, std::string label) {
  std::string left, tip;
  BTN_expand_label(std::move(label), &left, nullptr, &tip);
  const int id = field_id(x, y);
  const float mx = mnw.mouse_x, my = mnw.mouse_y;
  for (int i = 0; i < length; ++i)
    if (BTN_in_box(mx, my, x + 10 * i, y - 2, x + 10 * i + 10, y + 8)) help.text = tip;
  const bool on_cells = BTN_in_box(mx, my, x, y - 2, x + 10 * length, y + 8);

  const bool click = mbar.open_menu == -1 && on_cells && mnw.mouse_down;
  if (click) chars_hot_digit = static_cast<int>((mx - x) / 10);
  const int focused = BTN_register_queue(id, chars_keys, k_chars_keys, click ? 1 : 0);
  auto clamp_hot = [&] {
    chars_hot_digit = chars_hot_digit < 0 ? 0 : chars_hot_digit >= length ? length - 1 : chars_hot_digit;
  };
  if (focused) clamp_hot();

  BTN_take_keys(chars_keys, id, [&](int ch, int vkey, int) {
    if (length <= 0) return;
    clamp_hot();
    if (move_hot(vkey, &chars_hot_digit, length)) return;
    if (vkey == vk_up || vkey == vk_down) {
      step_cell(text, chars_hot_digit, vkey == vk_up);
      return;
    }
    if (ch >= 'a' && ch <= 'z') ch = ch - 'a' + 'A';
    const bool stored = (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') || ch == ' ' || ch == '-';
    if (!stored) return;
    put_cell(text, chars_hot_digit, static_cast<char>(ch));
    chars_hot_digit = chars_hot_digit >= length - 1 ? 0 : chars_hot_digit + 1;
  });

  if (in_arrow_zone(x, y, length, on_cells) && mnw.mouse_down) {
    const bool up = my > y + 3;
    mnw.cursor = up ? cursor_step_up : cursor_step_down;
    int k = static_cast<int>((mx - x) / 10);
    if (k >= length) k = length - 1;
    if (k >= 0) step_cell(text, k, up);
  }

  BTN_frame1(9, x + 5 * length + 1, y + 3, 10 * length + 11, 57);
  BTN_util_draw_label(x - 6, y, 0, left, 0);
  draw_cells(x, y, length, focused, chars_hot_digit);
  OGL_string(50, x + 3, y - 1, text, font_no_wrap, cs_fixed10, just_left);
}
