#include "engine/utils_install.h"
#include <errno.h>
#include "core/globs.h"
#include "core/utl_thread.h"
#include "files/file_compress.h"
#include "files/file_errors.h"
#include "files/file_inside.h"
#include "files/file_ops.h"
#include "files/file_paths.h"
#include "engine/utils_counts.h"
#include "engine/utils_table.h"

enum { tasks_per_pool = 30 };

static UTL_worker_threads* copy_pool = nullptr;
static UTL_worker_threads* unzip_pool = nullptr;
static int install_err_num = 0;
static std::string install_err_msg;

dvd_unpack_task::dvd_unpack_task(int i, const std::string& temp_folder) : file_index(i) {
  const file_version_struct& v = current_version(i);
  const std::string suffix = suffix_for_file(i);
  tmp_path = temp_folder + v.sig_want + "_" + std::to_string(i) + suffix;
  dst_path = installed_path(i);
  want_md5 = v.sig_want;
  src_path = dvd_path + install_name + "/" + v.path + suffix;
}

dvd_unpack_task::~dvd_unpack_task() {
  if (!stg.log_actions) return;
  xer_group g;
  g << "EXPANDING file " << dst_path << ", with result=" << err_code << ".";
  if (err_code) g << " " << err_msg;
  g << "\n";
}

static bool same_leaf(const std::string& dst, const std::string& unpacked_name) {
  std::string want_leaf, got_leaf;
  get_file_with_path(want_leaf, dst);
  get_file_with_path(got_leaf, unpacked_name);
  return !got_leaf.empty() && got_leaf == want_leaf;
}

// The file must now stand at its place under its own name: an archive that
// unpacked nothing, or something else, has not installed it.
static bool unpacked_as_expected(const std::string& dst, const std::string& unpacked_name) {
  return same_leaf(dst, unpacked_name) && (file_exists(dst) || is_sim_link(dst, nullptr));
}

int unpack_file_archive(const std::string& archive, const std::string& dst, const std::string& want_md5,
                        std::string& folder) {
  std::string unpacked_name;
  get_path_with_path(folder, dst);
  const bool is_7z = archive.size() >= 3 && archive.compare(archive.size() - 3, 3, ".7z") == 0;
  int code = is_7z ? p7z_to_file(archive, folder, &unpacked_name, 0, dest_dir_path, &want_md5)
                   : zip_to_file(archive, folder, &unpacked_name, 0, dest_dir_path, &want_md5);
  // An archive of another file is that, whatever its content.
  if (code == err_content_mismatch && !same_leaf(dst, unpacked_name)) code = ENOENT;
  if (!code && !unpacked_as_expected(dst, unpacked_name)) code = ENOENT;
  return code;
}

int make_installed_executable(const std::string& dst) {
  if (dst.find("Contents/MacOS/") == std::string::npos) return 0;
  // The mode is set on what a link leads to: never on a file outside.
  std::string path = dst;
  if (int code = inside_installation(path, inside_through)) return code == ELOOP ? EINVAL : code;
  return make_file_executable(path);
}

void dvd_unpack_task::do_it() {
  if (!copied) {
    copied = true;
    err_code = copy_file(src_path, tmp_path);
    if (err_code) {
      err_msg = "I was unable to copy the file " + src_path + " from the DVD to the hard drive.";
      delete_file(tmp_path);  // a partial copy must not stay behind
    }
    return;
  }
  if (err_code) return;
  std::string folder;
  sweep_stale_temporaries(dst_path);
  err_code = unpack_file_archive(tmp_path, dst_path, want_md5, folder);
  if (!err_code) err_code = make_installed_executable(dst_path);
  delete_file(tmp_path);
  if (err_code == err_content_mismatch) {
    // A valid archive of the wrong content: a mastering mistake or a stale
    // disc. Taking it as installed would make the next repair ask about it.
    err_msg = "I was unable to install the file " + dst_path +
              " because its content on the DVD does not match the disc set's directory.";
    return;
  }
  if (err_code) {
    err_msg = "I was unable to unzip the file " + tmp_path + " to the folder " + folder + ".";
    return;
  }
  file_version_struct& v = current_version(file_index);
  v.sig_have = v.sig_want;
  v.up_to_date = 1;
}

int dvd_unpack_task::check_error(std::string& msg) {
  msg = err_msg;
  return err_code;
}

int install_files(int& cursor, int disk) {
  const int n = (int)sim_info.size();
  if (!copy_pool) {
    copy_pool = new UTL_worker_threads(1, tasks_per_pool);
    sweep_stale_reset();
    unzip_pool = new UTL_worker_threads(UTL_count_processors(), tasks_per_pool);
  }
  while (cursor < n && !current_version(cursor).do_install) ++cursor;
  while (cursor < n && copy_pool->has_free_slot()) {
    const file_version_struct& v = current_version(cursor);
    if (v.disk != disk) break;
    if (v.do_install) copy_pool->enqueue_task(new dvd_unpack_task(cursor, temp_path));
    ++cursor;
  }
  while (unzip_pool->has_free_slot()) {
    UTL_work_task* t = copy_pool->check_retired_tasks();
    if (!t) break;
    unzip_pool->enqueue_task(t);
  }
  while (UTL_work_task* t = unzip_pool->check_retired_tasks()) {
    std::string msg;
    const int code = t->check_error(msg);
    delete t;
    pass_count_install(code);
    if (code) {
      install_err_num = code;
      install_err_msg = msg;
      return 3;
    }
  }
  const bool busy = copy_pool->count_total_tasks() > 0 || unzip_pool->count_total_tasks() > 0;
  if (cursor >= n && !busy) {
    delete copy_pool;
    delete unzip_pool;
    copy_pool = unzip_pool = nullptr;
    return 1;
  }
  if (cursor >= n || busy) return 0;
  const file_version_struct& v = current_version(cursor);
  return (v.do_install && v.disk != disk) ? 2 : 0;
}

int install_files_get_error(std::string& msg) {
  msg = install_err_msg;
  const int code = install_err_num;
  install_err_msg.clear();
  install_err_num = 0;
  return code;
}

int install_files_kill() {
  if (!copy_pool) return 1;
  while (UTL_work_task* t = copy_pool->wait_retired_tasks()) unzip_pool->enqueue_task(t);
  // What the queue still held is done now, and counts with the pass; its
  // failures are no question any more.
  while (UTL_work_task* t = unzip_pool->wait_retired_tasks()) {
    std::string msg;
    pass_count_install(t->check_error(msg));
    delete t;
  }
  delete copy_pool;
  delete unzip_pool;
  copy_pool = unzip_pool = nullptr;
  return 1;
}
