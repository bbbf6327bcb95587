// Disc sets whose archives try to reach a victim folder beside the
// installation through links, run after run; the user's own link into the
// installation; and the temporaries a killed unpack leaves. Sets are made by
// tests/fixtures/make_hostile_set.sh (zip, Python's zipfile, md5sum).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <set>
#include "core/globs.h"
#include "engine/engine_support.h"
#include "engine/utils_checksum.h"
#include "engine/utils_choose.h"
#include "engine/utils_dir.h"
#include "engine/utils_dirs.h"
#include "engine/utils_install.h"
#include "files/file_compress.h"
#include "files/file_errors.h"
#include "files/file_ops.h"
#include "support/test_env.h"

namespace {
const char* SET = "Duvizo Install";

std::string g_disc;  // the current run's disc, ending in '/'
std::string disc_root(int) { return g_disc; }

std::string quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// The names, kinds, link texts and md5sum digests of everything below
// folder: any change there shows.
std::string state_of(const std::string& folder) {
  return test_capture("cd " + quote(folder) + " && find . -printf '%p %y %l\\n' | LC_ALL=C sort && "
                      "find . -type f -exec md5sum {} + | LC_ALL=C sort");
}

std::string md5sum_of(const std::string& p) { return test_capture("md5sum < " + quote(p) + " | cut -d' ' -f1"); }

std::string link_text(const std::string& p) {
  std::string t;
  return is_sim_link(p, &t) ? t : "(no link)";
}

class Hostile : public testing::Test {
 protected:
  void SetUp() override {
    reset_engine_state();
    root = test_scratch_dir("hostile");
    victim = root + "victim/";
    dest_dir_path = root + "Sim/";
    temp_path = root + "tmp/";
    install_name = SET;
    ASSERT_EQ(0, test_run("mkdir -p " + quote(victim + "sub") + " " + quote(temp_path) + " && printf 'victim x\\n' > " +
                          quote(victim + "x.txt") + " && printf 'y\\n' > " + quote(victim + "sub/y.txt") +
                          " && printf 'v\\n' > " + quote(victim + "victim")));
  }
  void TearDown() override {
    install_files_kill();
    checksum_directory_kill();
    reset_engine_state();
    dvd_path.clear();
    test_run("rm -rf " + quote(root));
  }

  // Makes the set of shape and reads its directory, as the disc scan does.
  void load_set(const std::string& shape) {
    reset_engine_state();
    set = root + "set-" + shape + "/";
    ASSERT_EQ(0, test_run("bash '" DUV_FIXTURES_DIR "/make_hostile_set.sh' " + quote(set) + " " +
                          quote(root + "victim") + " " + shape));
    g_disc = set + "disc0/";
    dvd_path = g_disc;
    current_disk = 0;
    ASSERT_EQ(zip_to_file(dvd_path + SET + "/directory.txt.zip", temp_path, nullptr, 0), 0);
    ASSERT_EQ(read_directory(temp_path + "directory.txt", ""), 3);
    ASSERT_EQ(delete_file(temp_path + "directory.txt"), 0);
  }

  // One run of the install screen over the set of shape: scan, choose
  // (asking nothing), make the folders, delete, install.
  install_run run(const std::string& shape) {
    load_set(shape);
    scripted_questions q;
    EXPECT_TRUE(run_checksum_pass(0));
    recalc_disk_sizes();
    EXPECT_EQ(choose_files(), 1);
    EXPECT_TRUE(q.selected.empty());
    EXPECT_EQ(make_dirs(), 0);
    delete_files();
    int cursor = 0;
    install_run r = run_install_pass(disc_root, cursor);
    EXPECT_TRUE(r.finished);
    return r;
  }

