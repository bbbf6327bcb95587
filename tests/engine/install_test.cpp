// The whole engine over a two-disc set made by zip, 7zz and md5sum: read the
// directory, scan, choose, make folders, delete, install disc after disc,
// scan again.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include "core/globs.h"
#include "engine/engine_support.h"
#include "files/file_compress.h"
#include "files/file_errors.h"
#include "files/file_paths.h"
#include "files/file_ops.h"
#include "engine/utils_alerts.h"
#include "engine/utils_checksum.h"
#include "engine/utils_counts.h"
#include "engine/utils_choose.h"
#include "engine/utils_dir.h"
#include "engine/utils_dirs.h"
#include "engine/utils_install.h"
#include "files/test_child.h"
#include "support/test_env.h"

namespace {
const char* SET = "Duvizo Install";
std::string g_set;  // the fixture set's folder

std::string disc_root(int n) { return g_set + "/disc" + std::to_string(n) + "/"; }

// Indices of the fixture's files in the table.
enum { f_old, f_a, f_b, f_empty, f_link, f_retired, f_mac, f_tile, f_late, f_count };

std::string mode_of(const std::string& p) {
  struct stat st;
  if (lstat(p.c_str(), &st)) return "missing";
  char buf[8];
  snprintf(buf, sizeof buf, "%o", st.st_mode & 0777);
  return buf;
}

std::string md5sum_of(const std::string& p) {
  std::string out = test_capture("md5sum < '" + p + "' | cut -d' ' -f1");
  if (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

int entries_in(const std::string& folder) {
  return atoi(test_capture("ls -A '" + folder + "' | wc -l").c_str());
}

class InstallPass : public testing::Test {
 protected:
  void SetUp() override {
    reset_engine_state();
    root = test_scratch_dir("install");
    g_set = root + "set";
    ASSERT_EQ(test_run("bash '" DUV_FIXTURES_DIR "/make_disc_set.sh' '" + g_set + "'"), 0);
    temp_path = root + "tmp/";
    ASSERT_EQ(mkdir(temp_path.c_str(), 0700), 0);
    dest_dir_path = root + "Sim/";
    install_name = SET;
    current_disk = 0;
    dvd_path = disc_root(0);
    // As the disc scan does: unpack the directory into the temporary folder.
    ASSERT_EQ(zip_to_file(dvd_path + SET + "/directory.txt.zip", temp_path, nullptr, 0), 0);
    ASSERT_EQ(read_directory(temp_path + "directory.txt", ""), 3);
    ASSERT_EQ((int)sim_info.size(), f_count);
    ASSERT_EQ(delete_file(temp_path + "directory.txt"), 0);
    stg.platform = 1;
    set_install_filter(1, 1);
    stg.want_cells[5][13] = 1;
  }
  void TearDown() override {
    install_files_kill();
    checksum_directory_kill();
    reset_engine_state();
    dvd_path.clear();
  }
  // The install screen's first frame, then its frames until done.
  install_run install(int expect_choose = 1) {
    EXPECT_TRUE(run_checksum_pass(0));
    recalc_disk_sizes();
    EXPECT_EQ(choose_files(), expect_choose);
    EXPECT_EQ(make_dirs(), 0);
    delete_files();
    int cursor = 0;
    current_disk = 0;
    dvd_path = disc_root(0);
    return run_install_pass(disc_root, cursor);
  }
  std::string installed(int i) { return installed_path(i); }
  std::string master(int i) { return g_set + "/master/" + current_version(i).path; }
  std::string archive(int i) { return disc_root(current_version(i).disk) + SET + "/" + current_version(i).path + suffix_for_file(i); }
  std::string root;
};
}  // namespace

TEST_F(InstallPass, AFreshInstallTakesEveryFileDiscByDisc) {
  scripted_questions q;
  const install_run run = install();
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.results, (std::vector<int>{2, 1}));  // the tile's disc, then done
  EXPECT_TRUE(run.errors.empty());
  EXPECT_TRUE(q.selected.empty());
  EXPECT_EQ(current_disk, 1);
  for (int i : {f_old, f_a, f_b, f_empty, f_mac, f_tile, f_late}) {
    EXPECT_EQ(test_read_file(installed(i)), test_read_file(master(i))) << installed(i);
    EXPECT_EQ(current_version(i).up_to_date, 1) << i;
  }
  std::string target;
  EXPECT_EQ(is_sim_link(installed(f_link), &target), 1);
  EXPECT_EQ(target, "a.txt");
  EXPECT_EQ(mode_of(installed(f_mac)), "755");  // stored 0644, made executable
  EXPECT_EQ(mode_of(installed(f_a)), "644");
  EXPECT_EQ(mode_of(installed(f_retired)), "missing");
  EXPECT_EQ(entries_in(temp_path), 0);

  // A full scan afterwards agrees with md5sum on every current file.
  for (auto& h : sim_info) h.versions.back().up_to_date = 0;
  ASSERT_TRUE(run_checksum_pass(0));
  for (int i : {f_old, f_a, f_b, f_empty, f_mac, f_tile, f_late}) {
    EXPECT_EQ(current_version(i).sig_have, md5sum_of(installed(i))) << i;
    EXPECT_EQ(current_version(i).up_to_date, 1) << i;
  }
  EXPECT_EQ(current_version(f_link).up_to_date, 1);
  EXPECT_EQ(current_version(f_retired).sig_have, "NONE");
  recalc_disk_sizes();
  EXPECT_EQ(stg.files_to_install, 0);
  EXPECT_EQ(stg.files_to_delete, 0);
}

TEST_F(InstallPass, TheTargetPlatformFiltersFiles) {
  stg.platform = 2;
  scripted_questions q;
  const install_run run = install();
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(mode_of(installed(f_mac)), "missing");
  EXPECT_EQ(mode_of(dest_dir_path + "Duvizo.app"), "missing");
  EXPECT_EQ(test_read_file(installed(f_late)), test_read_file(master(f_late)));
}

TEST_F(InstallPass, KnownOldContentIsReplacedAndChangedContentAsks) {
  scripted_questions q;
  ASSERT_TRUE(install().finished);
  ASSERT_TRUE(test_write_file(installed(f_old), "old content v1\n"));  // an older official version
  ASSERT_TRUE(test_write_file(installed(f_retired), "retired\n"));     // the GONE file's old content
  ASSERT_TRUE(test_write_file(installed(f_a), "changed by the user\n"));
  q.select_answers = {sel_keep};
  ASSERT_TRUE(run_checksum_pass(0));
  ASSERT_EQ(choose_files(), 1);
  ASSERT_EQ(q.selected.size(), 1u);
  EXPECT_EQ(q.selected[0], std::make_pair(installed(f_a), 0));
  EXPECT_EQ(current_version(f_old).do_install, 1);
  EXPECT_EQ(current_version(f_retired).do_delete, 1);
  EXPECT_EQ(current_version(f_a).do_install, 0);

  ASSERT_TRUE(test_write_file(installed(f_retired), "something else\n"));
  q.selected.clear();
  q.select_answers = {sel_keep, sel_act};
  ASSERT_TRUE(run_checksum_pass(0));
  ASSERT_EQ(choose_files(), 1);
  ASSERT_EQ(q.selected.size(), 2u);
  EXPECT_EQ(q.selected[1], std::make_pair(installed(f_retired), 1));
  delete_files();
  EXPECT_EQ(mode_of(installed(f_retired)), "missing");
  EXPECT_EQ(test_read_file(installed(f_a)), "changed by the user\n");
}

// The tally of a pass (installed, failed, kept, deleted): a fresh install,
// then one over it in which the user keeps the file he changed, a retired
// file goes and a file whose archive left the disc fails.
TEST_F(InstallPass, EachPassCountsWhatItDidWithEveryFile) {
  scripted_questions q;
  pass_counts_reset();
  ASSERT_TRUE(install().finished);
  EXPECT_EQ(counted(), "8 0 0 0");

  ASSERT_TRUE(test_write_file(installed(f_a), "changed by the user\n"));
  ASSERT_TRUE(test_write_file(installed(f_retired), "retired\n"));  // its old official content
  ASSERT_EQ(unlink(installed(f_b).c_str()), 0);
  ASSERT_EQ(unlink(archive(f_b).c_str()), 0);
  q.select_answers = {sel_keep};
  pass_counts_reset();
  const install_run run = install();
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.errors.size(), 1u);
  EXPECT_EQ(counted(), "0 1 1 1");
  pass_counts_reset();
  EXPECT_EQ(counted(), "0 0 0 0");
}

