// The members of the number-field family that choose limits, convert the
// caller's type, place the field on a grid or compose its help; and the
// display-only number.
#include <climits>
#include <cmath>
#include "widgets/butn.h"
#include "widgets/butn_number.h"

std::string global_c_str_ram;

int BTN_flt(float x, float y, float* value, int digits, int decimals, int negative_allowed, std::string label) {
  const float max = BTN_number_limit(digits, decimals);
  return BTN_flt_range(x, y, value, digits, decimals, negative_allowed ? -max : 0, max, std::move(label), nullptr);
}

void BTN_weight(float x, float y, float* value, int digits, int decimals, std::string label) {
  BTN_flt(x, y, value, digits, decimals, 0, std::move(label));
}

int BTN_dob(float x, float y, double* value, int digits, int decimals, int negative_allowed, std::string label) {
  float v = static_cast<float>(*value);
  const int changed = BTN_flt(x, y, &v, digits, decimals, negative_allowed, std::move(label));
  *value = v;
  return changed;
}

int BTN_dob_range(float x, float y, double* value, int digits, int decimals, double min, double max,
                  std::string label) {
  float v = static_cast<float>(*value);
  const int changed = BTN_flt_range(x, y, &v, digits, decimals, static_cast<float>(min), static_cast<float>(max),
                                    std::move(label), nullptr);
  if (changed) *value = v;
  return changed;
}

int BTN_int_range(float x, float y, int* value, int digits, int min, int max, std::string label) {
  float v = static_cast<float>(*value);
  const int changed = BTN_flt_range(x, y, &v, digits, 0, static_cast<float>(min), static_cast<float>(max),
                                    std::move(label), nullptr);
  // The limits are applied again on the whole number: a float holds only
  // 24 bits, so a value written back through it every frame would drift.
  long long n = changed ? static_cast<long long>(std::trunc(v)) : *value;
  const long long limit = static_cast<long long>(std::pow(10.0, digits)) - 1;
  if (n < min) n = min;
  if (n > max) n = max;
  if (n < -limit) n = -limit;
  if (n > limit) n = limit;
  if (n < INT_MIN) n = INT_MIN;
  if (n > INT_MAX) n = INT_MAX;
  if (n != *value) *value = static_cast<int>(n);
  return changed;
}

int BTN_int(float x, float y, int* value, int digits, int negative_allowed, std::string label) {
  const long long most = static_cast<long long>(std::pow(10.0, digits)) - 1;
  const int max = most > INT_MAX ? INT_MAX : static_cast<int>(most);
  return BTN_int_range(x, y, value, digits, negative_allowed ? -max : 0, max, std::move(label));
}

int BTN_fltij(int i, int j, float* value, int digits, int decimals, int negative_allowed, std::string label) {
  return BTN_flt(75.0f * i + 75 - 10 * digits, 50.0f * j + 25, value, digits, decimals, negative_allowed,
                 std::move(label));
}

int BTN_flt_rangeij(int i, int j, float* value, int digits, int decimals, float min, float max, std::string label) {
  return BTN_flt_range(75.0f * i + 75 - 10 * digits, 50.0f * j + 25, value, digits, decimals, min, max,
                       std::move(label), nullptr);
}

int BTN_xyz(float x, float y, float* value, float min, float max, std::string label, char axis, int digits,
            int decimals, const char*) {
  if (axis != '-') {
    std::string left, right, tip;
    BTN_expand_label(std::move(label), &left, &right, &tip);
    const char* lead = axis == 'x'   ? "This is how far to the side of the reference point the "
                       : axis == 'y' ? "This is how far above the reference point the "
                       : axis == 'z' ? "This is how far behind the reference point the "
                                     : "";
    global_c_str_ram = left + "|" + right + " { " + lead + tip +
                       " is. The reference point may be any point on the aircraft, but you have to use the SAME "
                       "reference point for ALL the data you enter on the aircraft. The nose of the aircraft is a "
                       "typical reference point.";
    label = global_c_str_ram;
  }
  return BTN_flt_range(x, y, value, digits, decimals, min, max, std::move(label), nullptr);
}

int BTN_xyz(float x, float y, float* value, int negative_allowed, std::string label, char axis, int digits,
            int decimals, const char* text) {
  const float max = BTN_number_limit(digits, decimals);
  return BTN_xyz(x, y, value, negative_allowed ? -max : 0, max, std::move(label), axis, digits, decimals, text);
}

void BTN_display_number(float x, float y, float value, int digits, int decimals, const std::string& label,
                        charset_t charset) {
  std::string left, right;
  BTN_expand_label(label, &left, &right, nullptr);
  const float w = charset == cs_fixed8 ? 8.0f : charset == cs_fixed10 ? 10.0f : 6.0f;
  const float h = w * static_cast<float>(digits + decimals);
  BTN_frame1(9, x + h / 2 - 1, y + 3, h + 15, 57);
  BTN_util_draw_label(x - 12, y, 0, left, 0);
  BTN_util_draw_label(x + h + 12, y, 2, right, 0);
  if (charset == cs_fixed10)
    OGL_number(50, x + 4, y - 1, value, digits, decimals, charset, str_no_pad, just_left);
  else
    OGL_number(50, x + h + 2, y - 1, value, digits, decimals, charset, str_no_pad, just_right);
}
