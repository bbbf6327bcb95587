// Movies written for real: frames of known colours and times go through the
// recorder's queues and its thread into files that ffprobe and ffmpeg read
// back.
#include <gtest/gtest.h>
#include <errno.h>
#include <sys/stat.h>
#include <array>
#include <cmath>
#include <sstream>
#include "movie/movie_fixture.h"

namespace {
// Pixels as the capture reads them: B, G, R, A bytes.
uint32_t bgra(int r, int g, int b) { return 0xff000000u | (uint32_t)r << 16 | (uint32_t)g << 8 | (uint32_t)b; }

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);)
    if (!l.empty()) out.push_back(l);
  return out;
}

std::string probe(const std::string& path, const std::string& what) {
  return test_capture("ffprobe -v error -select_streams v:0 " + what + " '" + path + "'");
}

// The mean red, green and blue of each frame ffmpeg decodes from the movie.
std::vector<std::array<double, 3>> frame_means(const std::string& path, int w, int h) {
  const std::string raw = path + ".rgb";
  EXPECT_EQ(test_run("ffmpeg -v error -y -i '" + path + "' -fps_mode passthrough -f rawvideo -pix_fmt rgb24 '" + raw + "'"), 0);
  const std::string bytes = test_read_file(raw);
  std::vector<std::array<double, 3>> out;
  const std::size_t size = (std::size_t)w * h * 3;
  for (std::size_t at = 0; at + size <= bytes.size(); at += size) {
    std::array<double, 3> sum{0, 0, 0};
    for (std::size_t i = 0; i < size; ++i) sum[i % 3] += (unsigned char)bytes[at + i];
    for (double& s : sum) s /= (double)w * h;
    out.push_back(sum);
  }
  return out;
}
}  // namespace

using MovieWriter = Movie;

TEST_F(MovieWriter, FramesThroughTheQueuesBecomeAJpegTrackOfSixHundredthsOfASecond) {
  struct Frame {
    int r, g, b;
    float seconds;
    int units;  // the sample's duration in 1/600 s
  } frames[] = {
      {250, 10, 10, 0.05f, 30},  {10, 250, 10, 0.0f, 1},    {10, 10, 250, 0.001f, 1},  {200, 200, 40, 0.1f, 60},
      {40, 200, 200, 5.0f, 60},  {128, 64, 32, 0.0125f, 7}, {255, 255, 255, 1 / 60.0f, 10},
  };
  qtim.mov_toggle(1);
  ASSERT_EQ(qtim.state, 1);
  ASSERT_EQ(qtim.movie_path, "Duvizo _1.mov");
  for (const Frame& f : frames) send_frame(bgra(f.r, f.g, f.b), f.seconds);
  qtim.mov_toggle(0);
  ASSERT_EQ(qtim.state, 0);
  ASSERT_TRUE(alerts().empty()) << alerts()[0].lines[0];

  const std::string path = folder + "Duvizo _1.mov";
  EXPECT_EQ(lines_of(probe(path, "-show_entries stream=codec_name,codec_tag_string,width,height,time_base,nb_frames "
                                 "-of default=nw=1")),
            (std::vector<std::string>{"codec_name=mjpeg", "codec_tag_string=jpeg", "width=320", "height=240",
                                      "time_base=1/600", "nb_frames=7"}));
  std::vector<std::string> want_units;
  for (const Frame& f : frames) want_units.push_back(std::to_string(f.units));
  EXPECT_EQ(lines_of(probe(path, "-show_entries packet=duration -of csv=p=0")), want_units);
  // QuickTime's own file type, not an MPEG-4 one.
  EXPECT_EQ(test_capture("ffprobe -v error -show_entries format_tags=major_brand -of default=nw=1:nk=1 '" + path + "'"),
            "qt  \n");

  const auto means = frame_means(path, 320, 240);
  ASSERT_EQ(means.size(), 7u);
  for (std::size_t i = 0; i < means.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(means[i][0], frames[i].r, 3);
    EXPECT_NEAR(means[i][1], frames[i].g, 3);
    EXPECT_NEAR(means[i][2], frames[i].b, 3);
  }
}

TEST_F(MovieWriter, EachRecordingIsANewNumberedTake) {
  for (int take = 1; take <= 2; ++take) {
    qtim.mov_toggle(1);
    EXPECT_EQ(qtim.movie_path, "Duvizo _" + std::to_string(take) + ".mov");
    for (int i = 0; i < 3 + take; ++i) send_frame(bgra(40 * i, 100, 200 - 40 * i), 0.05f);
    qtim.mov_toggle(0);
    ASSERT_EQ(qtim.state, 0);
  }
  EXPECT_EQ(test_list_folder(folder), (std::vector<std::string>{"Duvizo _1.mov", "Duvizo _2.mov"}));
  for (int take = 1; take <= 2; ++take)
    EXPECT_EQ(probe(folder + "Duvizo _" + std::to_string(take) + ".mov", "-show_entries stream=nb_frames -of csv=p=0"),
              std::to_string(3 + take) + "\n");
  EXPECT_TRUE(alerts().empty());
}

TEST_F(MovieWriter, AFolderThatCannotTakeTheFileRefusesTheStart) {
  // A current folder that no longer exists takes no new file, whoever asks.
  const std::string gone = folder + "gone/";
  ASSERT_EQ(mkdir(gone.c_str(), 0755), 0);
  ASSERT_EQ(chdir(gone.c_str()), 0);
  ASSERT_EQ(rmdir(gone.c_str()), 0);
  qtim.mov_toggle(1);
  ASSERT_EQ(alerts().size(), 1u);
  EXPECT_EQ(alerts()[0].kind, t_quit);
  EXPECT_EQ(alerts()[0].line, 88);
  EXPECT_EQ(alerts()[0].lines, (std::vector<std::string>{"Could not CreateMovieFile to file: Duvizo _1.mov",
                                                         "(CreateMovieFile failed)", "", std::to_string(-ENOENT)}));
  EXPECT_EQ(qtim.state, 0);
  EXPECT_EQ(qt_movie, nullptr);
  EXPECT_FALSE(tman.tex_exists(379));
}
