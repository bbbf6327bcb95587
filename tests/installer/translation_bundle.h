// A bundle of a test's own whose resources hold one translation file, for
// tests that read the installer's texts in another language.
#pragma once
#include <string>
#include "support/test_env.h"

// Writes file (such as "French.txt") with the header of a version-900
// translation file and entries ("STRING English====Translation" lines)
// into a new bundle; the bundle's path, or "" when it could not be written.
inline std::string write_translation_bundle(const std::string& file, const std::string& entries) {
  const std::string bundle = test_scratch_dir("bundle") + "Installer.app";
  if (test_run("mkdir -p '" + bundle + "/Contents/Resources'") != 0) return "";
  if (!test_write_file(bundle + "/Contents/Resources/" + file, "I\n900 version\nTRANSLATION\n" + entries)) return "";
  return bundle;
}
