#include "platform/plat_volumes.h"
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <linux/magic.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <sstream>
#include "platform/plat_clock.h"
#include "platform/plat_process.h"

// Fields of /proc/self/mountinfo escape blanks, tabs, newlines and '\' as
// three octal digits.
static std::string unescape_mount_field(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); i++) {
    if (s[i] == '\\' && i + 3 < s.size()) {
      int v = 0;
      bool ok = true;
      for (int k = 1; k <= 3; k++) {
        char c = s[i + k];
        if (c < '0' || c > '7') ok = false;
        v = v * 8 + (c - '0');
      }
      if (ok) {
        out += (char)v;
        i += 3;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

// One line: id, parent, device number, root, mount point, options, optional
// fields up to "-", then type, source and the file system's own options.
static bool parse_mount_line(const std::string& line, PLAT_mount& m) {
  std::istringstream ss(line);
  std::string field[6];
  for (std::string& f : field)
    if (!(ss >> f)) return false;
  std::string word;
  while (ss >> word && word != "-") {
  }
  std::string fstype, source;
  if (word != "-" || !(ss >> fstype)) return false;
  ss >> source;
  m.mount_point = unescape_mount_field(field[4]);
  m.fstype = unescape_mount_field(fstype);
  m.source = unescape_mount_field(source);
  return true;
}

static void parse_mounts(const std::string& text, std::vector<PLAT_mount>& mounts) {
  mounts.clear();
  std::istringstream lines(text);
  std::string line;
  PLAT_mount m;
  while (std::getline(lines, line))
    if (parse_mount_line(line, m)) mounts.push_back(m);
}

// Reads fd from its start to its end; 0 or errno.
static int read_whole(int fd, std::string& text) {
  text.clear();
  if (lseek(fd, 0, SEEK_SET) < 0) return errno;
  char buf[16384];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return 0;
    text.append(buf, (size_t)n);
  }
}

int PLAT_read_mounts(const std::string& mountinfo_path, std::vector<PLAT_mount>& mounts) {
  mounts.clear();
  const int fd = open(mountinfo_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  std::string text;
  const int err = read_whole(fd, text);
  close(fd);
  if (!err) parse_mounts(text, mounts);
  return err;
}

static bool under_mount(const std::string& path, const std::string& mount) {
  if (mount == "/") return true;
  return path.compare(0, mount.size(), mount) == 0 && (path.size() == mount.size() || path[mount.size()] == '/');
}

int PLAT_volume_of_path(const std::string& path, std::string& mount_point, std::string& device, std::string& fstype) {
  char resolved[PATH_MAX];
  if (!realpath(path.c_str(), resolved)) return errno;
  std::vector<PLAT_mount> mounts;
  if (PLAT_read_mounts("/proc/self/mountinfo", mounts)) return ENOSYS;
  const PLAT_mount* best = nullptr;
  // Later lines are mounted over earlier ones, so among equal mount points
  // the last one is what the path sees.
  for (const PLAT_mount& m : mounts)
    if (under_mount(resolved, m.mount_point) && (!best || m.mount_point.size() >= best->mount_point.size())) best = &m;
  if (!best) return ENOENT;
  mount_point = best->mount_point;
  device = best->source;
  fstype = best->fstype;
  return 0;
}

int PLAT_volume_of_path(const std::string& path, std::string& mount_point, std::string& device) {
  std::string fstype;
  return PLAT_volume_of_path(path, mount_point, device, fstype);
}

static bool is_fuse(const std::string& fstype) {
  return fstype == "fuse" || fstype.compare(0, 5, "fuse.") == 0;
}

int PLAT_eject_volume(const std::string& mount_point, const std::string& device, int timeout_ms,
                      const std::string& fstype) {
  if (mount_point.empty() || mount_point == "/") return EBUSY;
  std::vector<std::vector<std::string>> tools;
  if (is_fuse(fstype)) {
    // A disc image mounted by a FUSE tool has no drive to eject: its owner
    // unmounts it, which also ends the tool.
    tools = {{"fusermount", "-u", mount_point}, {"fusermount3", "-u", mount_point}};
  } else {
    tools = {{"eject", mount_point}, {"gio", "mount", "-e", mount_point}};
    if (device.compare(0, 5, "/dev/") == 0) tools.push_back({"udisksctl", "unmount", "--no-user-interaction", "-b", device});
  }
  bool any_ran = false;
  for (const auto& argv : tools) {
    int status = 0;
    int err = PLAT_run_tool(argv, timeout_ms, &status);
    if (err == ENOENT) continue;
    if (err) return err;
    any_ran = true;
    if (status == 0) return 0;
  }
  return any_ran ? EBUSY : ENOSYS;
}

// The disc locator.

static bool is_disc_type(const std::string& fstype) {
  return fstype == "iso9660" || fstype == "udf" || fstype == "fuse.fuseiso";
}

// The folders where desktops and users mount removable volumes.
static bool in_media_folder(const std::string& mount_point) {
  for (const char* folder : {"/media", "/run/media", "/mnt"})
    if (under_mount(mount_point, folder)) return true;
  return false;
}

static bool holds(const std::string& path, bool folder) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  return folder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode);
}

static std::string root_of(const PLAT_mount& m) {
  return m.mount_point == "/" ? "/" : m.mount_point + "/";
}

PLAT_disc_locator::PLAT_disc_locator(std::string mountinfo, uint64_t (*clock)())
    : path_(std::move(mountinfo)), clock_(clock ? clock : PLAT_microseconds) {}

PLAT_disc_locator::~PLAT_disc_locator() {
  if (fd_ >= 0) close(fd_);
}

// Whether poll reports that the watched table changed since it last said so.
bool PLAT_disc_locator::table_changed_event() {
  pollfd p = {fd_, POLLPRI, 0};
  int n;
  do n = poll(&p, 1, 0);
  while (n < 0 && errno == EINTR);
  return n > 0 && (p.revents & (POLLPRI | POLLERR));
}

// Opened at the first question rather than at construction: the kernel's
// table shows the mount namespace of the moment it is opened.
void PLAT_disc_locator::open_table() {
  // Only the kernel's own table signals its changes to poll; a plain file
  // is opened afresh at each read, so a replaced file is seen.
  const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  struct statfs fs;
  if (fd >= 0 && fstatfs(fd, &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC)
    fd_ = fd;
  else if (fd >= 0)
    close(fd);
}

void PLAT_disc_locator::update() {
  const uint64_t now = clock_();
  const bool first = !read_once_;
  if (first)
    open_table();
  else if (fd_ >= 0 ? !retry_ && !table_changed_event() : now - last_read_us_ < 1000000)
    return;
  read_once_ = true;
  last_read_us_ = now;
  reads_++;
  std::vector<PLAT_mount> table;
  int err;
  if (fd_ >= 0) {
    std::string text;
    err = read_whole(fd_, text);
    if (!err) parse_mounts(text, table);
  } else {
    err = PLAT_read_mounts(path_, table);
  }
  // A failed read is no news that every volume went: the last table stands
  // and the read is tried again at the next question.
  retry_ = err != 0;
  if (!first && (err || table == mounts_)) return;
  mounts_ = std::move(table);
  answers_.clear();
  changed_ = 1;
}

int PLAT_disc_locator::refresh() {
  update();
  const int changed = changed_;
  changed_ = 0;
  return changed;
}

std::vector<const PLAT_mount*> PLAT_disc_locator::candidates() const {
  std::vector<const PLAT_mount*> out;
  for (size_t i = 0; i < mounts_.size(); i++) {
    const PLAT_mount& m = mounts_[i];
    if (!is_disc_type(m.fstype) && !in_media_folder(m.mount_point)) continue;
    bool covered = false;
    for (size_t j = i + 1; j < mounts_.size() && !covered; j++) covered = mounts_[j].mount_point == m.mount_point;
    if (!covered) out.push_back(&m);
  }
  return out;
}

std::string PLAT_disc_locator::find_holding(const std::string& path) {
  update();
  char resolved[PATH_MAX];
  if (!realpath(path.c_str(), resolved)) return std::string();
  // The deepest candidate the path lies under is the volume it is on.
  const PLAT_mount* best = nullptr;
  for (const PLAT_mount* m : candidates())
    if (under_mount(resolved, m->mount_point) && (!best || m->mount_point.size() > best->mount_point.size())) best = m;
  if (!best || !holds(root_of(*best) + "dvd_version.txt", false)) return std::string();
  return root_of(*best);
}

std::string PLAT_disc_locator::find(const std::string& wanted, const std::string& install_name) {
  update();
  const auto key = std::make_pair(wanted, install_name);
  auto known = answers_.find(key);
  if (known != answers_.end()) return known->second;
  const std::vector<const PLAT_mount*> candidates = this->candidates();
  std::string answer;
  const std::string file = wanted.empty() ? "dvd_version.txt" : wanted;
  for (const PLAT_mount* m : candidates)
    if (holds(root_of(*m) + file, false)) {
      answer = root_of(*m);
      break;
    }
  if (answer.empty() && !wanted.empty() && !install_name.empty())
    for (const PLAT_mount* m : candidates)
      if (is_disc_type(m->fstype) && holds(root_of(*m) + install_name, true)) {
        answer = root_of(*m);
        break;
      }
  answers_[key] = answer;
  return answer;
}

int PLAT_disc_locator::is_mounted(const std::string& root) {
  update();
  std::string point = root;
  while (point.size() > 1 && point.back() == '/') point.pop_back();
  for (const PLAT_mount& m : mounts_)
    if (m.mount_point == point) return 1;
  return 0;
}
