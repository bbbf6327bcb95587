// A user's drive for the end-to-end tests: a sample disc image mounted with
// fuseiso, to be used inside test_in_private_mounts so no other test sees it.
#pragma once
#include <sys/stat.h>
#include <gtest/gtest.h>
#include <string>
#include "support/test_env.h"

namespace {

// Whether a volume is mounted at point in this process's mount namespace.
bool mounted(const std::string& point) {
  return test_read_file("/proc/self/mountinfo").find(" " + point + " ") != std::string::npos;
}

// fuseiso mounts the image at point; true when it did.
bool insert_disc(const std::string& iso, const std::string& point) {
  mkdir(point.c_str(), 0755);
  return test_run("fuseiso -n '" + iso + "' '" + point + "'") == 0;
}

// The image stays mounted at point while the guard lives.
struct disc_in_drive {
  std::string point;
  disc_in_drive(const std::string& iso, const std::string& at) : point(at) { EXPECT_TRUE(insert_disc(iso, point)) << iso; }
  ~disc_in_drive() { test_run("fusermount -u -z '" + point + "' 2>/dev/null"); }
};

}  // namespace
