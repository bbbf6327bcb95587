#include "disc_set_support.h"
#include <gtest/gtest.h>
#include <sstream>
#include "support/test_env.h"

std::string sample_discs() { return std::string(DUV_BINARY_DIR) + "/sample_discs/"; }

std::string sh_quote(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string fresh_master() {
  const std::string dir = test_scratch_dir("master") + "m/";
  EXPECT_EQ(test_run("bash " + sh_quote(std::string(DUV_SOURCE_DIR) + "/tools/make_sample_master.sh") + " " +
                     sh_quote(dir)),
            0);
  return dir;
}

tool_run run_disc_set(const std::string& args, const std::string& cwd) {
  const std::string home = test_scratch_dir("tool_home");
  tool_run r;
  const std::string go = cwd.empty() ? "" : "cd " + sh_quote(cwd) + " && ";
  r.stdout_text = test_capture(go + "env HOME=" + sh_quote(home) + " XDG_CONFIG_HOME=" + sh_quote(home + ".config") +
                                   " " + sh_quote(DUV_MAKE_DISC_SET) + " --qa_script " + args + " 2>&1",
                               &r.status);
  r.log = test_read_file(home + "Desktop/Duvizo Installer Log.txt");
  return r;
}

std::string alert_lines(const std::string& log) {
  // An alert is logged as an empty line, its four lines and its location.
  std::string out;
  std::istringstream in(log);
  std::string line, prev = "x";
  while (std::getline(in, line)) {
    if (prev.empty() && !line.empty()) out += line + "\n";
    prev = line;
  }
  return out;
}

std::vector<dir_entry> dir_file::of(const std::string& path) const {
  std::vector<dir_entry> out;
  for (const dir_entry& e : files)
    if (e.path() == path) out.push_back(e);
  return out;
}

dir_file read_set_directory(const std::string& zip_path) {
  dir_file d;
  std::istringstream in(test_capture("unzip -p " + sh_quote(zip_path) + " directory.txt"));
  std::string line, folder;
  int disk = 0;
  while (std::getline(in, line)) {
    d.lines.push_back(line);
    if (line.rfind("DIR ", 0) == 0) {
      folder = line.substr(4);
    } else if (line.rfind("DISK ", 0) == 0) {
      disk = std::stoi(line.substr(5));
      ++d.disk_lines;
    } else if (line.rfind("FILE ", 0) == 0) {
      std::istringstream f(line.substr(5));
      dir_entry e;
      int zero = 0;
      f >> zero >> e.platform >> e.version >> e.comp_kb >> e.exp_kb >> e.md5;
      f.get();
      std::getline(f, e.name);
      e.folder = folder;
      e.disk = disk;
      e.line = (int)d.lines.size() - 1;
      d.files.push_back(e);
    }
  }
  return d;
}
