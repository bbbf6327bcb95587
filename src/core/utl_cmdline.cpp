#include "core/utl_cmdline.h"
#include "core/hl_version.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>
#include "core/globs.h"
#include "core/utl_dataref.h"

extern const char UTL_cmdline_usage[];

// The program's name and version as "--version" prints them.

command_registry_hooks g_command_registry;
UTL_cmdline cmdline;

int UTL_cmdline::has_option(const char* name) const { return options.count(name) ? 1 : 0; }

std::string UTL_cmdline::get_option(const char* name) const {
  auto it = options.find(name);
  return it == options.end() ? std::string() : it->second;
}

void UTL_cmdline::store(const std::string& name, const std::string& value) {
  if (options.count(name)) xer_group() << "WARNING: command line option " << name << "=" << value << "used twice.\n";
  options[name] = value;
  xer_group g;
  g << "     '" << name;
  if (!value.empty()) g << "'='" << value;
  g << "'\n";
}

// Splits one word at its first '=' and stores it.
void UTL_cmdline::store_word(const std::string& word) {
  size_t eq = word.find('=');
  if (eq == std::string::npos)
    store(word, std::string());
  else
    store(word.substr(0, eq), word.substr(eq + 1));
}

void UTL_cmdline::init_unix(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) store_word(argv[i]);
  init_common();
}

static bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

void UTL_cmdline::init_win(const char* text) {
  const char* p = text ? text : "";
  while (*p) {
    while (*p && is_blank(*p)) ++p;
    const char* start = p;
    while (*p && !is_blank(*p)) ++p;
    if (p == start || *start == '=') continue;
    store_word(std::string(start, p));
  }
  init_common();
}

int UTL_cmdline::answers_and_exits(int argc, const char* const* argv) {
  UTL_cmdline c;
  for (int i = 1; i < argc; ++i) c.store_word(argv[i]);
  return c.has_option("--cmnds") || c.has_option("--version") || c.has_option("-h") || c.has_option("--help");
}

[[noreturn]] static void finish_early() {
  fflush(stdout);
  exit(0);
}

int UTL_cmdline::init_common() {
  if (has_option("--cmnds")) {
    const std::string prefix = get_option("--cmnds");
    if (prefix == "all") {
      std::vector<std::string> paths, descriptions;
      if (g_command_registry.all) g_command_registry.all(paths, descriptions);
      for (size_t i = 0; i < paths.size() && i < descriptions.size(); ++i)
        printf("%-50s %s\n", paths[i].c_str(), descriptions[i].c_str());
    } else {
      std::vector<std::string> parts;
      if (g_command_registry.in_path) g_command_registry.in_path(prefix, parts);
      std::sort(parts.begin(), parts.end());
      for (const std::string& s : parts) printf("%s\n", s.c_str());
    }
    finish_early();
  }
  if (has_option("--version")) {
    printf("%s (built %s)\n", app_version_name, app_build_date);
    finish_early();
  }
  if (has_option("-h") || has_option("--help")) {
    printf("%s\n", UTL_cmdline_usage);
    finish_early();
  }
  return 0;
}

void UTL_cmdline::set_datarefs() {
  static const std::string prefix = "--dref:";
  for (const auto& opt : options) {
    if (opt.first.size() > prefix.size() && opt.first.compare(0, prefix.size(), prefix) == 0) {
      data_ref ref(opt.first.c_str() + prefix.size());
      (void)ref;  // no published data to apply the value to
    }
  }
}
