#include <gtest/gtest.h>
#include <climits>
#include <cstdlib>
#include <limits>
#include <unistd.h>
#include "core/hl_math.h"
#include "core/hl_string.h"
#include "support/test_env.h"

namespace {

struct int_case {
  int value, width;
  str_format_type layout;
  int force_minus;
  const char* text;
};

TEST(IntToStr, LayoutsWidthsAndSigns) {
  const int_case cases[] = {
      {42, 5, str_no_pad, 0, "42"},
      {42, 5, str_zero_pad, 0, "00042"},
      {42, 5, str_blank_pad, 0, "   42"},
      {42, 5, str_plus_zero_pad, 0, "+00042"},
      {0, 0, str_no_pad, 0, "0"},
      {0, 3, str_blank_pad, 0, "  0"},
      {0, 3, str_plus_zero_pad, 0, "+000"},
      {-5, 3, str_zero_pad, 0, "-005"},
      {-5, 3, str_blank_pad, 0, "-  5"},  // the sign comes before the blanks
      {-5, 3, str_plus_zero_pad, 0, "-005"},
      {7, 12, str_zero_pad, 0, "00000007"},  // at most eight places
      {123456789, 0, str_no_pad, 0, "23456789"},
      {0, 0, str_no_pad, 1, "-0"},
      {5, 0, str_plus_zero_pad, 1, "-5"},  // forced minus wins over '+'
      {1234, 2, str_zero_pad, 0, "1234"},  // a narrow width never cuts digits
      {105, 5, str_blank_pad, 0, "  105"},  // inner zeros stay digits
      {-42, 0, str_no_pad, 0, "-42"},
      {INT_MAX, 0, str_no_pad, 0, "47483647"},
      {INT_MIN, 0, str_no_pad, 0, "-47483648"},
      {INT_MIN + 1, 10, str_zero_pad, 0, "-47483647"},
  };
  for (const int_case& c : cases) {
    std::string s = "old";
    int_to_str(c.value, &s, c.width, c.layout, c.force_minus);
    EXPECT_EQ(s, c.text) << c.value << " width " << c.width << " layout " << c.layout;
  }
}

struct flt_case {
  float value;
  int width, decimals;
  str_format_type layout;
  const char* text;
};

TEST(FltToStr, DecimalsRoundingAndExponentForm) {
  const flt_case cases[] = {
      {-0.25f, 3, 2, str_zero_pad, "-0.25"},
      {3.14159f, 0, 2, str_no_pad, "3.14"},
      {0.125f, 0, 2, str_no_pad, "0.13"},  // halves away from zero
      {-0.125f, 0, 2, str_no_pad, "-0.13"},
      {-0.004f, 0, 2, str_no_pad, "-0.00"},  // sign of a value that rounds to 0
      {2.5f, 4, 1, str_zero_pad, "002.5"},
      {2.5f, 4, 1, str_blank_pad, "  2.5"},
      {2.5f, 4, 1, str_plus_zero_pad, "+002.5"},
      {-12.75f, 4, 1, str_blank_pad, "- 12.8"},
      {99.99f, 0, 1, str_no_pad, "100.0"},
      {1.5f, 0, 3, str_no_pad, "1.500"},  // the fraction is zero padded
      {12.5f, 0, -1, str_no_pad, "13.0"},  // negative decimals: scale 1
      {9.7f, 2, 0, str_no_pad, "9"},       // truncated without decimals
      {9.5f, 1, 0, str_no_pad, "9"},       // not too wide: the test is strictly greater
      {9.6f, 1, 0, str_no_pad, "9.6x0"},
      {123456.0f, 4, 0, str_no_pad, "1.2x5"},
      {1234567.0f, 6, 0, str_no_pad, "1.235x6"},
      {-123456.0f, 4, 0, str_no_pad, "-1.2x5"},
      {99999999.0f, 8, 0, str_no_pad, "1.00000x8"},
      {1125899906842624.0f, 9, 0, str_no_pad, "6842624"},  // 2^50: not too wide for nine places; the last eight digits
      {-42.9f, 3, 0, str_zero_pad, "-042"},
  };
  for (const flt_case& c : cases) {
    std::string s = "old";
    flt_to_str(c.value, &s, c.width, c.decimals, c.layout);
    EXPECT_EQ(s, c.text) << c.value << " width " << c.width << " decimals " << c.decimals << " layout " << c.layout;
  }
}

TEST(FltToStr, HugeAndNonFiniteValuesStayDefined) {
  std::string s;
  flt_to_str(3.0e38f, &s, 2, 0, str_no_pad);
  EXPECT_EQ(s.substr(s.size() - 2), "x0");  // exponent above 9 prints '0'
  flt_to_str(std::numeric_limits<float>::infinity(), &s, 2, 0, str_no_pad);
  EXPECT_FALSE(s.empty());
  flt_to_str(3.0e38f, &s, 0, 5, str_no_pad);
  EXPECT_FALSE(s.empty());
}

TEST(LatLonPath, TenDegreeFolderAndTile) {
  const struct {
    int lat, lon;
    const char* text;
  } cases[] = {
      {47, -74, "+40-080/+47-074.dsf"},
      {-1, -1, "-10-010/-01-001.dsf"},
      {0, 0, "+00+000/+00+000.dsf"},
      {-90, -180, "-90-180/-90-180.dsf"},
      {89, 179, "+80+170/+89+179.dsf"},
  };
  for (const auto& c : cases) {
    std::string s;
    return_latlon_str_dsf(c.lat, c.lon, &s);
    EXPECT_EQ(s, c.text);
    EXPECT_EQ(s.size(), 19u);
  }
}

TEST(IntRand, RangesIncludingTheFullIntRange) {
  srand(7);
  const int before = rand();
  srand(7);
  EXPECT_EQ(int_rand(5, 5), 5);
  EXPECT_EQ(rand(), before) << "equal bounds must not draw";
  for (int i = 0; i < 200; ++i) {
    const int r = int_rand(1, 6);
    EXPECT_GE(r, 1);
    EXPECT_LE(r, 6);
  }
  for (int i = 0; i < 50; ++i) {
    const int r = int_rand(INT_MIN, INT_MAX);  // the span does not fit an int
    (void)r;
    const int n = int_rand(-3, -1);
    EXPECT_GE(n, -3);
    EXPECT_LE(n, -1);
  }
}

TEST(IntRandDeathTest, ReversedRangeIsACrashAlert) {
  // The death test's child runs this body again: it must use the parent's folder.
  setenv("DUV_TEST_CRASH_DIR", test_scratch_dir("int-rand").c_str(), 0);
  const std::string dir = getenv("DUV_TEST_CRASH_DIR");
  EXPECT_DEATH(
      {
        if (chdir(dir.c_str()) != 0) abort();
        int_rand(5, 4);
      },
      "");
  // The crash alert leaves its stack crawl in the current folder.
  EXPECT_NE(test_read_file(dir + "stack_crawl.txt").find("int_rand"), std::string::npos);
  EXPECT_NE(test_read_file(dir + "MemoryLog.txt").find("MACIBM_alert (with code t_crash or t_quit)"), std::string::npos);
  unsetenv("DUV_TEST_CRASH_DIR");
}

}  // namespace
