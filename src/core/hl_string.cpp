#include "core/hl_string.h"
#include "core/hl_alert.h"
#include <vector>
#include <cmath>
#include <cstdint>

static char digit_char(long long d) { return d >= 0 && d <= 9 ? (char)('0' + d) : '0'; }

void int_to_str(int value, std::string* out, int width, str_format_type layout, int force_minus) {
  std::string s;
  if (value < 0 || force_minus)
    s += '-';
  else if (layout == str_plus_zero_pad)
    s += '+';
  // Unsigned, so the magnitude of INT_MIN is representable.
  const unsigned m = value < 0 ? 0u - (unsigned)value : (unsigned)value;
  const bool pad = layout == str_zero_pad || layout == str_blank_pad || layout == str_plus_zero_pad;
  unsigned place = 10000000;
  for (int k = 7; k >= 1; --k, place /= 10) {
    if (m >= place || (pad && width > k))
      s += (layout == str_blank_pad && m < place) ? ' ' : digit_char((m / place) % 10);
  }
  s += digit_char(m % 10);
  *out = s;
}

// The last eight digits of a whole number, with its sign; int_to_str shows no
// more, and this keeps magnitudes beyond int out of undefined conversions.
static int last_eight_digits(double whole) {
  if (!(std::fabs(whole) < 9.0e18)) return 0;
  return (int)((long long)whole % 100000000LL);
}

void flt_to_str(float value, std::string* out, int width, int decimals, str_format_type layout) {
  if (decimals != 0) {
    // Callers use at most nine decimals; more would only overflow the scale.
    const int d = decimals > 9 ? 9 : decimals;
    long long scale = 1;
    for (int i = 0; i < d; ++i) scale *= 10;
    const float product = (float)scale * value;
    long long n = 0;
    if (std::fabs(product) < 9.0e18f) n = llroundf(product);
    std::string ip, fp;
    int_to_str(last_eight_digits((double)(n / scale)), &ip, width - decimals, layout, value < 0);
    int_to_str((int)std::llabs(n % scale), &fp, decimals, str_zero_pad, 0);
    *out = ip + "." + fp;
    return;
  }
  const double mag = std::fabs((double)value);
  bool too_wide = false;
  double limit = 10.0;
  for (int k = 1; k <= 8; ++k, limit *= 10.0)
    if (mag > limit - 0.5 && width <= k) too_wide = true;
  if (!too_wide) {
    int_to_str(last_eight_digits(std::trunc((double)value)), out, width, layout, 0);
    return;
  }
  int e = 0;
  float reduced = value;
  // An infinity never gets below 10; stop at a count no float reaches.
  while (std::fabs(reduced) >= 10.0f && e < 64) {
    reduced /= 10.0f;
    ++e;
  }
  const int w = width - 2;
  std::string mant;
  if (w <= 1)
    flt_to_str(reduced, &mant, 2, 1, layout);
  else
    flt_to_str(reduced, &mant, w, w - 1, layout);
  *out = mant + "x" + (e > 9 ? '0' : (char)('0' + e));
}

static void put_signed(std::string& s, int v, int places) {
  s += v >= 0 ? '+' : '-';
  const long long m = std::llabs((long long)v);
  if (places == 3) s += digit_char(m / 100);
  s += digit_char(places == 3 ? (m / 10) % 10 : m / 10);
  s += digit_char(m % 10);
}

void return_latlon_str_dsf(int lat, int lon, std::string* out) {
  const int cell_lat = ((lat + 90) / 10) * 10 - 90;
  const int cell_lon = ((lon + 180) / 10) * 10 - 180;
  std::string s;
  put_signed(s, cell_lat, 2);
  put_signed(s, cell_lon, 3);
  s += '/';
  put_signed(s, lat, 2);
  put_signed(s, lon, 3);
  s += ".dsf";
  *out = s;
}

void UTL_expand_label(std::string label, std::string* left, std::string* right, std::string* help) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  const size_t n = label.size();
  std::vector<bool> drop(n, false);
  for (size_t i = 0; i < n; ++i) {
    if (label[i] != '|' && label[i] != '{') continue;
    if (i > 0 && blank(label[i - 1])) drop[i - 1] = true;
    if (i + 1 < n && blank(label[i + 1])) drop[i + 1] = true;
  }
  std::string s;
  for (size_t i = 0; i < n; ++i)
    if (!drop[i]) s += label[i];

  const size_t bar = s.rfind('|');
  const size_t brace = s.rfind('{');
  const size_t help_at = brace == std::string::npos ? s.size() : brace;
  std::string l, r, h;
  if (bar == std::string::npos) {
    l = s.substr(0, help_at);
  } else {
    l = s.substr(0, bar);
    // A '|' inside the help text ("a{b|c") leaves no right part: the help
    // starts before it.
    if (help_at > bar + 1) r = s.substr(bar + 1, help_at - bar - 1);
  }
  if (brace != std::string::npos) h = s.substr(brace + 1);
  if (left) *left = l;
  if (right) *right = r;
  if (help) *help = h;
}

void UTL_check_string_length(const std::string& text) {
  if (text.size() >= 500) __MACIBM_alert(0, "String too long!", text, "", "", t_crash, "RUvozuz/GenH/hl_string", 129);
}
