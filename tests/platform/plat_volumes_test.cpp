// The mount table and the disc locator. Mount tables are fixture files over
// real folders; the folders under /media, /run/media and /mnt that the rule
// names are made on fresh tmpfs mounts in a private mount namespace, so the
// machine's own folders are never touched. The last test mounts a real disc
// image with fuseiso and ejects it again.
#include <errno.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <functional>
#include "files/test_child.h"
#include "platform/plat_volumes.h"
#include "support/test_env.h"

namespace {

const std::string k_set = "Duvizo Install";
const std::string k_wanted = k_set + "/All/Resources/a.txt.zip";

// A mountinfo line as the kernel writes it, blanks and '\' escaped.
std::string mountinfo_line(int id, const std::string& point, const std::string& fstype, const std::string& source) {
  std::string escaped;
  for (char c : point) escaped += c == ' ' ? "\\040" : c == '\\' ? "\\134" : std::string(1, c);
  // Every other line carries an optional field, as shared mounts do.
  const std::string optional = id % 2 ? " shared:" + std::to_string(id) : "";
  return std::to_string(id) + " 1 0:" + std::to_string(id) + " / " + escaped + " rw,relatime" + optional + " - " +
         fstype + " " + source + " rw\n";
}

void make_folder(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
    mkdir(path.substr(0, slash).c_str(), 0755);
  mkdir(path.c_str(), 0755);
}

TEST(PlatVolumes, MountTableFieldsAndVolumeOfAPath) {
  const std::string dir = test_scratch_dir("table");
  ASSERT_TRUE(test_write_file(dir + "mountinfo",
                              mountinfo_line(21, "/", "ext4", "/dev/vda") +
                                  "garbage without a separator\n" +
                                  mountinfo_line(22, "/media/My Disc", "iso9660", "/dev/sr0") +
                                  mountinfo_line(23, "/mnt/a\\b", "fuse.fuseiso", "fuseiso")));
  std::vector<PLAT_mount> mounts;
  ASSERT_EQ(0, PLAT_read_mounts(dir + "mountinfo", mounts));
  const std::vector<PLAT_mount> want = {{"/", "ext4", "/dev/vda"},
                                        {"/media/My Disc", "iso9660", "/dev/sr0"},
                                        {"/mnt/a\\b", "fuse.fuseiso", "fuseiso"}};
  EXPECT_EQ(want, mounts);
  EXPECT_EQ(ENOENT, PLAT_read_mounts(dir + "none", mounts));
  EXPECT_TRUE(mounts.empty());

  std::string point, device, fstype;
  ASSERT_EQ(0, PLAT_volume_of_path("/proc/self/status", point, device, fstype));
  EXPECT_EQ("/proc", point);
  EXPECT_EQ("proc", fstype);
}

// What a fixture volume's root holds.
enum { k_empty = 0, k_version = 1, k_archive = 2, k_set_folder = 4 };

struct volume {
  std::string point;  // "@" stands for a scratch folder outside the media folders
  std::string fstype;
  int holds;
};

struct locate_case {
  const char* name;
  std::vector<volume> volumes;
  bool wanting;  // ask for k_wanted, else for the version file
  int found;     // index into volumes, -1 for none
  // Ask instead which volume holds a bundle on volume `from` (-1: do not;
  // -2: a bundle outside every volume).
  int from = -1;
};

TEST(PlatVolumes, LocatorFindsTheDisc) {
  const locate_case cases[] = {
      {"an iso9660 disc", {{"@/cdrom", "iso9660", k_version}}, false, 0},
      {"a udf disc", {{"@/dvd", "udf", k_version}}, false, 0},
      {"a disc image", {{"@/image", "fuse.fuseiso", k_version}}, false, 0},
      {"ext4 under /media", {{"/media/user/STICK", "ext4", k_version}}, false, 0},
      {"vfat under /run/media", {{"/run/media/user/STICK", "vfat", k_version}}, false, 0},
      {"ext4 under /mnt", {{"/mnt/copy", "ext4", k_version}}, false, 0},
      {"ext4 on /mnt itself", {{"/mnt", "ext4", k_version}}, false, 0},
      {"ext4 elsewhere", {{"@/data", "ext4", k_version}}, false, -1},
      {"another FUSE file system", {{"@/sshfs", "fuse.sshfs", k_version}}, false, -1},
      {"a blank in the mount point", {{"/media/user/Disc One", "ext4", k_version}}, false, 0},
      {"a disc without the version file", {{"@/cdrom", "iso9660", k_set_folder | k_archive}}, false, -1},
      {"two candidates, the second holding the file",
       {{"@/cdrom", "iso9660", k_set_folder}, {"/media/user/DISC", "udf", k_version}}, false, 1},
      {"two discs, the first in table order",
       {{"@/cdrom1", "iso9660", k_version}, {"@/cdrom0", "iso9660", k_version}}, false, 0},
      {"a disc covered by a later mount on its point",
       {{"@/cdrom", "iso9660", k_version}, {"@/cdrom", "ext4", k_version}}, false, -1},
      {"the wanted archive on a later disc", {{"@/cdrom", "iso9660", k_archive}}, true, 0},
      {"the wanted archive beats a wrong disc before it",
       {{"@/cdrom", "iso9660", k_set_folder}, {"/media/user/COPY", "ext4", k_archive}}, true, 1},
      {"a wrong disc, for ejecting", {{"@/cdrom", "udf", k_version | k_set_folder}}, true, 0},
      {"a wrong disc image", {{"@/image", "fuse.fuseiso", k_set_folder}}, true, 0},
      {"a stick is never a wrong disc", {{"/media/user/STICK", "vfat", k_set_folder}}, true, -1},
      {"the wrong disc after a stick",
       {{"/media/user/STICK", "vfat", k_set_folder}, {"@/cdrom", "iso9660", k_set_folder}}, true, 1},
      {"a foreign disc", {{"@/cdrom", "iso9660", k_version}}, true, -1},
      // The program's own disc, whichever of the installer discs it is.
      {"run from the second of two discs",
       {{"@/cdrom0", "iso9660", k_version}, {"@/cdrom1", "iso9660", k_version}}, false, 1, 1},
      {"run from the first of two discs",
       {{"@/cdrom0", "iso9660", k_version}, {"@/cdrom1", "iso9660", k_version}}, false, 0, 0},
      {"run from a disc without the version file",
       {{"@/cdrom0", "iso9660", k_version}, {"@/cdrom1", "iso9660", k_set_folder}}, false, -1, 1},
      {"run from a hard disc", {{"@/cdrom", "iso9660", k_version}}, false, -1, -2},
      {"run from a disc mounted inside another",
       {{"/media/user/OUTER", "udf", k_version}, {"/media/user/OUTER/inner", "iso9660", k_version}}, false, 1, 1},
  };
  const std::string scratch = test_scratch_dir("locator");
  const std::string elsewhere = scratch + "elsewhere";
  ASSERT_EQ(0, mkdir(elsewhere.c_str(), 0755));
  auto each_case = [&] {
    for (const locate_case& c : cases) {
      SCOPED_TRACE(c.name);
      // Fresh, empty media folders for each case.
      for (const char* folder : {"/media", "/mnt", "/run"})
        ASSERT_EQ(0, mount("tmpfs", folder, "tmpfs", 0, "size=1024k")) << folder;
      ASSERT_EQ(0, mount("tmpfs", elsewhere.c_str(), "tmpfs", 0, "size=1024k"));
      std::string table = mountinfo_line(20, "/", "ext4", "/dev/vda");
      std::vector<std::string> roots;
      for (size_t i = 0; i < c.volumes.size(); i++) {
        const volume& v = c.volumes[i];
        std::string point = v.point[0] == '@' ? elsewhere + v.point.substr(1) : v.point;
        make_folder(point);
        if (v.holds & k_version) {
          ASSERT_TRUE(test_write_file(point + "/dvd_version.txt", "VERSION 1000\n"));
        }
        if (v.holds & (k_archive | k_set_folder)) make_folder(point + "/" + k_set + "/All/Resources");
        if (v.holds & k_archive) {
          ASSERT_TRUE(test_write_file(point + "/" + k_wanted, "PK"));
        }
        table += mountinfo_line(30 + (int)i, point, v.fstype, "/dev/sr" + std::to_string(i));
        roots.push_back(point + "/");
      }
      ASSERT_TRUE(test_write_file(scratch + "mountinfo", table));
      PLAT_disc_locator locator(scratch + "mountinfo");
      std::string found;
      if (c.from == -1) {
        found = c.wanting ? locator.find(k_wanted, k_set) : locator.find();
      } else {
        // Reached through a link, as a program started by another name is.
        const std::string bundle = (c.from >= 0 ? roots[c.from] : scratch) + "App.app/Contents/MacOS";
        make_folder(bundle);
        const std::string link = scratch + "link" + std::to_string(&c - cases);
        ASSERT_EQ(0, symlink(bundle.c_str(), link.c_str()));
        found = locator.find_holding(link + "/");
      }
      EXPECT_EQ(c.found < 0 ? "" : roots[c.found], found);
      for (const char* folder : {"/media", "/mnt", "/run"}) umount2(folder, MNT_DETACH);
      umount2(elsewhere.c_str(), MNT_DETACH);
    }
  };
  EXPECT_EQ(0, test_in_private_mounts(each_case));
}

uint64_t fake_now = 0;
uint64_t fake_clock() { return fake_now; }

TEST(PlatVolumes, LocatorReadsAPlainTableAtMostOnceASecond) {
  const std::string dir = test_scratch_dir("counted");
  const std::string table = dir + "mountinfo";
  const std::string disc = dir + "disc";
  make_folder(disc);
  ASSERT_TRUE(test_write_file(disc + "/dvd_version.txt", "VERSION 1000\n"));
  const std::string root_only = mountinfo_line(20, "/", "ext4", "/dev/vda");
  ASSERT_TRUE(test_write_file(table, root_only));
  fake_now = 5000000;
  PLAT_disc_locator locator(table, fake_clock);
  EXPECT_EQ(1, locator.refresh());  // the first table is news
  EXPECT_EQ("", locator.find());
  EXPECT_EQ(1, locator.is_mounted("/"));
  EXPECT_EQ(0, locator.is_mounted(disc + "/"));
  EXPECT_EQ(1, locator.reads());

  // The disc goes in; the table is not read again within the second.
  ASSERT_TRUE(test_write_file(table, root_only + mountinfo_line(30, disc, "iso9660", "/dev/sr0")));
  fake_now += 999999;
  EXPECT_EQ(0, locator.refresh());
  EXPECT_EQ("", locator.find());
  EXPECT_EQ(1, locator.reads());
  // A second on, find reads the change; refresh still reports it once.
  fake_now += 1;
  EXPECT_EQ(disc + "/", locator.find());
  EXPECT_EQ(2, locator.reads());
  EXPECT_EQ(1, locator.refresh());
  EXPECT_EQ(0, locator.refresh());
  EXPECT_EQ(1, locator.is_mounted(disc + "/"));
  EXPECT_EQ(1, locator.is_mounted(disc));
  // Read again a second later, unchanged: no change reported, and questions
  // asked many times read nothing more.
  fake_now += 1000000;
  EXPECT_EQ(0, locator.refresh());
  for (int i = 0; i < 100; i++) EXPECT_EQ(disc + "/", locator.find());
  EXPECT_EQ(3, locator.reads());

  // A table that cannot be read is no news: the disc stays found.
  ASSERT_EQ(0, unlink(table.c_str()));
  fake_now += 1000000;
  EXPECT_EQ(0, locator.refresh());
  EXPECT_EQ(disc + "/", locator.find());
  EXPECT_EQ(1, locator.is_mounted(disc + "/"));
  EXPECT_EQ(4, locator.reads());

  // The disc comes out.
  ASSERT_TRUE(test_write_file(table, root_only));
  fake_now += 1000000;
  EXPECT_EQ(1, locator.refresh());
  EXPECT_EQ(0, locator.is_mounted(disc + "/"));
  EXPECT_EQ("", locator.find());
  EXPECT_EQ(5, locator.reads());
}

// Makes an ISO image of a disc holding the version file and the set's folder.
std::string make_disc_image(const std::string& dir) {
  const std::string files = dir + "files";
  make_folder(files + "/" + k_set + "/All/Resources");
  if (!test_write_file(files + "/dvd_version.txt", "VERSION 1000\n")) return "";
  if (!test_write_file(files + "/" + k_wanted, "PK")) return "";
  const std::string iso = dir + "disc.iso";
  if (test_run("genisoimage -quiet -r -J -V DISC -o '" + iso + "' '" + files + "'") != 0) return "";
  return iso;
}

TEST(PlatVolumes, RealDiscImageFoundThenEjected) {
  const std::string dir = test_scratch_dir("fuse");
  const std::string iso = make_disc_image(dir);
  ASSERT_NE("", iso);
  const std::string point = dir + "mnt";
  ASSERT_EQ(0, mkdir(point.c_str(), 0755));
  // Made before the child leaves this namespace, as a program's locator may
  // be made before it unshares: it must watch the namespace it is asked in.
  PLAT_disc_locator locator("/proc/self/mountinfo", fake_clock);
  auto mount_and_eject = [&] {
    fake_now = 1000000;
    EXPECT_EQ(1, locator.refresh());
    EXPECT_EQ("", locator.find());
    // However much time passes, the kernel's table is read again only when
    // poll says it changed.
    fake_now += 60000000;
    EXPECT_EQ(0, locator.refresh());
    EXPECT_EQ("", locator.find(k_wanted, k_set));
    EXPECT_EQ(1, locator.reads());

    ASSERT_EQ(0, test_run("fuseiso -n '" + iso + "' '" + point + "'"));
    // Whatever fails below, the image's process does not outlive the test.
    struct unmount_at_end {
      std::string point;
      ~unmount_at_end() { test_run("fusermount -u -z '" + point + "' 2>/dev/null"); }
    } guard{point};
    EXPECT_EQ(1, locator.refresh());
    EXPECT_EQ(2, locator.reads());
    EXPECT_EQ(point + "/", locator.find());
    EXPECT_EQ(point + "/", locator.find(k_wanted, k_set));
    EXPECT_EQ(1, locator.is_mounted(point + "/"));

    std::string mount_point, device, fstype;
    ASSERT_EQ(0, PLAT_volume_of_path(point + "/dvd_version.txt", mount_point, device, fstype));
    EXPECT_EQ(point, mount_point);
    EXPECT_EQ("fuse.fuseiso", fstype);
    EXPECT_EQ(0, PLAT_eject_volume(mount_point, device, PLAT_EJECT_TIMEOUT_MS, fstype));
    EXPECT_EQ(1, locator.refresh());
    EXPECT_EQ(0, locator.is_mounted(point + "/"));
    EXPECT_EQ("", locator.find());
    // Ejecting what is no longer mounted fails.
    EXPECT_EQ(EBUSY, PLAT_eject_volume(mount_point, device, PLAT_EJECT_TIMEOUT_MS, fstype));
  };
  EXPECT_EQ(0, test_in_private_mounts(mount_and_eject));
}

}  // namespace
