// Downloads from a real nginx on a loopback port.
#include <chrono>
#include <thread>
#include "support/http_fixture.h"
#include "support/http_peers.h"

namespace {

std::string md5_of(const std::string& path) {
  return test_capture("md5sum < '" + path + "' | cut -d' ' -f1");
}

class HttpNginx : public HttpTest {
 protected:
  void SetUp() override {
    HttpTest::SetUp();
    site = dir + "site";
    ASSERT_EQ(0, test_run("bash '" DUV_FIXTURES_DIR "/make_http_site.sh' '" + site + "'"));
    ASSERT_TRUE(nginx.start(site));
    use_proxy(nginx.port);
  }
  std::string site;
  nginx_peer nginx;
};

// One stream, file after file: every body arrives whole, and the one
// connection carries all of them, each request in absolute form.
TEST_F(HttpNginx, FilesArriveWholeOverOneKeptConnection) {
  const char* files[] = {"/small.txt", "/empty.txt", "/dir/with blank.txt", "/large.bin"};
  for (int i = 0; i < 4; ++i) {
    const std::string f = files[i];
    SCOPED_TRACE(f);
    std::string dest = dir + "got" + std::to_string(i);
    ASSERT_EQ(1, poll(1, "localhost", f, dest));
    EXPECT_EQ(md5_of(site + f), md5_of(dest));
  }
  EXPECT_EQ(
      "1 1 200 \"GET http://localhost/small.txt HTTP/1.1\"\n"
      "1 2 200 \"GET http://localhost/empty.txt HTTP/1.1\"\n"
      "1 3 200 \"GET http://localhost/dir/with%20blank.txt HTTP/1.1\"\n"
      "1 4 200 \"GET http://localhost/large.bin HTTP/1.1\"\n",
      nginx.access_log());
  EXPECT_EQ("", log());
}

TEST_F(HttpNginx, ProgressCountsUpToTheLength) {
  const std::string dest = dir + "large";
  int32_t last = 0;
  int frames = 0;
  int r;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while ((r = http.net_check(2, "localhost", "/large.bin", dest)) == 0 && std::chrono::steady_clock::now() < deadline) {
    down_class* d = http.streams[2];
    ASSERT_NE(nullptr, d);
    if (d->mContentLength >= 0) {
      EXPECT_EQ(20 * 1024 * 1024 + 3, d->mContentLength);
      EXPECT_GE(d->mReceived, last);
      EXPECT_LT(d->mReceived, d->mContentLength);
      last = d->mReceived;
    }
    ++frames;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  ASSERT_EQ(1, r);
  // One receive of at most 64 KB per frame.
  EXPECT_GE(frames, (20 * 1024 * 1024) / 65536);
  EXPECT_EQ(http.streams[2]->mReceived, http.streams[2]->mContentLength);
}

TEST_F(HttpNginx, MissingFileFailsWithTheServersPage) {
  const std::string dest = dir + "missing";
  ASSERT_EQ(2, poll(0, "localhost", "/missing.txt", dest));
  EXPECT_EQ(nullptr, http.streams[0]);
  EXPECT_NE(std::string::npos, test_read_file(dest).find("404 Not Found"));
  EXPECT_EQ("HTTP Error for " + dest +
                "\n   server     =localhost\n   file       =/missing.txt\n   IsDone     =1\n   IsComplete =1\n"
                "   IsErr      =0\n   GetStat    =3\n   GetOSErr   =0\n   response   =Not Found (#404)\n\n",
            log());
}

// Several streams polled in the same frames make progress side by side.
TEST_F(HttpNginx, SeveralStreamsRunAtOnce) {
  const char* files[] = {"/large.bin", "/large2.bin", "/large3.bin", "/small.txt"};
  int result[4] = {0, 0, 0, 0};
  int most_in_flight = 0;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < deadline) {
    int running = 0, in_flight = 0;
    for (int i = 0; i < 4; ++i) {
      if (result[i]) continue;
      result[i] = http.net_check(3 + i, "localhost", files[i], dir + "s" + std::to_string(i));
      down_class* d = http.streams[3 + i];
      if (!result[i]) ++running;
      if (!result[i] && d && d->mReceived > 0) ++in_flight;
    }
    most_in_flight = std::max(most_in_flight, in_flight);
    if (!running) break;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(1, result[i]) << files[i];
    EXPECT_EQ(md5_of(site + files[i]), md5_of(dir + "s" + std::to_string(i))) << files[i];
  }
  EXPECT_EQ(3, most_in_flight);
}

// Without a proxy host the server's own address is looked up and used.
TEST_F(HttpNginx, ServerAddressWithoutProxyHost) {
  http.proxy_host.clear();
  const std::string dest = dir + "small";
  ASSERT_EQ(1, poll(0, "127.0.0.1", "/small.txt", dest));
  EXPECT_EQ(md5_of(site + "/small.txt"), md5_of(dest));
  EXPECT_EQ(1u, http.dns_cache.count("127.0.0.1"));
  EXPECT_EQ("1 1 200 \"GET http://127.0.0.1/small.txt HTTP/1.1\"\n", nginx.access_log());
}

}  // namespace