TEST_F(InstallPass, ADamagedFileIsFoundByAFullScanAndReinstalled) {
  scripted_questions q;
  ASSERT_TRUE(install().finished);
  ASSERT_TRUE(test_write_file(installed(f_b), "damaged"));
  ASSERT_TRUE(run_checksum_pass(1));  // a quick scan sees only presence
  EXPECT_EQ(current_version(f_b).up_to_date, 1);
  q.select_answers = {sel_act};
  const install_run run = install();
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(q.selected.size(), 1u);
  EXPECT_EQ(test_read_file(installed(f_b)), test_read_file(master(f_b)));
  EXPECT_EQ(run.results, (std::vector<int>{1}));  // nothing else needed, not even the second disc
}

TEST_F(InstallPass, FailedFilesAreReportedOnceAndThePassGoesOn) {
  ASSERT_EQ(unlink(archive(f_a).c_str()), 0);                                    // missing on the disc
  ASSERT_TRUE(test_write_file(archive(f_b), "not an archive"));                  // damaged
  ASSERT_EQ(test_run("cd '" + root + "' && mkdir -p 'other' && echo x > other/other.txt && zip -q -X -j '" +
                     archive(f_late) + ".new' other/other.txt && mv '" + archive(f_late) + ".new' '" +
                     archive(f_late) + "'"),
            0);                                                                  // holds another name
  ASSERT_EQ(test_run("cd '" + root + "' && mkdir -p only_a_folder && rm -f '" + archive(f_empty) +
                     "' && zip -q -X '" + archive(f_empty) + "' only_a_folder/"),
            0);                                                                  // unpacks nothing
  scripted_questions q;
  const install_run run = install();
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(std::count(run.results.begin(), run.results.end(), 3), 4);
  ASSERT_EQ(run.errors.size(), 4u);
  int copy_errors = 0, unzip_errors = 0;
  for (const auto& e : run.errors) {
    EXPECT_NE(e.first, 0);
    if (e.second == "I was unable to copy the file " + archive(f_a) + " from the DVD to the hard drive.") ++copy_errors;
    if (e.second.rfind("I was unable to unzip the file " + temp_path, 0) == 0) ++unzip_errors;
  }
  EXPECT_EQ(copy_errors, 1);
  EXPECT_EQ(unzip_errors, 3);
  for (int i : {f_a, f_b, f_empty, f_late}) EXPECT_EQ(current_version(i).up_to_date, 0) << i;
  EXPECT_EQ(mode_of(installed(f_late)), "missing");
  for (int i : {f_old, f_mac, f_tile}) EXPECT_EQ(current_version(i).up_to_date, 1) << i;
  std::string msg = "x";
  EXPECT_EQ(install_files_get_error(msg), 0);  // each error is handed out once
  EXPECT_EQ(msg, "");
  EXPECT_EQ(entries_in(temp_path), 0);  // failed tasks leave no copies behind
}

