// Unpacking zip archives.
#include <errno.h>
#include <limits.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <vector>
#include <zlib.h>
#include "core/globs.h"
#include "core/utl_localtime.h"
#include "files/file_compress.h"
#include "files/file_compress_int.h"
#include "files/file_errors.h"
#include "files/file_inside.h"
#include "files/file_ops.h"
#include "files/file_paths.h"

static const size_t kNameMax = PATH_MAX;
static const size_t kCopyBuffer = 256 * 1024;

static int file_entry_failed(int code, int line, const std::string& dest) {
  ARC_log_entry_failure("Zip to file", code, line, dest);
  return code;
}

// dest is full and letter-case repaired: the path that was checked.
static int unzip_file_entry(unzFile z, const unz_file_info64& info, const std::string& dest, std::vector<char>& buf,
                            const std::string* want_md5) {
  const arc_entry_sizes sizes = ARC_stated_sizes(z, info);
  // The library stops at its placeholder size, so a larger entry can only
  // read short: say so before unpacking gigabytes.
  if (sizes.lost && (sizes.uncompressed > 0xFFFFFFFFu || sizes.compressed > 0xFFFFFFFFu))
    return file_entry_failed(err_zip_short_read, __LINE__, dest);
  int err = unzOpenCurrentFile(z);
  if (err != UNZ_OK) return file_entry_failed(err, __LINE__, dest);
  arc_out_file out;
  err = out.open(dest);
  if (err) {
    unzCloseCurrentFile(z);
    return file_entry_failed(err, __LINE__, dest);
  }
  out.expect_md5(want_md5);
  // With its sizes lost the library cannot check the CRC: we do.
  uLong crc = crc32(0, nullptr, 0);
  int n;
  while ((n = unzReadCurrentFile(z, buf.data(), buf.size())) > 0) {
    if (sizes.lost) crc = crc32(crc, reinterpret_cast<const Bytef*>(buf.data()), n);
    err = out.write(buf.data(), n);
    if (err) break;
  }
  if (err) {
    unzCloseCurrentFile(z);
    return file_entry_failed(err, __LINE__, dest);
  }
  if (n < 0 || out.size() != sizes.uncompressed) {
    unzCloseCurrentFile(z);
    return file_entry_failed(err_zip_short_read, __LINE__, dest);
  }
  err = unzCloseCurrentFile(z);
  if (err == UNZ_OK && sizes.lost && crc != info.crc) err = UNZ_CRCERROR;
  if (err != UNZ_OK) return file_entry_failed(err, __LINE__, dest);

  if (info.external_fa == 0) {
    err = out.commit(-1, nullptr);
    return err ? file_entry_failed(err, __LINE__, dest) : 0;
  }
  // Windows tools store only DOS attributes (0x20), no Unix mode: such a file
  // gets the ordinary mode rather than none at all.
  const unsigned unix_mode = info.external_fa >> 16;
  const int mode = unix_mode ? (int)(unix_mode & 0777) : 0644;
  struct tm tm = {};
  tm.tm_sec = info.tmu_date.tm_sec;
  tm.tm_min = info.tmu_date.tm_min;
  tm.tm_hour = info.tmu_date.tm_hour;
  tm.tm_mday = info.tmu_date.tm_mday;
  tm.tm_mon = info.tmu_date.tm_mon;
  tm.tm_year = info.tmu_date.tm_year - 1900;
  tm.tm_isdst = -1;
  const time_t when = UTL_local_to_time(tm);
  if (when == (time_t)-1) {
    out.commit(mode, nullptr);
    return file_entry_failed(-1, __LINE__, dest);
  }
  err = out.commit(mode, &when);
  return err ? file_entry_failed(err, __LINE__, dest) : 0;
}

int unzip_symlink(unzFile z, std::string path, unz_file_info64_s& info, const std::string& root,
                  const std::string* want_md5) {
  set_path_to_full(path);
  std::string text;
  int err = ARC_read_entry(z, info, PATH_MAX - 1, -1, text);
  int line = __LINE__;
  if (!err && inside_check_link(root, path, text) != 0) {
    err = EINVAL;
    line = __LINE__;
  }
  // Checked before the old link goes, so that a wrong one keeps it.
  if (!err && want_md5 && MD5_hex_of(text) != *want_md5) {
    err = err_content_mismatch;
    line = __LINE__;
  }
  if (!err) {
    unlink(path.c_str());
    if (symlink(text.c_str(), path.c_str()) != 0) {
      err = -1;
      line = __LINE__;
    }
  }
  if (err) ARC_log_entry_failure("Zip to symlink", err, line, path);
  return err;
}

