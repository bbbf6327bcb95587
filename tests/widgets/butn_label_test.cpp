#include <gtest/gtest.h>
#include <string>
#include "widgets/butn.h"

TEST(ButtonLabel, ThreeParts) {
  struct row {
    const char* label;
    const char* left;
    const char* right;
    const char* help;
  } rows[] = {
      {"plain", "plain", "", ""},
      {"|Français", "", "Français", ""},
      {"Left | Right { Help text", "Left", "Right", "Help text"},
      {"a|b|c{h", "a|b", "c", "h"},
      {"label{help", "label", "", "help"},
      {"a{x{y", "a{x", "", "y"},
      {"  two  |  sides  ", "  two ", " sides  ", ""},
      {"", "", "", ""},
      {"Size | MB { Disk space needed", "Size", "MB", "Disk space needed"},
      {"Size|MB{Disk space needed", "Size", "MB", "Disk space needed"},
      {"Next", "Next", "", ""},
      {"Name{Your name", "Name", "", "Your name"},
      {"a|b|c", "a|b", "c", ""},
      {"a  |b", "a ", "b", ""},
      {"|-I agree!", "", "-I agree!", ""},
      {"OK {Accept the terms", "OK", "", "Accept the terms"},
      {"a{b|c", "a{b", "", "b|c"},
  };
  for (const row& r : rows) {
    std::string l = "?", ri = "?", h = "?";
    BTN_expand_label(r.label, &l, &ri, &h);
    EXPECT_EQ(l, r.left) << r.label;
    EXPECT_EQ(ri, r.right) << r.label;
    EXPECT_EQ(h, r.help) << r.label;
  }
  BTN_expand_label("x|y", nullptr, nullptr, nullptr);
}
