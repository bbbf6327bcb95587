// Short user texts of the installer screens: sizes in kilobytes, durations
// and transfer rates. Each formats into a 256-byte buffer.
#pragma once
#include <string>

// k > 1 024 000: "%.1f GB"; k > 1024: "%.0f MB"; else "%.0f KB".
std::string size_string(float kb);
std::string int_str(int n);
// value formatted by fmt, which holds one floating-point conversion.
std::string flt_str(const char* fmt, float value);
// Translated "n seconds/minutes/hours", the form by the language's plural rule.
std::string time_str(float seconds);
// Translated "n kilobytes/second".
std::string rate_str(float kb_per_second);
