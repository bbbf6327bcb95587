// libFuzzer target: random edit scripts on the text fields' editor; any
// step that leaves the selection or the lines outside the text aborts.
#include <cstdio>
#include <cstdlib>
#include "text_engine_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string broken = text_engine_script::run(data, size);
  if (!broken.empty()) {
    fprintf(stderr, "%s\n", broken.c_str());
    abort();
  }
  return 0;
}
