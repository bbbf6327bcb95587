#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "files/txt_cond.h"
#include "support/xer_capture.h"
#include "support/test_env.h"

namespace {

const conditional_t k_vars[] = {{"APL", 1}, {"IBM", 0}, {"TWO", 2}, {nullptr, 0}};

// What a parser that takes one line at a time is handed from text. A
// directive line leaves its own line end for the parser, which, like every
// parser of data files, passes over empty lines.
std::vector<std::string> seen_lines(const std::string& text) {
  std::string p = test_scratch_dir("cond") + "f.txt";
  test_write_file(p, text);
  xmap_class x(p);
  std::vector<std::string> seen;
  conditional_scanner scan(&x, k_vars);
  while (x.mem_cur < x.mem_end) {
    std::string line;
    x.TXT_str_scan_eoln(&line);
    if (!line.empty()) seen.push_back(line);
    scan.scan_more();
  }
  return seen;
}

using lines = std::vector<std::string>;

}  // namespace

TEST(CondScanner, Sections) {
  struct row {
    const char* text;
    lines want;
  } rows[] = {
      {"IF APL\na\nELSE \nb\nENDIF\nc\n", {"a", "c"}},
      {"IF NOT APL\na\nENDIF\n", {}},
      {"IF IBM\nIF APL\na\nELSE \nb\nENDIF\nENDIF\n", {}},
      {"IF IBM\na\nELSE IF APL\nb\nENDIF\n", {"b"}},
      {"IF APL\na\nELSE IF APL\nb\nENDIF\n", {"a", "b"}},
      {"IF APL x\n", {"x"}},
      {"IF IBM\nELSE\nstill skipped\nENDIF\nseen\n", {"seen"}},
      {"IF IBM\na\nENDIF", {}},
      {"IF APL\na\nENDIF", {"a"}},
      {"IF NOT TWO\na\nENDIF\n", {"a"}},
      {"  IF   APL\n  indented\n  ENDIF  trailing words\nafter\n", {"indented", "after"}},
      {"IF IBM\nIF APL\nx\nENDIF\ny\nELSE \nz\nENDIF\n", {"z"}},
      {"IFFY\nIF\n", {"IFFY", "IF"}},
      {"\r\nIF APL\r\na\r\nENDIF\r\nb", {"a", "b"}},
  };
  for (const row& r : rows) EXPECT_EQ(seen_lines(r.text), r.want) << r.text;
}

TEST(CondScanner, ProblemsAreLoggedAndScanningGoesOn) {
  xer_capture cap;
  // The unknown name is not read as a condition, so it starts the section's text.
  EXPECT_EQ(seen_lines("IF MAC\na\nENDIF\n"), (lines{"MAC", "a"}));
  EXPECT_EQ(cap.text(), "ERROR: unknown variable for IF statement.\n1 \"IF MAC\"\n");

  xer_capture cap2;
  EXPECT_EQ(seen_lines("x\nELSE y\n"), (lines{"x", "y"}));
  EXPECT_EQ(cap2.text(), "WARNING: ELSE statement is not inside an IF statement.\n2 \"ELSE y\"\n");

  xer_capture cap3;
  EXPECT_EQ(seen_lines("IF IBM\nELSE \na\nELSE \nb\nENDIF\n"), (lines{"a", "b"}));
  EXPECT_NE(cap3.text().find("WARNING: more than one ELSE statement for an IF statement.\n4 \"ELSE \"\n"),
            std::string::npos);

  xer_capture cap4;
  EXPECT_EQ(seen_lines("ENDIF z\n"), (lines{"z"}));
  EXPECT_EQ(cap4.text(), "WARNING: ENDIF in file is not matched by an IF statement.\n1 \"ENDIF z\"\n");
}

TEST(CondScanner, GetConditional) {
  std::string p = test_scratch_dir("getcond") + "f.txt";
  test_write_file(p, "APL IBM TWO");
  xmap_class x(p);
  conditional_scanner scan(&x, k_vars);
  EXPECT_EQ(scan.state_stack, (std::vector<int>{1}));
  EXPECT_EQ(scan.get_conditional(1), 0);
  EXPECT_EQ(scan.get_conditional(0), 0);
  EXPECT_EQ(scan.get_conditional(1), -1);
}
