#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "core/globs.h"
#include "core/utl_cmdline.h"
#include "support/test_env.h"

namespace {

// Sends the log to a file of its own for one test and gives back what was written.
class LogCapture {
 public:
  LogCapture() : path_(test_scratch_dir("cmdline-log") + "log.txt") {
    std::lock_guard<std::recursive_mutex> l(xer_mutex());
    xer.open(path_);
  }
  std::string text() {
    {
      std::lock_guard<std::recursive_mutex> l(xer_mutex());
      if (xer.is_open()) xer.close();
      xer.clear();
    }
    return test_read_file(path_);
  }
  ~LogCapture() { text(); }

 private:
  std::string path_;
};

void parse(UTL_cmdline& c, std::vector<const char*> args) {
  args.insert(args.begin(), "/path/to/program");
  c.init_unix((int)args.size(), args.data());
}

TEST(Cmdline, NamesValuesAndTheLogEcho) {
  LogCapture log;
  UTL_cmdline c;
  parse(c, {"--lang=pt=BR", "--no_vbos", "--empty=", "-path", "/Users/me/My Folder/", "=odd", "--pref:_log_actions=1",
            "--dref:sim/view/zoom=2.5", "-psn_0_12345"});
  EXPECT_EQ(c.get_option("--lang"), "pt=BR");  // later '=' belong to the value
  EXPECT_EQ(c.has_option("--no_vbos"), 1);
  EXPECT_EQ(c.get_option("--no_vbos"), "");
  EXPECT_EQ(c.has_option("--empty"), 1);  // a trailing '=' is the same as none
  EXPECT_EQ(c.get_option("--empty"), "");
  // "-path" and its folder are stored as two names; the entry reads them by position.
  EXPECT_EQ(c.has_option("-path"), 1);
  EXPECT_EQ(c.has_option("/Users/me/My Folder/"), 1);
  EXPECT_EQ(c.get_option(""), "odd");
  EXPECT_EQ(c.get_option("--pref:_log_actions"), "1");
  EXPECT_EQ(c.get_option("--dref:sim/view/zoom"), "2.5");
  EXPECT_EQ(c.has_option("-psn_0_12345"), 1);
  EXPECT_EQ(c.has_option("--LANG"), 0);
  EXPECT_EQ(c.has_option("--absent"), 0);
  EXPECT_EQ(c.get_option("--absent"), "");
  EXPECT_EQ(c.options.size(), 9u);

  const std::string text = log.text();
  EXPECT_NE(text.find("     '--lang'='pt=BR'\n"), std::string::npos) << text;
  EXPECT_NE(text.find("     '--no_vbos'\n"), std::string::npos);
  EXPECT_NE(text.find("     '--empty'\n"), std::string::npos);
  EXPECT_NE(text.find("     '-path'\n"), std::string::npos);
  EXPECT_EQ(text.find("WARNING"), std::string::npos);
}

TEST(Cmdline, RepeatedOptionKeepsTheLastValueAndWarns) {
  LogCapture log;
  UTL_cmdline c;
  parse(c, {"--num_workers=2", "--num_workers=5", "--lang", "--lang="});
  EXPECT_EQ(c.get_option("--num_workers"), "5");
  EXPECT_EQ(c.get_option("--lang"), "");
  const std::string text = log.text();
  EXPECT_NE(text.find("WARNING: command line option --num_workers=5used twice.\n"), std::string::npos) << text;
  EXPECT_NE(text.find("WARNING: command line option --lang=used twice.\n"), std::string::npos) << text;
}

TEST(Cmdline, OneTextSplitAtWhiteSpace) {
  LogCapture log;
  UTL_cmdline c;
  c.init_win("  --a=1   -b  =c\t--d=x=y\r\n--e ");
  EXPECT_EQ(c.get_option("--a"), "1");
  EXPECT_EQ(c.has_option("-b"), 1);
  EXPECT_EQ(c.get_option("--d"), "x=y");
  EXPECT_EQ(c.has_option("--e"), 1);
  EXPECT_EQ(c.has_option(""), 0);  // the word =c is skipped
  EXPECT_EQ(c.options.size(), 4u);
  UTL_cmdline empty;
  empty.init_win("");
  EXPECT_TRUE(empty.options.empty());
}

TEST(Cmdline, DataReferencesChangeNothing) {
  LogCapture log;
  UTL_cmdline c;
  parse(c, {"--dref:", "--dref:a/b=1", "--drefx=2"});
  const auto before = c.options;
  c.set_datarefs();
  EXPECT_EQ(c.options, before);
}

// The real program, started with options that answer and exit.
std::string run_app(const std::string& args, int* status) {
  return test_capture("cd / && timeout 60 \"" DUV_APP_EXE "\" " + args + " 2>/dev/null", status);
}

TEST(CmdlineApp, VersionPrintsNameVersionAndBuildDate) {
  int status = -1;
  const std::string out = run_app("--version", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out.rfind("Duvizo REV Aridazevu 2.06r1 (built ", 0), 0u) << out;
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
}

TEST(CmdlineApp, HelpAndShortHelpPrintTheUsage) {
  for (const char* opt : {"--help", "-h"}) {
    int status = -1;
    const std::string out = run_app(opt, &status);
    EXPECT_EQ(status, 0) << opt;
    EXPECT_EQ(out.rfind("Usage: Duvizo [options...]\n", 0), 0u) << opt;
    for (const char* heading : {"OPTIONS TO AUTO-CONFIGURE DUVIZO", "OPTIONS TO DISABLE HARDWARE ACCELERATION",
                                "OPTIONS TO ENABLE INCOMPATIBLE HARDWARE ACCELERATION", "FRAMERATE TEST",
                                "--pref:<key>=<value>", "--no_threaded_ogl", "--qa_script=<file>"})
      EXPECT_NE(out.find(heading), std::string::npos) << heading;
  }
}

TEST(CmdlineApp, CommandListings) {
  int status = -1;
  EXPECT_EQ(run_app("--cmnds", &status), "sim/\n");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(run_app("--cmnds=sim/", &status), "general/\nnone/\noperation/\n");  // sorted
  EXPECT_EQ(run_app("--cmnds=sim/operation/", &status), "quicktime_record_toggle\nquit\nscreenshot\n");
  EXPECT_EQ(run_app("--cmnds=nowhere/", &status), "");
  EXPECT_EQ(status, 0);

  // "--cmnds" wins over "-h".
  const std::string all = run_app("-h --cmnds=all", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(all.find("Usage"), std::string::npos);
  char first[200];
  snprintf(first, sizeof(first), "%-50s %s\n", "sim/none/none", "Do nothing at all!");
  EXPECT_EQ(all.rfind(first, 0), 0u) << all;
  EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 28);
}

}  // namespace
