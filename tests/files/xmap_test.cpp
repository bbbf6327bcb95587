#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstring>
#include <string>
#include "core/globs.h"
#include "files/test_child.h"
#include "support/xer_capture.h"
#include "files/xmap.h"
#include "platform/plat_folders.h"
#include "support/test_env.h"

namespace {

std::string scratch_file(const std::string& content) {
  static int n = 0;
  std::string p = test_scratch_dir("xmap") + "f" + std::to_string(n++);
  test_write_file(p, content);
  return p;
}

std::string rest_of_window(const xmap_class& x) { return std::string(x.mem_cur, x.mem_end); }

const int v10[] = {10, 0};
const int v900[] = {900, 0};
const int v840_900[] = {840, 900, 0};
const int v820[] = {820, 0};

}  // namespace

TEST(XmapHeader, TextAndBinaryHeaders) {
  struct row {
    std::string bytes;
    int kind;
    const int* versions;
    const char* type;
    int want;
    const char* body;  // what the cursor stands on afterwards, when accepted
  } rows[] = {
      {"I\n10 version\n_log_actions 1", xmap_text, v10, nullptr, 10, "_log_actions 1"},
      {"I\r\n10 version\r\n_log_actions 1", xmap_text, v10, nullptr, 10, "_log_actions 1"},
      {"I\r10 version\r_log_actions 1", xmap_text, v10, nullptr, 10, "_log_actions 1"},
      {"\xEF\xBB\xBFI\n10 version\n_x 1", xmap_text, v10, nullptr, 10, "_x 1"},
      {"I made by hand\n10 version\n\n\n  body", xmap_text, v10, nullptr, 10, "body"},
      {"A\n900 version\nbody", xmap_text, v840_900, nullptr, 900, "body"},
      {"A\n900 version\nbody", xmap_text, v820, nullptr, 0, nullptr},
      {"I\n0\nbody", xmap_text, v10, nullptr, 0, nullptr},
      {"i\n10 version\nbody", xmap_text, v10, nullptr, 0, nullptr},
      {" I\n10 version\nbody", xmap_text, v10, nullptr, 0, nullptr},
      {"\nI\n10 version\nbody", xmap_text, v10, nullptr, 0, nullptr},
      {"I\n900 version\nDVD\nVERSION x", xmap_text, v900, "DVD", 900, "VERSION x"},
      {"I\n900 version\nDVD with more\nVERSION x", xmap_text, v900, "DVD", 900, "VERSION x"},
      {"I\n900 version\nDVD", xmap_text, v900, "DVD", 900, ""},
      {"I\n900 version\n  DVDX\n", xmap_text, v900, "DVD", 0, nullptr},
      {"I\n900 version\ndvd\n", xmap_text, v900, "DVD", 0, nullptr},
      {"", xmap_text, v10, nullptr, 0, nullptr},
      {"I", xmap_text, v10, nullptr, 0, nullptr},
      {"I\n", xmap_text, v10, nullptr, 0, nullptr},
      {"\xEF\xBB\xBF", xmap_text, v10, nullptr, 0, nullptr},
      {std::string("a\0\0\x03\x84rest", 9), xmap_binary, v900, nullptr, 900, "rest"},
      {std::string("i\x84\x03\0\0rest", 9), xmap_binary, v900, nullptr, 900, "rest"},
      {std::string("i\x84\x03\0\0 DVD\nx", 11), xmap_binary, v900, "DVD", 900, "x"},
      {std::string("i\x84\x03", 3), xmap_binary, v900, nullptr, 0, nullptr},
      {std::string("I\x84\x03\0\0", 5), xmap_binary, v900, nullptr, 0, nullptr},
  };
  int n = 0;
  for (const row& r : rows) {
    SCOPED_TRACE("row " + std::to_string(n++));
    xmap_class x(scratch_file(r.bytes));
    ASSERT_NE(x.mem_beg, nullptr);
    EXPECT_EQ(x.check_file(r.kind, r.versions, r.type, nullptr), r.want);
    if (r.want) {
      EXPECT_EQ(rest_of_window(x), r.body);
    }
  }
}