  // The ordinary files of every set stand installed, files md5sum-correct
  // and links as links with their shipped text.
  void expect_ordinary_files() {
    const std::string m = set + "master/All/";
    for (const char* f : {"Resources/a.txt", "Resources/sub dir/b file.txt", "default data/a b.txt",
                          "Resources/plugins/Tessel.framework/Versions/A/Resources/info.txt"})
      EXPECT_EQ(md5sum_of(m + f), md5sum_of(dest_dir_path + f)) << f;
    for (const char* l : {"Resources/link.txt", "Resources/rel.txt", "Resources/plugins/Tessel.framework/Versions/Current",
                          "Resources/plugins/Tessel.framework/Resources"})
      EXPECT_EQ(link_text(m + l), link_text(dest_dir_path + l)) << l;
    // The inside links lead where they did on the master.
    EXPECT_EQ("default data\n", test_read_file(dest_dir_path + "Resources/rel.txt"));
    EXPECT_EQ("framework info\n", test_read_file(dest_dir_path + "Resources/plugins/Tessel.framework/Resources/info.txt"));
    EXPECT_EQ("", test_capture("find " + quote(dest_dir_path) + " -name '.duv-unpack*'"));
  }

  std::string root, victim, set;
};
}  // namespace

TEST_F(Hostile, NothingOutsideIsWrittenReadAsOfficialOrDeleted) {
  const struct {
    const char* what;
    std::vector<std::string> runs;  // a set shape per run, in order
    std::vector<int> errors;        // install errors of each run
    int code = EINVAL;              // what each error says
  } cases[] = {
      {"a link out, then a file through it in the same archive", {"link_then_file"}, {1}},
      {"a link out, then a file through it in a later run", {"plug_link", "plug_and_file"}, {1, 1}},
      {"a link turned outward by a later one, then a file through it", {"chain_1", "chain_2", "chain_3"}, {0, 0, 1}},
      {"a link turned outward by a later one, then a repair with GONE", {"chain_1", "chain_2", "chain_gone"}, {0, 0, 0}},
      {"an absolute link", {"absolute"}, {1}},
      {"chained links, the one that turns the other first", {"chain_l2_first"}, {1}},
      // Here the second link is refused before it can turn the first one
      // outward: its text is not the content the directory lists.
      {"chained links, the one turned outward first", {"chain_l1_first"}, {1}, err_content_mismatch},
      {"a link to an outside file, then a file of the same name", {"file_over_link"}, {1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(0, test_run("rm -rf " + quote(dest_dir_path)));
    const std::string before = state_of(victim);
    for (size_t k = 0; k < c.runs.size(); ++k) {
      SCOPED_TRACE("run " + std::to_string(k + 1) + ": " + c.runs[k]);
      const install_run r = run(c.runs[k]);
      EXPECT_EQ((size_t)c.errors[k], r.errors.size());
      for (const auto& e : r.errors) {
        EXPECT_EQ(c.code, e.first);
        const std::string said = c.code == EINVAL ? "I was unable to unzip the file " + temp_path
                                                  : "I was unable to install the file " + dest_dir_path;
        EXPECT_EQ(0u, e.second.rfind(said, 0)) << e.second;
      }
      EXPECT_EQ(before, state_of(victim));
      expect_ordinary_files();
    }
    // A last scan finds the ordinary files intact and takes nothing through
    // a link that leads out for present.
    ASSERT_TRUE(run_checksum_pass(0));
    for (int i = 0; i < (int)sim_info.size(); ++i) {
      const std::string& p = current_version(i).path;
      const bool hostile = p.find("/plug") != std::string::npos || p.find("/l1") != std::string::npos ||
                           p.find("/l2") != std::string::npos || p.find("/f.txt") != std::string::npos;
      if (p.find("/l1/") != std::string::npos) {
        EXPECT_EQ("NONE", current_version(i).sig_have) << p;
      } else if (!hostile) {
        EXPECT_EQ(1, current_version(i).up_to_date) << p;
      }
    }
  }
}

TEST_F(Hostile, TheUsersOwnLinkTakesAnInstallAndARepairThroughIt) {
  // Scenery moved to another drive and linked back, absolute, as ln -s makes it.
  const std::string moved = root + "drive/Mine/";
  ASSERT_EQ(0, test_run("mkdir -p " + quote(moved) + " " + quote(dest_dir_path + "Custom Scenery") +
                        " && printf 'tile v1\\n' > " + quote(moved + "tile.txt") + " && printf 'old\\n' > " +
                        quote(moved + "old.txt") + " && ln -s " + quote(root + "drive/Mine") + " " +
                        quote(dest_dir_path + "Custom Scenery/Mine")));
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass ? "repair of an older official version" : "install");
    const install_run r = run("scenery");
    EXPECT_TRUE(r.errors.empty());
    EXPECT_EQ("tile v2\n", test_read_file(moved + "tile.txt"));
    EXPECT_FALSE(test_run("test -e " + quote(moved + "old.txt")) == 0);
    EXPECT_EQ(root + "drive/Mine", link_text(dest_dir_path + "Custom Scenery/Mine"));
    expect_ordinary_files();
    ASSERT_TRUE(test_write_file(moved + "tile.txt", "tile v1\n"));
  }
}

