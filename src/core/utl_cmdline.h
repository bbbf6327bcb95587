// The parsed command line: option name (up to the first '=', dashes kept) to
// value (after it, or empty). Filled once at start-up, read from any thread.
#pragma once
#include <map>
#include <string>
#include <vector>

// The command registry belongs to the widget toolkit; "--cmnds" and the
// command listing of the file panels ask it through these, which the shell
// connects at start-up. Unset, the registry reads as empty.
struct command_registry_hooks {
  // paths and descriptions of every command, in registry order.
  void (*all)(std::vector<std::string>& paths, std::vector<std::string>& descriptions) = nullptr;
  // The distinct next components below prefix (cmnd_class::get_cmds_in_path).
  void (*in_path)(const std::string& prefix, std::vector<std::string>& out) = nullptr;
};
extern command_registry_hooks g_command_registry;

class UTL_cmdline {
 public:
  // Stores argv[1..argc-1], then runs init_common (which may print and exit).
  void init_unix(int argc, const char* const* argv);
  // Splits one command-line text at white space; for platforms that pass one string.
  void init_win(const char* text);
  // Answers "--cmnds", "--version", "-h" and "--help" (print, exit 0); else returns 0.
  int init_common();
  // 1 when argv holds one of the options init_common answers and exits on,
  // so a program can skip what only a real run needs before parsing.
  static int answers_and_exits(int argc, const char* const* argv);
  // 1 when an option of exactly this name was given (its value may be empty).
  int has_option(const char* name) const;
  // The option's value, or "" when absent.
  std::string get_option(const char* name) const;
  // Hands every "--dref:" option to the data-reference layer.
  void set_datarefs();

  std::map<std::string, std::string> options;

 private:
  void store(const std::string& name, const std::string& value);
  void store_word(const std::string& word);
};

extern UTL_cmdline cmdline;