TEST(XmapHeader, ByteOrderFlagAndTypeWordMismatchCursor) {
  xmap_class big(scratch_file(std::string("a\0\0\x03\x84", 5)));
  EXPECT_EQ(big.check_file(xmap_binary, v900, nullptr, nullptr), 900);
  EXPECT_EQ(big.is_rev, 1);
  xmap_class little(scratch_file(std::string("i\x84\x03\0\0", 5)));
  EXPECT_EQ(little.check_file(xmap_binary, v900, nullptr, nullptr), 900);
  EXPECT_EQ(little.is_rev, 0);
  xmap_class typed(scratch_file("I\n900 version\n  DVDX\n"));
  EXPECT_EQ(typed.check_file(xmap_text, v900, "DVD", nullptr), 0);
  EXPECT_EQ(rest_of_window(typed), "DVDX\n");
}

TEST(XmapHeader, RestOfTheVersionLine) {
  xmap_class x(scratch_file("I\n900   version  \nbody"));
  std::string rest = "old";
  EXPECT_EQ(x.check_file(xmap_text, v900, nullptr, &rest), 900);
  EXPECT_EQ(rest, "version  ");
  xmap_class refused(scratch_file("I\n901 other\n"));
  EXPECT_EQ(refused.check_file(xmap_text, v900, nullptr, &rest), 0);
  EXPECT_EQ(rest, "other");
}

TEST(XmapScan, MatchWords) {
  struct row {
    const char* text;
    const char* word;
    int may_end_line;
    char terminator;
    int want;
    const char* after;
  } rows[] = {
      {"SERVERS x", "SERVER", 1, 0, 0, "SERVERS x"},
      {"  SERVER x", "SERVER", 1, 0, 1, " x"},
      {"INS_VERSION\n", "INS_VERSION", 0, 0, 0, "INS_VERSION\n"},
      {"INS_VERSION 2", "INS_VERSION", 0, 0, 1, " 2"},
      {"INS_VERSION\n", "INS_VERSION", 1, 0, 1, "\n"},
      {"END", "END", 1, 0, 1, ""},
      {"END", "END", 0, 0, 0, "END"},
      {"KEY=1", "KEY", 0, '=', 1, "=1"},
      {"KE", "KEY", 1, 0, 0, "KE"},
      {"\xC3\xA9t\xC3\xA9 x", "\xC3\xA9t\xC3\xA9", 0, 0, 1, " x"},
  };
  for (const row& r : rows) {
    xmap_class x(scratch_file(r.text));
    EXPECT_EQ(x.TXT_str_scan_match(r.word, r.may_end_line, r.terminator), r.want) << r.text;
    EXPECT_EQ(rest_of_window(x), r.after) << r.text;
  }
}

TEST(XmapScan, Integers) {
  struct row {
    const char* text;
    int want;
  } rows[] = {{"  -42 x", -42}, {"-+7", 7}, {"+ 5", 0}, {"12a", 169}, {"", 0}, {"-", 0},
              {"2147483648", -2147483647 - 1}, {"77\n1", 77}};
  for (const row& r : rows) {
    xmap_class x(scratch_file(r.text));
    EXPECT_EQ(x.TXT_int_scan(), r.want) << r.text;
  }
}

TEST(XmapScan, LinesAndWords) {
  xmap_class x(scratch_file("  hello world  \r\n\r\n\r\n  next word\tthird\nlast"));
  std::string s;
  x.TXT_str_scan_eoln(&s);
  EXPECT_EQ(s, "hello world  ");
  EXPECT_EQ(*x.mem_cur, 'n');
  x.TXT_str_scan_space(&s);
  EXPECT_EQ(s, "next");
  x.TXT_str_scan_space(&s);
  EXPECT_EQ(s, "word");
  x.TXT_str_scan_space(&s);
  EXPECT_EQ(s, "third");
  x.TXT_str_scan_space(&s);
  EXPECT_EQ(s, "");
  x.TXT_str_scan_eoln(nullptr);
  x.TXT_str_scan_eoln(&s);
  EXPECT_EQ(s, "last");
  EXPECT_EQ(x.mem_cur, x.mem_end);
  x.TXT_str_scan_eoln(&s);
  EXPECT_EQ(s, "");
}

