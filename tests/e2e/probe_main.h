// The start of the end-to-end probe programs: the installer's own start-up
// and frame loop (APP_main), run for the bundle named first on the command
// line, with the probe's own first screen.
//   <probe> <bundle> [program arguments...]
#pragma once
#include <cstdio>
#include <vector>
#include "installer/app_main.h"
#include "installer/wizard.h"
#include "platform/plat_bundle.h"

// Returns APP_main's result, or 2 (with the usage on standard error) when
// no bundle is given.
inline int probe_main(int argc, char** argv, const char* name, screen_func first) {
  if (argc < 2) {
    fprintf(stderr, "usage: %s <bundle> [arguments...]\n", name);
    return 2;
  }
  PLAT_set_bundle_path(argv[1]);
  std::vector<char*> args{argv[0]};
  for (int i = 2; i < argc; ++i) args.push_back(argv[i]);
  g_wizard = first;
  return APP_main(static_cast<int>(args.size()), args.data());
}