// A new link can change where the links made before it lead (one to "x/..",
// then x as a link): each must still lead inside, else the new one goes.
static int recheck_links(const std::string& root, std::vector<std::string>& links, const std::string& made) {
  links.push_back(made);
  for (const std::string& l : links) {
    if (inside_check(root, l, inside_through) == 0) continue;
    unlink(made.c_str());
    links.pop_back();
    return file_entry_failed(EINVAL, __LINE__, l);
  }
  return 0;
}

// What one extraction carries from entry to entry.
struct unzip_walk {
  std::string folder, root;
  std::string* name;
  bool name_filled;
  const std::string* rename_to;
  std::vector<char> buf;
  std::vector<std::string> links;  // made so far, full paths
  const std::string* want_md5;     // every file's and link's digest, when given
};

// One entry of the walk; 0 or the code that ends the extraction.
static int unzip_entry(unzFile z, unz_file_info64& info, const std::string& entry, unzip_walk& w) {
  const bool companion = entry.compare(0, 8, "__MACOSX") == 0;
  const bool is_folder = !entry.empty() && entry.back() == '/';
  // A companion is written as its data file, so that path is what must stay
  // inside the folder.
  const std::string inside = companion ? (entry.size() > 9 ? entry.substr(9) : std::string()) : entry;
  // Letter case is repaired once, here: what is checked is what is written,
  // so a name cannot reach, by its case, a link that the check did not see.
  std::string dest = w.folder + (companion || is_folder || !w.rename_to ? inside : *w.rename_to);
  set_path_to_full(dest);
  if (int err = ARC_check_entry(w.root, inside, dest)) return file_entry_failed(err, __LINE__, w.folder + entry);

  if (w.name && !w.name_filled) {
    *w.name = entry;
    w.name_filled = true;
  }
  if (is_folder) {
    if (companion) return 0;
    if (dest.size() > 1) dest.pop_back();
    int err = mkdir(dest.c_str(), 0755) == 0 ? 0 : errno;
    return show_make_dir_err(err) ? err : 0;
  }
  if (companion) return unzip_resource_fork(z, dest, info);
  if (((info.external_fa >> 16) & 0xA000) == 0xA000) {
    if (int err = unzip_symlink(z, dest, info, w.root, w.want_md5)) return err;
    return recheck_links(w.root, w.links, dest);
  }
  return unzip_file_entry(z, info, dest, w.buf, w.want_md5);
}

int zip_to_file(const std::string& archive, const std::string& folder, std::string* name, int rename,
                const std::string& root, const std::string* want_md5) {
  std::string zip_path = archive;
  set_path_to_full(zip_path);
  // Every renamed entry goes to the name given at the call, even after the
  // name string has been given the first entry's own name.
  const std::string rename_to = rename && name ? *name : std::string();
  int err = 0, line = 0;
  unzFile z = unzOpen64(zip_path.c_str());
  if (!z) {
    xer_group() << "OK I am about to report that I could not open a zip file for extraction!\n"
                << "That incoming file is " << zip_path << "\n"
                << "In c-form, it is " << zip_path.c_str() << "\n"
                << "The size is " << zip_path.size() << "\n";
    err = err_zip_open;
    line = __LINE__;
  } else {
    unzip_walk w{folder, root.empty() ? folder : root, name, false, rename && name ? &rename_to : nullptr,
                 std::vector<char>(kCopyBuffer), {}, want_md5};
    std::vector<char> entry(kNameMax);
    err = unzGoToFirstFile(z);
    line = __LINE__;
    while (err == UNZ_OK) {
      unz_file_info64 info;
      err = unzGetCurrentFileInfo64(z, &info, entry.data(), entry.size(), nullptr, 0, nullptr, 0);
      if (err != UNZ_OK) {
        xer_group() << "unzGetCurrentFileInfo err != UNZ_OK! err=" << err << "\n";
        line = __LINE__;
        break;
      }
      int entry_err;
      if (info.size_filename >= entry.size()) {
        entry_err = file_entry_failed(ENAMETOOLONG, __LINE__, folder);
      } else {
        entry_err = unzip_entry(z, info, entry.data(), w);
      }
      if (entry_err) {
        xer_group() << "UNZIP zip_to_file failed with err=" << entry_err << "\n";
        err = entry_err;
        line = __LINE__;
        break;
      }
      err = unzGoToNextFile(z);
      line = __LINE__;
    }
    unzClose(z);
    if (err == UNZ_END_OF_LIST_OF_FILE) err = 0;
  }
  if (err)
    xer_group() << "Zip to file failed with error err = " << err << ". file = " << COMPRESS_UNIT << " line = " << line
                << ". zip_file=" << zip_path << ", out_dir=" << folder << ".\n";
  return err;
}