// Every scanner, started at every byte of windows that end right before a
// page no one may read, stays inside the window.
TEST(XmapScan, NeverReadsPastTheWindow) {
  const long page = sysconf(_SC_PAGESIZE);
  char* area = static_cast<char*>(mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  ASSERT_NE(area, MAP_FAILED);
  ASSERT_EQ(mprotect(area + page, page, PROT_NONE), 0);
  const char* samples[] = {"I\n900 version\nDVD", "I\n900 ", "-", "-+", "12", "abc  ", "SERVER", "  \r\n\t",
                           "\xEF\xBB\xBFI", "i\x84\x03", "a", "A\n-12"};
  const int versions[] = {900, -12, 0};
  for (const char* s : samples) {
    const size_t len = strlen(s);
    char* beg = area + page - len;
    memcpy(beg, s, len);
    for (size_t at = 0; at <= len; ++at) {
      xmap_class x;
      x.not_owned = 1;
      x.mem_beg = beg;
      x.mem_end = beg + len;
      std::string out;
      x.mem_cur = beg + at;
      x.TXT_str_scan_match("SERVER", 1, 0);
      x.TXT_str_scan_match("abc", 0, '=');
      x.mem_cur = beg + at;
      x.TXT_int_scan();
      x.mem_cur = beg + at;
      x.TXT_str_scan_eoln(&out);
      x.mem_cur = beg + at;
      x.TXT_str_scan_space(&out);
      EXPECT_LE(x.mem_cur, x.mem_end);
      x.check_file(xmap_text, versions, "DVD", &out);
      x.check_file(xmap_binary, versions, "DVD", &out);
      EXPECT_LE(x.mem_cur, x.mem_end);
      x.mem_beg = nullptr;
    }
  }
  munmap(area, 2 * page);
}

TEST(XmapScan, LogsTheCurrentLine) {
  xer_capture cap;
  xmap_class x(scratch_file("first\r\nsecond\r\nthird line\r\nfourth"));
  x.mem_cur = x.mem_beg + std::string("first\r\nsecond\r\nthi").size();
  x.TXT_xer_line();
  EXPECT_EQ(cap.text(), "3 \"third line\"\n");
}

TEST(XmapRead, ReadWithByteSwap) {
  xmap_class x(scratch_file(std::string("a\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A", 11)));
  x.is_rev = 1;
  x.mem_cur = x.mem_beg + 1;
  unsigned char b[6];
  x.read_n_rev(b, 6);
  const unsigned char want[6] = {4, 3, 2, 1, 5, 6};
  EXPECT_EQ(memcmp(b, want, 6), 0);
  EXPECT_EQ(x.mem_cur, x.mem_beg + 7);
  EXPECT_DEATH(x.read_n_rev(b, 5), "");
}

TEST(XmapOpen, WindowsAndFailures) {
  xer_capture cap;
  std::string p = scratch_file("0123456789");
  xmap_class part(p, 3, 4);
  EXPECT_EQ(rest_of_window(part), "3456");
  xmap_class past(p, 8, 100);
  EXPECT_EQ(rest_of_window(past), "89");
  xmap_class::set_granularity(4);
  xmap_class rounded(p, 6, 3);
  xmap_class::set_granularity(0);
  EXPECT_EQ(rounded.mem_end - rounded.mem_beg, 5);
  EXPECT_EQ(rest_of_window(rounded), "678");

  xmap_class missing(p + ".missing");
  EXPECT_EQ(missing.mem_beg, nullptr);
  EXPECT_EQ(missing.fd, -1);
  EXPECT_EQ(missing.path, p + ".missing");
  xmap_class folder(test_scratch_dir("folder"));
  EXPECT_EQ(folder.mem_beg, nullptr);

  std::string empty = scratch_file("");
  xmap_class e(empty);
  EXPECT_NE(e.mem_beg, nullptr);
  EXPECT_EQ(e.mem_cur, e.mem_end);
  EXPECT_EQ(e.check_file(xmap_text, v10, nullptr, nullptr), 0);
  EXPECT_NE(cap.text().find("Warning: remaining file space is 0 and offset is 0 for file " + empty + "\n"),
            std::string::npos);
  e.retry(p, 0, 0);
  EXPECT_EQ(rest_of_window(e), "0123456789");
  e.close();
  EXPECT_EQ(e.mem_beg, nullptr);
  EXPECT_EQ(e.path, p);
}

TEST(XmapOpen, ResourcePathsAndAbsolutePathsWithColons) {
  std::string bundle = test_scratch_dir("bundle") + "App.app";
  ASSERT_EQ(test_run("mkdir -p '" + bundle + "/Contents/Resources'"), 0);
  ASSERT_TRUE(test_write_file(bundle + "/Contents/Resources/Thing.txt", "resource body"));
  std::string old = PLAT_bundle_path();
  PLAT_set_bundle_path(bundle);
  xmap_class r("RESOURCE:Thing.txt");
  xmap_class none("RESOURCE:Nothing.txt");
  xmap_class bare("RESOURCE:");
  PLAT_set_bundle_path(old);
  EXPECT_EQ(rest_of_window(r), "resource body");
  EXPECT_EQ(r.path, "RESOURCE:Thing.txt");
  EXPECT_EQ(none.mem_beg, nullptr);
  EXPECT_EQ(bare.mem_beg, nullptr);

  std::string colon = test_scratch_dir("colon") + "a:b";
  ASSERT_TRUE(test_write_file(colon, "x"));
  xmap_class c(colon);
  EXPECT_EQ(rest_of_window(c), "x");
}

TEST(XmapOpenDeathTest, BadRelativePathsEndTheProgram) {
  EXPECT_DEATH(xmap_class("dir\\file.txt"), "");
  EXPECT_DEATH(xmap_class("dir:file.txt"), "");
  EXPECT_DEATH(
      {
        app_path = "/some/root/";
        xmap_class("x/some/root/y.txt");
      },
      "");
  xmap_class x;
  EXPECT_DEATH(x.check_file(5, v10, nullptr, nullptr), "");
}

TEST(XmapWrite, HeadersOnTheSharedStream) {
  std::string root = test_scratch_dir("ouf");
  std::string saved = app_path;
  app_path = root;
  ASSERT_EQ(ouf_open("plain.TXT", xmap_text, 900, "no-copyright-string"), 1);
  ouf << "DVD\n" << 1.5f << "\n";
  ouf.close();
  EXPECT_FALSE(ouf.fail());
  EXPECT_EQ(test_read_file(root + "plain.txt"), "I\n900 version\nDVD\n1.500000\n");

  ASSERT_EQ(ouf_open("noted.txt", xmap_text, 10, " by us"), 1);
  ouf.close();
  EXPECT_EQ(test_read_file(root + "noted.txt"), "I\n10 version by us\n");

  ASSERT_EQ(ouf_open("bin.dat", xmap_binary, 900, "no-copyright-string"), 1);
  ouf << "body";
  ouf.close();
  EXPECT_EQ(test_read_file(root + "bin.dat"), std::string("i\x84\x03\0\0body", 9));

  // The folder is made on the second attempt; a missing grandparent is a warning.
  ASSERT_EQ(mkdir((root + "Output").c_str(), 0755), 0);
  EXPECT_EQ(ouf_open("Output/preferences/X.PRF", xmap_text, 10, "no-copyright-string"), 1);
  ouf.close();
  EXPECT_EQ(test_read_file(root + "Output/preferences/X.prf"), "I\n10 version\n");
  {
    xer_capture cap;
    EXPECT_EQ(ouf_open("Missing/preferences/X.prf", xmap_text, 10, "no-copyright-string"), 0);
    EXPECT_NE(cap.text().find("I could not save the file!"), std::string::npos);
  }
  app_path = saved;
}

TEST(XmapWrite, IoFileOpenBothWays) {
  std::string root = test_scratch_dir("io");
  const int versions[] = {7, 0};
  xmap_class w;
  ASSERT_EQ(w.io_file_open(1, root + "f.txt", versions, xmap_text), 1);
  ouf << "body\n";
  w.io_file_close();
  EXPECT_FALSE(ouf.is_open());
  xmap_class r;
  EXPECT_EQ(r.io_file_open(0, root + "f.txt", versions, xmap_text), 1);
  EXPECT_EQ(rest_of_window(r), "body\n");
  EXPECT_EQ(r.io_file_open(0, root + "none.txt", versions, xmap_text), 0);
  EXPECT_EQ(r.io_file_open(2, root + "f.txt", versions, xmap_text), 0);
}
