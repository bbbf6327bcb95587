// Whole runs of the tool: where a disc ends, and the change log a web set
// writes from the previous directory.
#include <gtest/gtest.h>
#include "disc_set_support.h"
#include "support/test_env.h"

namespace {

std::string dir_zip(const std::string& dst, const std::string& disc) {
  return dst + disc + "Duvizo 10/directory.txt.zip";
}

// The archive kilobytes of the sample set, summed in file order up to and
// including the file at path.
long long running_total(const dir_file& d, const std::string& path) {
  long long total = 0;
  for (const dir_entry& e : d.files) {
    total += e.comp_kb;
    if (e.path() == path) return total;
  }
  return -1;
}

// The path of the first file on disc 1.
std::string first_on_second_disc(const dir_file& d) {
  for (const dir_entry& e : d.files)
    if (e.disk == 1) return e.path();
  return "";
}

TEST(DiscSetBuilds, ADiscTakesArchivesUpToItsLimitAndTheNextFileStartsTheNext) {
  const dir_file sample = read_set_directory(sample_discs() + "disk_0/Duvizo 10/directory.txt.zip");
  const std::string orbit = "All/Resources/bitmaps/Earth Orbit Textures/orbit.png";
  const long long at_orbit = running_total(sample, orbit);
  ASSERT_GT(at_orbit, 0);
  const std::string m = fresh_master();
  struct {
    long long limit;
    const char* first_on_disc_1;  // the file after orbit.png that carries archive bytes, or the one right after
  } cases[] = {{at_orbit, "All/Resources/plugins/Commands.txt"},
               {at_orbit - 1, "All/Resources/bitmaps/interface/copy.png"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.limit);
    const std::string dst = test_scratch_dir("split") + "set/";
    const tool_run run = run_disc_set("--type=1 --disc_kb=" + std::to_string(c.limit) + " --src=" + sh_quote(m) +
                                      " --dst=" + sh_quote(dst));
    ASSERT_EQ(run.status, 0) << alert_lines(run.log);
    const dir_file d = read_set_directory(dir_zip(dst, "disk_0/"));
    EXPECT_EQ(d.disk_lines, 1);
    EXPECT_EQ(first_on_second_disc(d), c.first_on_disc_1);
    const std::string archive = dst + "disk_1/Duvizo 10/" + c.first_on_disc_1 + ".zip";
    EXPECT_EQ(test_run("test -f " + sh_quote(archive)), 0) << archive;
    EXPECT_NE(run.stdout_text.find("Going to next disk - last file on disk 0 was "), std::string::npos);
  }
}

TEST(DiscSetBuilds, DiscsBeyondTheSixthGetTheirFoldersMadeAsTheyAreReached) {
  const std::string m = fresh_master();
  const std::string dst = test_scratch_dir("many") + "set/";
  const tool_run run = run_disc_set("--type=1 --disc_kb=0 --src=" + sh_quote(m) + " --dst=" + sh_quote(dst));
  ASSERT_EQ(run.status, 0) << alert_lines(run.log);
  const dir_file d = read_set_directory(dir_zip(dst, "disk_0/"));
  EXPECT_GT(d.disk_lines, 8);
  for (const dir_entry& e : d.files) {
    const std::string suffix = e.path().find("Global Scenery") != std::string::npos ? ".7z" : ".zip";
    const std::string archive = dst + "disk_" + std::to_string(e.disk) + "/Duvizo 10/" + e.path() + suffix;
    EXPECT_EQ(test_run("test -f " + sh_quote(archive)), 0) << archive;
  }
}

TEST(DiscSetBuilds, ATileOnAnotherVolumeIsCopiedWhereItCannotBeLinked) {
  // /dev/shm is a memory file system of its own, so links from it to the
  // scratch folder fail with EXDEV.
  const std::string shm = test_capture("mktemp -d /dev/shm/duv-master-XXXXXX | tr -d '\\n'") + "/";
  ASSERT_NE(shm, "/");
  const std::string dst = test_scratch_dir("xdev") + "set/";
  ASSERT_EQ(test_run("cp -a " + sh_quote(fresh_master()) + " " + sh_quote(shm + "m")), 0);
  if (test_capture("stat -c %d /dev/shm") == test_capture("stat -c %d " + sh_quote(test_outer_tmp()))) {
    test_run("rm -rf " + sh_quote(shm));
    GTEST_SKIP() << "/dev/shm lies on the scratch folder's volume here";
  }
  const tool_run run = run_disc_set("--type=1 --src=" + sh_quote(shm + "m/") + " --dst=" + sh_quote(dst));
  EXPECT_EQ(run.status, 0) << alert_lines(run.log);
  const std::string tile = "All/Global Scenery/-global terrain-/+40-130/+47-123.dsf.7z";
  EXPECT_EQ(test_run("cmp " + sh_quote(shm + "m/" + tile) + " " + sh_quote(dst + "disk_0/Duvizo 10/" + tile)), 0);
  test_run("rm -rf " + sh_quote(shm));
}

TEST(DiscSetBuilds, AWebSetCarriesTheChangeLogOfTheSetBeforeIt) {
  // The previous directory: the sample set's, plus a file retired long ago.
  const std::string work = test_scratch_dir("web");
  const std::string old_dir = work + "directory_old.txt";
  ASSERT_EQ(test_run("unzip -p " + sh_quote(sample_discs() + "disk_0/Duvizo 10/directory.txt.zip") +
                     " directory.txt > " + sh_quote(old_dir)),
            0);
  ASSERT_EQ(test_run("printf '\\nDIR All/Instructions/\\nFILE 0 0 7 1 1 0123456789abcdef0123456789abcdef old.txt\\n"
                     "FILE 0 0 100001 0 0 GONE old.txt\\n' >> " + sh_quote(old_dir)),
            0);
  const dir_file before = read_set_directory(sample_discs() + "disk_0/Duvizo 10/directory.txt.zip");

  const std::string m = fresh_master();
  ASSERT_EQ(test_run("cd " + sh_quote(m) + " && echo changed >> 'All/Aircraft/Cessna 172/readme.txt' && "
                     "rm All/Airfoils/NACA-0012.afl && "
                     // The web set leaves the tiles out, so their archives must go too.
                     "find 'All/Global Scenery' -name '*.7z' -delete"),
            0);
  // Relative paths are taken from where the tool starts.
  const std::string dst = work + "set/";
  const tool_run run = run_disc_set("--type=0 --old_dir=directory_old.txt --src=" + sh_quote(m) + " --dst=set", work);
  ASSERT_EQ(run.status, 0) << alert_lines(run.log) << run.stdout_text;
  EXPECT_NE(run.log.find("OK compression is done. Checklist if doing net:"), std::string::npos);
  const dir_file d = read_set_directory(dir_zip(dst, ""));
  EXPECT_EQ(test_run("test -f " + sh_quote(dst + "dvd_version.txt")), 0);

  // Unchanged: only its new line.
  const std::vector<dir_entry> manual = d.of("All/Instructions/Manual.txt");
  ASSERT_EQ(manual.size(), 1u);
  EXPECT_EQ(manual[0].md5, before.of("All/Instructions/Manual.txt")[0].md5);
  EXPECT_EQ(manual[0].version, 100001);

  // Changed: its old line, then the new one.
  const std::vector<dir_entry> readme = d.of("All/Aircraft/Cessna 172/readme.txt");
  ASSERT_EQ(readme.size(), 2u);
  EXPECT_EQ(readme[0].md5, before.of("All/Aircraft/Cessna 172/readme.txt")[0].md5);
  EXPECT_EQ(readme[1].md5, test_md5sum(m + "All/Aircraft/Cessna 172/readme.txt"));
  EXPECT_EQ(readme[1].line, readme[0].line + 1);

  // Deleted: its old line, then GONE at 100001 with sizes 0.
  const std::vector<dir_entry> gone = d.of("All/Airfoils/NACA-0012.afl");
  ASSERT_EQ(gone.size(), 2u);
  EXPECT_EQ(gone[0].md5, before.of("All/Airfoils/NACA-0012.afl")[0].md5);
  EXPECT_EQ(gone[1].md5, "GONE");
  EXPECT_EQ(gone[1].version, 100001);
  EXPECT_EQ(gone[1].comp_kb, 0);
  EXPECT_EQ(gone[1].exp_kb, 0);

  // Gone before: its lines as they were, nothing added.
  const std::vector<dir_entry> retired = d.of("All/Instructions/old.txt");
  ASSERT_EQ(retired.size(), 2u);
  EXPECT_EQ(retired[0].version, 7);
  EXPECT_EQ(retired[1].md5, "GONE");

  // What a web set leaves out is not deleted from installations.
  for (const dir_entry& e : d.files) {
    EXPECT_EQ(e.path().find("Global Scenery"), std::string::npos) << e.path();
    EXPECT_EQ(e.path().find("Earth Orbit"), std::string::npos) << e.path();
    EXPECT_EQ(e.path().find("red terrain"), std::string::npos) << e.path();
  }
  EXPECT_EQ(d.disk_lines, 0);
  EXPECT_EQ(test_capture("cd " + sh_quote(dst) + " && find . -name '*.7z'"), "");
}

TEST(DiscSetBuilds, ASetBuiltHereServesAsTheNextOldDirectory) {
  // A web set's lines are all version 100001; the next build must take it.
  const std::string m = fresh_master();
  ASSERT_EQ(test_run("cd " + sh_quote(m) + " && find 'All/Global Scenery' -name '*.7z' -delete"), 0);
  const std::string work = test_scratch_dir("chain");
  const std::string old_dir = work + "first.txt";
  ASSERT_EQ(test_run("unzip -p " + sh_quote(sample_discs() + "disk_0/Duvizo 10/directory.txt.zip") +
                     " directory.txt > " + sh_quote(old_dir)),
            0);
  const tool_run first = run_disc_set("--old_dir=" + sh_quote(old_dir) + " --src=" + sh_quote(m) +
                                      " --dst=" + sh_quote(work + "one/"));
  ASSERT_EQ(first.status, 0) << alert_lines(first.log);
  ASSERT_EQ(test_run("unzip -p " + sh_quote(dir_zip(work + "one/", "")) + " directory.txt > " +
                     sh_quote(work + "second.txt")),
            0);
  // An empty output folder that is there already is taken as it is.
  ASSERT_EQ(test_run("mkdir " + sh_quote(work + "two")), 0);
  const tool_run second = run_disc_set("--old_dir=" + sh_quote(work + "second.txt") + " --src=" + sh_quote(m) +
                                       " --dst=" + sh_quote(work + "two/"));
  EXPECT_EQ(second.status, 0) << alert_lines(second.log);
}

TEST(DiscSetBuilds, AnOldDirectoryThatIsNoDirectoryStopsTheRun) {
  const std::string m = fresh_master();
  const std::string work = test_scratch_dir("baddir");
  ASSERT_TRUE(test_write_file(work + "old.txt", "I\n900 version\nDVD\n\nVERSION x\n"));
  const tool_run run = run_disc_set("--old_dir=" + sh_quote(work + "old.txt") + " --src=" + sh_quote(m) +
                                    " --dst=" + sh_quote(work + "set/"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.log.find("\nI could not read the old directory!\n"), std::string::npos) << alert_lines(run.log);
  ASSERT_TRUE(test_write_file(work + "high.txt", "I\n900 version\nINSTALLER\n\nDIR All/x/\nFILE 0 0 100002 1 1 "
                                                 "0123456789abcdef0123456789abcdef a.txt\n"));
  const tool_run high = run_disc_set("--old_dir=" + sh_quote(work + "high.txt") + " --src=" + sh_quote(m) +
                                     " --dst=" + sh_quote(work + "set2/"));
  EXPECT_EQ(high.status, 1);
  EXPECT_NE(high.log.find("You idiot! Version numbers must always go up!  I already have a version:"),
            std::string::npos)
      << alert_lines(high.log);
}

}  // namespace