TEST_F(Hostile, AKilledUnpackLeavesNoTemporaryAfterTheNextRun) {
  const std::string res = dest_dir_path + "Resources/";
  for (const char* next_run : {"install", "checksum"}) {
    SCOPED_TRACE(std::string("next run: ") + next_run);
    ASSERT_EQ(0, test_run("rm -rf " + quote(dest_dir_path)));
    load_set("big");
    // The child's writes stop at 1 MB, mid-unpack of the 8 MB file, and it
    // dies there by SIGKILL, as a run killed by the user does.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      signal(SIGXFSZ, [](int) { raise(SIGKILL); });
      struct rlimit lim = {1 << 20, 1 << 20};
      setrlimit(RLIMIT_FSIZE, &lim);
      for (file_history_struct& h : sim_info) h.versions.back().sig_have = "NONE";
      choose_files();
      make_dirs();
      int cursor = 0;
      run_install_pass(disc_root, cursor);
      _exit(0);
    }
    int st = 0;
    ASSERT_EQ(child, waitpid(child, &st, 0));
    ASSERT_TRUE(WIFSIGNALED(st) && WTERMSIG(st) == SIGKILL) << st;
    const std::string dead = ".duv-unpack-" + std::to_string(child) + "-";
    ASSERT_NE("", test_capture("ls -A " + quote(res) + " | grep -F -- " + quote(dead)));
    // Names of other shapes, and a live run's, are not the sweep's.
    const std::string live = ".duv-unpack-" + std::to_string(getpid()) + "-7";
    for (const std::string& keep : {live, std::string(".duv-unpack-notes"), dead + "x"})
      ASSERT_TRUE(test_write_file(res + keep, "keep"));

    if (std::string(next_run) == "install") {
      load_set("big");
      for (file_history_struct& h : sim_info) h.versions.back().sig_have = "NONE";
      scripted_questions q;
      ASSERT_EQ(choose_files(), 1);
      ASSERT_EQ(make_dirs(), 0);
      int cursor = 0;
      const install_run r = run_install_pass(disc_root, cursor);
      ASSERT_TRUE(r.finished);
      EXPECT_TRUE(r.errors.empty());
      EXPECT_EQ(md5sum_of(set + "master/All/Resources/big.bin"), md5sum_of(res + "big.bin"));
    } else {
      ASSERT_TRUE(run_checksum_pass(0));
    }
    std::set<std::string> kept = {live, ".duv-unpack-notes", dead + "x"};
    std::string want;
    for (const std::string& k : kept) want += k + "\n";
    EXPECT_EQ(want, test_capture("ls -A " + quote(res) + " | grep -F .duv-unpack | LC_ALL=C sort"));
  }
}
