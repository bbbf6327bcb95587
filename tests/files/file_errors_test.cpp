#include <gtest/gtest.h>
#include <cerrno>
#include "files/file_errors.h"

TEST(ErrorStr, ZeroIsEmpty) { EXPECT_EQ(error_str(0), ""); }

TEST(ErrorStr, KnownCodes) {
  struct row {
    int code;
    const char* text;
  } rows[] = {
      {ENOENT, "No such file or directory"},
      {EACCES, "Permission denied. Perhaps you do not have access to a directory or file system"},
      {ENOTEMPTY, "Directory not empty"},
      {EROFS, "The destination file system is read-only"},
      {EEXIST, "File exists"},
      {EAGAIN, "Resource temporarily unavailable"},
      {ENOSPC, "No space left on device. Perhaps your hard drive is full"},
      {EILSEQ, "Wide character encoding error"},
      {err_zip_open, "We were unable to open a zip file. It may be missing or damaged"},
      {err_net_reconnect, "We were unable to connct to the network due to an internal reconnect error"},
      {err_net_bad_state, "We wre unable to connect to the network due to a bad state error"},
      {err_net_write_file, "We could not write the incoming file from the web to disk"},
      {-43, "File not found"},
      {-5000, "You have insufficient privileges for this operation"},
  };
  for (const row& r : rows) EXPECT_EQ(error_str(r.code), r.text) << r.code;
}

TEST(ErrorStr, UnknownCodesAreNumbered) {
  EXPECT_EQ(error_str(err_not_mz), "Error code 20013");
  EXPECT_EQ(error_str(err_not_pe), "Error code 20014");
  EXPECT_EQ(error_str(-1), "Error code -1");
  EXPECT_EQ(error_str(-9999), "Error code -9999");
}
