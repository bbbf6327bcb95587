// The install pass: brings every file marked do_install from the discs into
// the installation. One thread copies archives from the disc into the
// temporary folder, so the drive reads one file at a time; one thread per
// processor unpacks the copies into place. The front end calls install_files
// once per frame with a cursor that starts at 0 and the mounted disc.
#pragma once
#include <string>
#include "core/utl_worker.h"

// Installs one file: run once on the copy pool (copies the archive to the
// temporary folder), then once on the unpack pool (unpacks it into place).
class dvd_unpack_task : public UTL_work_task {
 public:
  // The task for file_index; temp_folder ends in '/'.
  dvd_unpack_task(int file_index, const std::string& temp_folder);
  // Logs the outcome when stg.log_actions is set; on the main thread.
  ~dvd_unpack_task() override;
  void do_it() override;
  // The task's code (0 on success) with its message in msg.
  int check_error(std::string& msg) override;

  int file_index;
  bool copied = false;
  std::string src_path;  // the archive on the disc
  std::string tmp_path;  // its copy in the temporary folder
  std::string dst_path;  // the installed file
  std::string want_md5;  // its digest as the directory gives it
  std::string err_msg;
  int err_code = 0;
};

// One step: 0 busy, 1 every marked file installed (the pools are gone), 2 the
// pools are empty and the file at the cursor lies on another disc, 3 a task
// failed (install_files_get_error tells which; calling again goes on). A file
// whose unpacked content has another digest than the directory's fails with
// err_content_mismatch and keeps whatever copy it had.
int install_files(int& cursor, int disk);
// The last failure's code (0 for none) with its message in msg; both are
// cleared, so each failure is handed out once.
int install_files_get_error(std::string& msg);
// Ends the pass: every queued copy is still unpacked, then the pools go.
// Each file installed or failed, here or in install_files, counts with the
// pass (engine/utils_counts.h). Returns 1.
int install_files_kill();
// Unpacks the archive of one file (7z when its name ends in ".7z", else zip)
// into the folder of dst, which it names in folder. 0 when dst now stands
// there under its own name with the digest want_md5; the unpacker's code
// (err_content_mismatch for another digest, dst then left as it was), or
// ENOENT when the archive held something else or nothing.
// Entries and links stay inside dest_dir_path (see file_compress.h).
int unpack_file_archive(const std::string& archive, const std::string& dst, const std::string& want_md5,
                        std::string& folder);
// Makes the installed file dst executable when it lies under
// "Contents/MacOS/"; 0 for other files. EINVAL when dst leads out of the
// installation.
int make_installed_executable(const std::string& dst);
