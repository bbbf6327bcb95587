#include "core/utl_cmdline.h"

UTL_cmdline cmdline;

int UTL_cmdline::has_option(const char* name) const { return options.count(name) ? 1 : 0; }

std::string UTL_cmdline::get_option(const char* name) const {
  auto it = options.find(name);
  return it == options.end() ? std::string() : it->second;
}

#include "core/globs.h"

void UTL_cmdline::store(const std::string& name, const std::string& value) {
  if (options.count(name)) xer_group() << "WARNING: command line option " << name << "=" << value << "used twice.\n";
  options[name] = value;
  xer_group g;
  g << "     '" << name;
  if (!value.empty()) g << "'='" << value;
  g << "'\n";
}

void UTL_cmdline::init_unix(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    size_t eq = arg.find('=');
    if (eq == std::string::npos)
      store(arg, std::string());
    else
      store(arg.substr(0, eq), arg.substr(eq + 1));
  }
  init_common();
}

int UTL_cmdline::init_common() { return 0; }
