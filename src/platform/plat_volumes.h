// Mounted volumes: the mount table, which volume holds a path, finding the
// installer disc among the mounted volumes, and ejecting a removable one.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

// How long an eject may take before it counts as failed.
constexpr int PLAT_EJECT_TIMEOUT_MS = 20000;

// One line of the mount table, its octal escapes ("\040" for a blank) undone.
struct PLAT_mount {
  std::string mount_point;  // no trailing '/' except for the root
  std::string fstype;       // "ext4", "iso9660", "fuse.fuseiso", ...
  std::string source;       // the mounted device or file-system source
  bool operator==(const PLAT_mount&) const = default;
};

// Reads a mount table in the format of /proc/self/mountinfo into mounts, in
// its order (later lines are mounted over earlier ones). 0, or the errno of
// opening or reading it (mounts then empty). Lines that do not parse are left out.
int PLAT_read_mounts(const std::string& mountinfo_path, std::vector<PLAT_mount>& mounts);

// The mount point (no trailing '/' except for the root), the mounted device or
// file-system source and the file-system type of the volume that holds path;
// 0 or errno (ENOENT: no such path).
int PLAT_volume_of_path(const std::string& path, std::string& mount_point, std::string& device, std::string& fstype);
// As above, without the type.
int PLAT_volume_of_path(const std::string& path, std::string& mount_point, std::string& device);

// Unmounts and ejects the volume mounted at mount_point. A FUSE mount (type
// "fuse" or "fuse.*", a disc image mounted by fuseiso) is unmounted with
// "fusermount -u", else "fusermount3 -u"; any other with the system's tools
// ("eject", then "gio mount -e", then "udisksctl unmount"). Each tool is
// given at most timeout_ms. Returns 0 when one succeeded; EBUSY for the
// system's own root volume (never ejected) or when every tool failed;
// ETIMEDOUT when a tool hung and was killed; ENOSYS when the system has none
// of the tools.
int PLAT_eject_volume(const std::string& mount_point, const std::string& device, int timeout_ms,
                      const std::string& fstype = "");

// Finds the mounted installer disc. Candidates, in table order: mounts of
// type iso9660, udf or fuse.fuseiso, and any mount at or under /media,
// /run/media or /mnt; a mount covered by a later one on the same point is
// none. A volume's contents are taken as fixed while it stays mounted, as a
// disc's are, so a question is answered again only after the table changed.
// The table is read again only when poll on the open /proc mount table
// reports a change; a table that poll cannot watch (a plain file, as tests
// hand in) is read again at most once a second. The table is first read, and
// the kernel's opened, at the first question. Main thread only.
class PLAT_disc_locator {
 public:
  // Watches the mount table at mountinfo; clock (microseconds, default the
  // system's monotonic clock) times the reads of an unwatchable table.
  explicit PLAT_disc_locator(std::string mountinfo = "/proc/self/mountinfo", uint64_t (*clock)() = nullptr);
  ~PLAT_disc_locator();
  PLAT_disc_locator(const PLAT_disc_locator&) = delete;
  PLAT_disc_locator& operator=(const PLAT_disc_locator&) = delete;

  // Reads the table again when it is due; 1 when the table differs from the
  // one in force at the previous refresh (the first read counts as a change,
  // and so does a change read meanwhile by find or is_mounted), else 0.
  int refresh();
  // The root, ending in '/', of the disc wanted, or "" when none is mounted.
  // With wanted empty: the first candidate holding "dvd_version.txt". With
  // wanted (a file's path below a disc's root): the first candidate holding
  // it; else, as a wrong disc the caller may eject, the first candidate of
  // type iso9660, udf or fuse.fuseiso holding the folder install_name (so a
  // stick or hard disc is never offered for ejecting); else "".
  std::string find(const std::string& wanted = "", const std::string& install_name = "");
  // The root, ending in '/', of the candidate that holds path (an existing
  // file or folder, symbolic links resolved) and "dvd_version.txt", or "".
  std::string find_holding(const std::string& path);
  // 1 when root (with or without its trailing '/') is a mount point in the
  // table, else 0.
  int is_mounted(const std::string& root);
  // How many times the table was read.
  int reads() const { return reads_; }

 private:
  void open_table();
  void update();
  std::vector<const PLAT_mount*> candidates() const;
  bool table_changed_event();

  std::string path_;
  uint64_t (*clock_)();
  int fd_ = -1;  // the open /proc table poll watches, else -1
  bool read_once_ = false;
  bool retry_ = false;  // the last read failed
  uint64_t last_read_us_ = 0;
  int reads_ = 0;
  int changed_ = 0;
  std::vector<PLAT_mount> mounts_;
  std::map<std::pair<std::string, std::string>, std::string> answers_;  // for this table
};
