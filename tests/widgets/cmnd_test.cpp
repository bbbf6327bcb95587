#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "widgets/cmnd.h"

namespace {

using strings = std::vector<std::string>;

TEST(CommandRegistry, BuiltInTable) {
  cmnd_class c;
  ASSERT_EQ(c.paths.size(), 28u);
  for (const auto* v : {&c.enum_names, &c.descriptions}) EXPECT_EQ(v->size(), 28u);
  EXPECT_EQ(c.categories.size(), 28u);
  EXPECT_EQ(c.states, std::vector<int>(28, 0));
  EXPECT_TRUE(c.aliases.empty());

  const struct {
    int index;
    const char* enum_name;
    const char* path;
    int category, key, flags;
  } rows[] = {
      {cmnd_nothing, "cmnd_nothing", "sim/none/none", 3, 0, 0},
      {cmnd_scrshot, "cmnd_scrshot", "sim/operation/screenshot", 2, 185, 4},
      {cmnd_quit, "cmnd_quit", "sim/operation/quit", 2, 0, 0},
      {cmnd_gen_LFT, "cmnd_gen_LFT", "sim/general/left_fast", 3, 37, 1},
      {cmnd_v_rot_RGT, "cmnd_v_rot_RGT", "sim/general/rot_right_fast", 3, 69, 1},
  };
  for (const auto& r : rows) {
    const default_command& d = default_commands[r.index];
    EXPECT_STREQ(d.enum_name, r.enum_name);
    EXPECT_STREQ(d.path, r.path);
    EXPECT_EQ(d.category, r.category) << r.enum_name;
    EXPECT_EQ(d.key, r.key) << r.enum_name;
    EXPECT_EQ(d.key_flags, r.flags) << r.enum_name;
    EXPECT_EQ(c.enum_names[r.index], r.enum_name);
    EXPECT_EQ(c.paths[r.index], r.path);
    EXPECT_EQ(c.descriptions[r.index], d.description);
    EXPECT_EQ(c.categories[r.index], r.category);
  }
  EXPECT_EQ(c.descriptions[cmnd_quit], "Quit the simulation.");
}

TEST(CommandRegistry, LookupsAndAliases) {
  cmnd_class c;
  c.alias_cmd("sim/operation/quit", cmnd_gen_up);  // an alias wins over a path
  c.alias_cmd("q", cmnd_quit);
  c.alias_cmd("q", cmnd_gen_dn);  // the second alias of a name replaces the first
  c.alias_cmd("far", 999);        // not checked
  const struct {
    const char* name;
    int index;
  } cases[] = {
      {"", 0},
      {"sim/nothing/here", 0},
      {"SIM/operation/screenshot", 0},  // case counts
      {"sim/operation/screenshot ", 0},
      {"sim/operation/screenshot", cmnd_scrshot},
      {"sim/general/rot_right_fast", cmnd_v_rot_RGT},
      {"sim/operation/quit", cmnd_gen_up},
      {"q", cmnd_gen_dn},
      {"far", 999},
  };
  for (const auto& k : cases) EXPECT_EQ(c.get_cmnd_by_name(k.name), k.index) << '"' << k.name << '"';
}

TEST(CommandRegistry, NextPathComponents) {
  cmnd_class c;
  const struct {
    const char* prefix;
    strings want;
  } cases[] = {
      {"", {"sim/"}},
      {"sim/", {"none/", "operation/", "general/"}},
      {"sim/operation/", {"screenshot", "quicktime_record_toggle", "quit"}},
      {"sim/operation/quit", {}},
      {"sim/operation/qu", {"icktime_record_toggle", "it"}},
      {"nothing/", {}},
  };
  for (const auto& k : cases) {
    strings out = {"stale"};
    c.get_cmds_in_path(k.prefix, out);
    EXPECT_EQ(out, k.want) << '"' << k.prefix << '"';
  }
}

TEST(CommandRegistry, FilterByWords) {
  cmnd_class c;
  const struct {
    const char* filter;
    strings want;
  } cases[] = {
      {"SIM quit", {"sim/operation/quit"}},
      {"quit zoom", {}},
      {"\tZOOM_IN\n fast ", {"sim/general/zoom_in_fast"}},
      {"rot_up", {"sim/general/rot_up", "sim/general/rot_up_fast"}},
  };
  for (const auto& k : cases) {
    strings out = {"stale"};
    c.get_cmnds_by_filter(k.filter, out);
    EXPECT_EQ(out, k.want) << '"' << k.filter << '"';
  }
  for (const char* none : {"", "  \t"}) {
    strings out;
    c.get_cmnds_by_filter(none, out);
    EXPECT_EQ(out, c.paths) << '"' << none << '"';
  }
}

TEST(CommandRegistry, TabCompletion) {
  cmnd_class c;
  const struct {
    const char* text;
    int result;
    const char* want;
  } cases[] = {
      {"", 1, "sim/"},
      {"sim/gen", 1, "sim/general/"},
      // "quicktime_record_toggle" and "quit" share only "qui".
      {"sim/operation/q", 1, "sim/operation/qui"},
      {"sim/operation/quit", 1, "sim/operation/quit"},
      {"sim/operation/s", 1, "sim/operation/screenshot"},
      {"sim/general/zoom_in", 1, "sim/general/zoom_in"},
      {"sim/general/rot_d", 1, "sim/general/rot_down"},
      {"sim/x", 0, "sim/x"},
      {"Sim/", 0, "Sim/"},
  };
  for (const auto& k : cases) {
    std::string text = k.text;
    EXPECT_EQ(c.tab_complete_cmnd(text), k.result) << '"' << k.text << '"';
    EXPECT_EQ(text, k.want) << '"' << k.text << '"';
  }
}

TEST(CommandRegistry, AddedCommands) {
  cmnd_class c;
  EXPECT_EQ(c.add_cmd("sim/operation/quit", "Quit again."), 28);
  EXPECT_EQ(c.add_cmd("my/own/thing", "Mine."), 29);
  ASSERT_EQ(c.paths.size(), 30u);
  EXPECT_EQ(c.enum_names[28], "DYNAMIC");
  EXPECT_EQ(c.paths[28], "sim/operation/quit");
  EXPECT_EQ(c.descriptions[28], "Quit again.");
  EXPECT_EQ(c.categories[28], 2);
  EXPECT_EQ(c.states[28], 0);
  EXPECT_EQ(c.enum_names.size(), 30u);
  EXPECT_EQ(c.descriptions.size(), 30u);
  EXPECT_EQ(c.categories.size(), 30u);
  EXPECT_EQ(c.states.size(), 30u);
  EXPECT_EQ(c.get_cmnd_by_name("sim/operation/quit"), cmnd_quit);  // the first
  EXPECT_EQ(c.get_cmnd_by_name("my/own/thing"), 29);
  strings out;
  c.get_cmds_in_path("", out);
  EXPECT_EQ(out, (strings{"sim/", "my/"}));
  c.get_cmds_in_path("sim/operation/", out);
  EXPECT_EQ(out, (strings{"screenshot", "quicktime_record_toggle", "quit"}));
}

// "--cmnds" and the file list read the program's own registry.
TEST(CommandRegistry, TheProgramsRegistryIsTheBuiltInOne) {
  ASSERT_EQ(cmnd.paths.size(), 28u);
  for (int i = 0; i < cmnd_default_count; ++i) EXPECT_EQ(cmnd.paths[i], default_commands[i].path);
}

}  // namespace