// A copy from the disc that fails part way (the tile's archive is 300 KB)
// leaves no partial archive in the temporary folder; the pass goes on. Each
// case runs in a child of its own, where the limit holds.
TEST_F(InstallPass, ACopyThatFailsPartWayLeavesNoPartialArchive) {
  auto pass = [&] {
    scripted_questions q;
    const install_run run = install();
    const std::string copy_failed = "I was unable to copy the file " + archive(f_tile) + " from the DVD to the hard drive.";
    if (!run.finished) return 1;
    if (run.errors.size() != 1 || run.errors[0].second != copy_failed) return 2;
    if (entries_in(temp_path) != 0) return 3;
    if (current_version(f_tile).up_to_date || !current_version(f_late).up_to_date) return 4;
    return 0;
  };
  const struct {
    const char* name;
    int (*run)(const std::string& temp, const std::function<int()>& pass);
  } cases[] = {
      {"full temporary folder",
       [](const std::string& temp, const std::function<int()>& fn) { return test_with_tmpfs(temp, false, 100, nullptr, fn); }},
      {"file size limit",
       [](const std::string&, const std::function<int()>& fn) {
         return test_in_child([&] {
           // Writes past the limit fail with EFBIG instead of ending the process.
           signal(SIGXFSZ, SIG_IGN);
           const struct rlimit lim = {100000, 100000};
           return setrlimit(RLIMIT_FSIZE, &lim) == 0 ? fn() : k_child_unsupported;
         });
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const int r = c.run(temp_path, pass);
    if (r == k_child_unsupported) {
      std::cerr << c.name << ": cannot be set up here\n";
      continue;
    }
    EXPECT_EQ(0, r);
  }
}

TEST_F(InstallPass, KillFinishesWhatIsQueuedAndAllowsAFreshStart) {
  scripted_questions q;
  pass_counts_reset();
  ASSERT_TRUE(run_checksum_pass(0));
  ASSERT_EQ(choose_files(), 1);
  ASSERT_EQ(make_dirs(), 0);
  int cursor = 0;
  EXPECT_EQ(install_files(cursor, 0), 0);
  EXPECT_EQ(cursor, f_tile);  // every file of the first disc is queued
  EXPECT_EQ(install_files_kill(), 1);
  EXPECT_EQ(install_files_kill(), 1);
  EXPECT_EQ(counted(), "6 0 0 0");  // what the kill finished counts
  for (int i : {f_old, f_a, f_b, f_empty, f_link, f_mac}) EXPECT_EQ(current_version(i).up_to_date, 1) << i;
  EXPECT_EQ(current_version(f_tile).up_to_date, 0);
  EXPECT_EQ(entries_in(temp_path), 0);
  const install_run run = run_install_pass(disc_root, cursor);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.results, (std::vector<int>{2, 1}));
  EXPECT_EQ(current_version(f_late).up_to_date, 1);
}

// Valid archives whose content is not what the directory says (a mastering
// mistake, a stale disc): a zip, a 7z and a link. None may count as
// installed, and none may cost a good copy already in place.
TEST_F(InstallPass, WrongContentIsNeverTakenAsInstalled) {
  const struct {
    int file;
    const char* tool;
    const char* make;  // makes the wrong file under its own name
  } cases[] = {
      {f_a, "zip", "printf 'not alpha\\n' > a.txt"},
      {f_tile, "7z", "head -c 5000 /dev/urandom > +47-123.dsf"},
      {f_link, "zip", "ln -s old.txt link.txt"},
  };
  auto ship_wrong = [&] {
    for (const auto& c : cases) {
      std::string name;
      get_file_with_path(name, installed(c.file));
      const std::string work = root + "wrong" + std::to_string(c.file);
      const std::string pack = std::string(c.tool) == "7z" ? "7zz a -bd -y '" + archive(c.file) + "' '" + name + "' >/dev/null"
                                                           : "zip -q -y -X '" + archive(c.file) + "' '" + name + "'";
      ASSERT_EQ(test_run("rm -rf '" + work + "' && mkdir '" + work + "' && cd '" + work + "' && " + c.make + " && cp '" +
                         archive(c.file) + "' '" + archive(c.file) + ".good' && rm '" + archive(c.file) + "' && " + pack),
                0);
    }
  };
  auto ship_good = [&] {
    for (const auto& c : cases) ASSERT_EQ(rename((archive(c.file) + ".good").c_str(), archive(c.file).c_str()), 0);
  };
  auto expect_one_error_each = [&](const install_run& run) {
    ASSERT_TRUE(run.finished);
    ASSERT_EQ(run.errors.size(), 3u);
    for (const auto& c : cases) {
      const std::string msg = "I was unable to install the file " + installed(c.file) +
                              " because its content on the DVD does not match the disc set's directory.";
      int seen = 0;
      for (const auto& e : run.errors) seen += e.first == err_content_mismatch && e.second == msg;
      EXPECT_EQ(seen, 1) << msg;
    }
    EXPECT_EQ(entries_in(temp_path), 0);
    EXPECT_EQ(test_capture("find '" + dest_dir_path + "' -name '.duv-unpack*'"), "");  // no stray temporary
  };
  std::string target;

  // A fresh install leaves the three out and installs the rest.
  ship_wrong();
  scripted_questions q;
  expect_one_error_each(install());
  for (const auto& c : cases) {
    EXPECT_EQ(mode_of(installed(c.file)), "missing") << c.file;
    EXPECT_EQ(current_version(c.file).up_to_date, 0) << c.file;
    EXPECT_EQ(current_version(c.file).sig_have, "NONE") << c.file;
  }
  for (int i : {f_old, f_b, f_empty, f_mac, f_late}) EXPECT_EQ(md5sum_of(installed(i)), current_version(i).sig_want) << i;
  EXPECT_EQ(mode_of(installed(f_mac)), "755");

  // Good discs then install them without a question.
  ship_good();
  const install_run good = install();
  ASSERT_TRUE(good.finished);
  EXPECT_TRUE(good.errors.empty());
  EXPECT_TRUE(q.selected.empty());
  EXPECT_TRUE(q.aborted.empty());
  EXPECT_EQ(md5sum_of(installed(f_a)), current_version(f_a).sig_want);
  EXPECT_EQ(md5sum_of(installed(f_tile)), current_version(f_tile).sig_want);
  ASSERT_EQ(is_sim_link(installed(f_link), &target), 1);
  EXPECT_EQ(target, "a.txt");

  // Wrong archives over the good copies keep those byte for byte.
  ship_wrong();
  for (auto& h : sim_info) h.versions.back().do_install = 0;
  for (const auto& c : cases) current_version(c.file).do_install = 1;
  const std::string a_before = test_read_file(installed(f_a)), tile_before = test_read_file(installed(f_tile));
  int cursor = 0;
  current_disk = 0;
  dvd_path = disc_root(0);
  expect_one_error_each(run_install_pass(disc_root, cursor));
  EXPECT_EQ(test_read_file(installed(f_a)), a_before);
  EXPECT_EQ(test_read_file(installed(f_tile)), tile_before);
  ASSERT_EQ(is_sim_link(installed(f_link), &target), 1);
  EXPECT_EQ(target, "a.txt");
  for (const auto& c : cases) {
    EXPECT_EQ(current_version(c.file).up_to_date, 1) << c.file;
    EXPECT_EQ(current_version(c.file).sig_have, current_version(c.file).sig_want) << c.file;
  }
}
