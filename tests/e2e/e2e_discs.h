// The sample disc set in the end-to-end tests: images mounted with fuseiso,
// as a user's drive holds them, inside the private mount namespace of
// test_in_private_mounts (no other test sees them).
#pragma once
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <string>
#include "support/test_env.h"

namespace {

const std::string k_samples = std::string(DUV_BINARY_DIR) + "/sample_discs/";

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

// 1 when point is a mount point of this process's namespace.
bool mounted(const std::string& point) {
  return test_read_file("/proc/self/mountinfo").find(" " + point + " ") != std::string::npos;
}

}  // namespace
