// A screen of every bar, panel and element style drawn with the pictures the
// program ships, compared pixel for pixel with the committed picture
// looks/every_style.png. To take a new picture on purpose, run this test with
// DUV_WRITE_LOOKS=1 and commit the file it writes.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include "support/test_env.h"
#include "widgets/butn.h"
#include "widget_fixture.h"

namespace {

void every_style() {
  const int bars[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 10};
  float y = 520;
  for (int style : bars) {
    BTN_frame1(style, 130, y, 201, 57);
    y -= 32;
  }
  for (int style : {11, 12, 13}) {
    BTN_frame1(style, 130, y, 150, 57);
    y -= 35;
  }
  BTN_frame0(6, 270, 300, 200);
  BTN_frame0(6, 300, 300, 57);
  int i = 0;
  for (int style = 14; style <= 22; ++style, ++i)
    BTN_frame2(style, 340 + 150.0f * (i % 3), 440 - 150.0f * (i / 3), 120, 100, "Style " + std::to_string(style),
               1);
  BTN_frame2(23, 20, 10, 200, 80, "Style 23", 1);
  int tab = 1;
  const char* const tabs[] = {"General", "Sound", "Keys"};
  for (int column = 0; column < 3; ++column) BTN_tab(column, 0, &tab, column, tabs[column]);
  BTN_frame2(16, 480, 10, 300, 90, "", 1);
  BTN_util_draw_label(560, 80, 0, "Installation folder", 0);
  BTN_util_draw_label(580, 80, 2, "Disk space needed", 1);
  BTN_util_draw_label(570, 35, 1, "A centred label", 0);
  BTN_util_draw_label(570, 15, 2, "-Never broken in two", 0);
  BTN_zap_boxes(0);
  float heading = 30, other = 300;
  plot_dir(300, 100, &heading, 1);
  plot_dir(300, 160, &other, 0);
  colr.spectrum_plot_scale(245, 20, 60, 0, 1, 1);
}

TEST(ProductionLook, EveryStyleMatchesTheCommittedPicture) {
  frame_driver::load_pictures(true, 0);
  const colr_class saved = colr;
  // The text colours that start-up takes from the atlas.
  const probe_picture atlas =
      probe_decode(std::string(DUV_BINARY_DIR) + "/Duvizo Installer.app/Contents/Resources/interface.png");
  ASSERT_TRUE(atlas.ok);
  for (const atlas_swatch& s : k_atlas_swatches) {
    const uint8_t* p = atlas.at(s.u, s.v);
    colr.col_assign(s.colour_id, p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f);
  }
  {
    frame_driver d;
    d.frame(every_style);
    ASSERT_EQ(d.captures().size(), 1u);
    ASSERT_TRUE(d.alerts().empty());
    const frame_capture& c = d.captures()[0];
    const std::string dir = test_scratch_dir("looks");
    const std::string raw = dir + "every_style.rgba", shot = dir + "every_style.png";
    std::ofstream(raw, std::ios::binary).write(reinterpret_cast<const char*>(c.rgba.data()), c.rgba.size());
    const std::string convert = "convert -size 800x600 -depth 8 rgba:'" + raw + "' -flip -alpha off png:'" + shot + "'";
    ASSERT_EQ(std::system(convert.c_str()), 0);

    const std::string committed = std::string(DUV_SOURCE_DIR) + "/tests/widgets/looks/every_style.png";
    if (std::getenv("DUV_WRITE_LOOKS")) {
      ASSERT_EQ(std::system(("cp '" + shot + "' '" + committed + "'").c_str()), 0);
    } else {
      const std::string cmp = "compare -metric AE '" + committed + "' '" + shot + "' null: 2>&1";
      std::string out;
      if (FILE* p = popen(cmp.c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p)) out += buf;
        pclose(p);
      }
      EXPECT_EQ(out, "0") << "differing pixels; this frame is in " << shot;
    }
  }
  colr = saved;
  frame_driver::unload_pictures();
}

}  // namespace
