// Choosing an installed copy: what counts as a copy, "Find It" with the
// desktop's folder dialog (a fake dialog program) and the walk upwards, the list's
// layout, the pick screens' texts, and a destination left behind by the
// install flow that must not count as chosen.
#include <unistd.h>
#include "files/file_paths.h"
#include "installer/dvd_flows.h"
#include "installer/dvd_pick.h"
#include "screen_fixture.h"
#include "support/fake_dialog.h"

namespace {

TEST_F(Screens, PathIsToASim) {
  const std::string root = test_scratch_dir("sims");
  auto folders = [&](const std::string& name, std::vector<std::string> dirs, std::vector<std::string> files,
                     std::vector<std::string> links) {
    const std::string at = root + name + "/";
    mkdir(at.c_str(), 0755);
    for (const std::string& f : dirs) mkdir((at + f).c_str(), 0755);
    for (const std::string& f : files) test_write_file(at + f, "x");
    for (const std::string& f : links) EXPECT_EQ(symlink((root + "all/Airfoils").c_str(), (at + f).c_str()), 0);
    return at;
  };
  const struct {
    const char* what;
    std::string folder;
    int want;
  } cases[] = {
      {"all four", folders("all", {"Airfoils", "Instructions", "Output", "Resources"}, {}, {}), 1},
      {"Output missing", folders("three", {"Airfoils", "Instructions", "Resources"}, {}, {}), 0},
      {"My Airfoils", folders("mine", {"My Airfoils", "Instructions", "Output", "Resources"}, {}, {}), 1},
      {"a file Airfoils", folders("file", {"Instructions", "Output", "Resources"}, {"Airfoils"}, {}), 0},
      {"a link Airfoils", folders("link", {"Instructions", "Output", "Resources"}, {}, {"Airfoils"}), 0},
      {"missing folder", root + "nowhere/", 0},
      {"empty path", "", 0},
  };
  for (const auto& c : cases) {
    dest_dir_path = c.folder;
    EXPECT_EQ(path_is_to_a_sim(), c.want) << c.what;
  }
}

// Where "Find It" stands in the last frame: the centre of its style-2 bar.
struct button_at {
  float x = 0, y = 0;
};

class FindIt : public Screens {
 protected:
  button_at find_it() {
    run(dvd_pick_scenery, 0);
    const quad_extent e = extent_of(d->trace(), bar_rect(2));
    EXPECT_TRUE(e.found);
    return {(e.left + e.right) / 2, (e.bottom + e.top) / 2};
  }
  void press_find_it() {
    const button_at b = find_it();
    click(dvd_pick_scenery, static_cast<int>(b.x), static_cast<int>(b.y));
  }
};

TEST_F(FindIt, WithNoCopyTheSentenceAndButtonStandAtTheTop) {
  run(dvd_pick_scenery, 1);
  const auto sentence = strings_in(50);
  ASSERT_EQ(sentence.size(), 1u);
  EXPECT_EQ(sentence[0].text, "Is the copy of Duvizo 9 you're looking for missing from this list?");
  EXPECT_FLOAT_EQ(sentence[0].x, 230);
  EXPECT_FLOAT_EQ(sentence[0].y, 400);
  const button_at b = find_it();
  EXPECT_FLOAT_EQ(b.y, 403);
  const float w = OGL_measure_string(sentence[0].text);
  EXPECT_NEAR(b.x, w > 400 ? 685 : w + 285, 1);
  EXPECT_EQ(s.next_screen, nullptr);
}

TEST_F(FindIt, ChoosingInsideACopySelectsAndRegistersItOnce) {
  const std::string copy = make_copy("copy");
  const std::string elsewhere = make_copy("elsewhere");
  run(dvd_pick_scenery, 1);
  fake_dialog z(copy + "Resources/plugins/", 0);
  // The folder the dialog last opened on.
  auto opened_on = [&] {
    const std::string args = z.args();
    const size_t at = args.rfind("--filename=");
    return at == std::string::npos ? std::string() : args.substr(at + 11, args.find('\n', at) - at - 11);
  };
  // No copy listed yet: the dialog opens on the Desktop.
  std::string desktop;
  get_OS_abs_path(os_dir_desktop, desktop);
  ASSERT_EQ(test_run("mkdir -p '" + desktop + "'"), 0);
  press_find_it();
  EXPECT_EQ(dest_dir_path, copy);
  EXPECT_EQ(test_read_file(registry_), copy + "\n");
  EXPECT_EQ(all_velroots, std::vector<std::string>{copy});
  EXPECT_NE(z.args().find("--directory\n"), std::string::npos) << z.args();
  EXPECT_NE(z.args().find("--button=Select:0\n"), std::string::npos) << z.args();
  EXPECT_EQ(opened_on(), desktop);
  run(dvd_pick_scenery, 0);
  EXPECT_EQ(s.next_screen, dvd_scan_scenery);

  // Found again from its own folder: chosen, no second line.
  dest_dir_path = elsewhere;
  z.answer_with(copy.substr(0, copy.size() - 1), 0);
  press_find_it();
  EXPECT_EQ(dest_dir_path, copy);
  EXPECT_EQ(test_read_file(registry_), copy + "\n");

  // The root holds no copy: the warning names it, the choice stays.
  z.answer_with("/", 0);
  press_find_it();
  ASSERT_EQ(d->alerts().size(), 1u);
  const frame_alert& a = d->alerts()[0];
  EXPECT_EQ(a.kind, 1);
  EXPECT_EQ(a.lines, (std::vector<std::string>{"You selected the folder path:", "/",
                                               "But it does not appear to be an installed copy of Duvizo 9.",
                                               "Please be sure to select the folder that contains the Duvizo "
                                               "application."}));
  EXPECT_EQ(dest_dir_path, copy);

  // A folder with no copy above it: the same, naming the chosen folder.
  const std::string bare = test_scratch_dir("bare");
  z.answer_with(bare, 0);
  press_find_it();
  ASSERT_EQ(d->alerts().size(), 1u);
  EXPECT_EQ(d->alerts()[0].lines[1], bare);
  EXPECT_EQ(dest_dir_path, copy);

  // Cancelled: nothing changes. The dialog opened on the chosen copy.
  z.answer_with("", 1);
  press_find_it();
  EXPECT_EQ(opened_on(), copy);
  EXPECT_TRUE(d->alerts().empty());
  EXPECT_EQ(dest_dir_path, copy);
  EXPECT_EQ(test_read_file(registry_), copy + "\n");
}

TEST_F(Screens, OneBoxPerCopyAndAClickChoosesIt) {
  const std::string a = make_copy("a"), b = make_copy("b");
  register_copies({a, b});
  run(dvd_pick_repair, 1);
  // Boxes at y 400 and 375, labelled with the folder right of the box; the
  // button's label comes last.
  std::vector<std::string> labels = texts_in(48);
  EXPECT_EQ(labels, (std::vector<std::string>{a, b, "Find It"}));
  const auto sentence = strings_in(50);
  ASSERT_EQ(sentence.size(), 1u);
  EXPECT_FLOAT_EQ(sentence[0].y, 350);
  click(dvd_pick_repair, 250, 379);
  EXPECT_EQ(dest_dir_path, b);
  click(dvd_pick_repair, 250, 404);
  EXPECT_EQ(dest_dir_path, a);
  // A click on the ticked box keeps it chosen.
  click(dvd_pick_repair, 250, 404);
  EXPECT_EQ(dest_dir_path, a);
}

TEST_F(Screens, PickScreensTextsWithOneAndTwoCopies) {
  const std::string a = make_copy("a"), b = make_copy("b");
  const std::string more = "You have more than one copy of Duvizo 9 installed on this computer.  ";
  const struct {
    screen_func screen;
    const char* title;
    const char* request;
    screen_func next;
  } screens[] = {
      {dvd_pick_scenery, "Select Duvizo 9 to Add or Remove Scenery",
       "Please pick which copy of Duvizo 9 you would like to add scenery to.", dvd_scan_scenery},
      {dvd_pick_repair, "Repair Duvizo 9", "Please pick which copy of Duvizo 9 you would like to repair.",
       dvd_scan_repair},
      {dvd_pick_run_sim, "Run Duvizo", "Please pick which copy of Duvizo 9 you would like to run.", dvd_do_run_sim},
  };
  for (const auto& c : screens) {
    SCOPED_TRACE(c.title);
    // One copy: chosen at once. The run flow starts it without a choice.
    register_copies({a});
    dest_dir_path.clear();
    const int result = run(c.screen, 1);
    EXPECT_EQ(dest_dir_path, a);
    EXPECT_EQ(s.title, c.title);
    EXPECT_EQ(s.next_screen, c.next);
    EXPECT_EQ(s.back, dvd_start);
    if (c.screen == dvd_pick_run_sim) {
      EXPECT_EQ(result, 1);
    } else {
      EXPECT_EQ(result, 0);
      EXPECT_EQ(s.text, c.request);
      run(c.screen, 0);
      EXPECT_EQ(s.next_screen, c.next);
    }
    // Two copies: the sentence saying so comes first.
    register_copies({a, b});
    EXPECT_EQ(run(c.screen, 1), 0);
    EXPECT_EQ(s.text, more + c.request);
  }
}

TEST_F(Screens, StepListsOfTheTwoFlows) {
  run(dvd_pick_scenery, 1);
  EXPECT_EQ(step_names, (std::vector<std::string>{"Welcome", "Select Duvizo", "Scan Existing Scenery",
                                                  "Select New Scenery", "Install Scenery", "Finish"}));
  EXPECT_EQ(step_funcs, (std::vector<screen_func>{dvd_start, dvd_pick_scenery, dvd_scan_scenery, dvd_edit_scenery,
                                                  dvd_install_scenery, dvd_done_scenery}));
  run(dvd_pick_repair, 1);
  EXPECT_EQ(step_names, (std::vector<std::string>{"Welcome", "Select Duvizo", "Scan For Problems", "Confirm Repairs",
                                                  "Repair Duvizo", "Finish"}));
  EXPECT_EQ(step_funcs, (std::vector<screen_func>{dvd_start, dvd_pick_repair, dvd_scan_repair, dvd_confirm_repair,
                                                  dvd_install_repair, dvd_done_repair}));
}

// The install flow's destination screen leaves its folder in dest_dir_path.
// Entering a pick screen must not take it for a chosen copy: with several
// copies Next stays off until the user ticks one.
TEST_F(Screens, AStaleDestinationIsNoChoice) {
  const std::string a = make_copy("a"), b = make_copy("b");
  const std::string second = test_scratch_dir("desktop") + "Duvizo 10/";
  register_copies({a, b});
  for (screen_func screen : {dvd_pick_scenery, dvd_pick_repair, dvd_pick_run_sim}) {
    dest_dir_path = second;
    EXPECT_EQ(run(screen, 1), 0);
    EXPECT_EQ(s.next_screen, nullptr);
    EXPECT_EQ(dest_dir_path, "");
    run(screen, 0);
    EXPECT_EQ(s.next_screen, nullptr);
    click(screen, 250, 379);
    run(screen, 0);
    EXPECT_NE(s.next_screen, nullptr);
    EXPECT_EQ(dest_dir_path, b);
    // A registered copy stays chosen on entry.
    run(screen, 1);
    EXPECT_EQ(dest_dir_path, b);
  }
}

}  // namespace
