// Building requests, failed look-ups and misuse of net_check.
#include <unistd.h>
#include <cstdio>
#include "support/http_fixture.h"
#include "core/hl_alert.h"

namespace {

TEST(HttpRequest, RequestTextWithBodyAndHeadersInNameOrder) {
  down_class d(0, 80);
  d.MakeRequest("/cgi bin/up load", true, {{"Host", "mirror"}, {"Accept", "*/*"}, {"User-agent", "x"}}, "body", 4,
                nullptr);
  EXPECT_EQ(
      "POST http://mirror/cgi%20bin/up%20load HTTP/1.1\r\n"
      "Accept: */*\r\nHost: mirror\r\nUser-agent: x\r\n"
      "Content-Length: 4\r\n\r\nbody",
      std::string(d.mOutBuf.begin(), d.mOutBuf.end()));
  EXPECT_EQ("", d.mDestPath);
}

// A stream made without an address has no socket: it can only fail, and says
// why.
TEST(HttpRequest, StreamWithoutAddress) {
  down_class d(0, 80);
  EXPECT_EQ(nullptr, d.mSocket);
  EXPECT_TRUE(d.IsErr());
  EXPECT_EQ(0, d.GetStat());
  EXPECT_EQ(20011, d.GetOSErr());
  d.MakeRequest("/f", false, {{"Host", "h"}}, nullptr, 0, "/tmp/x");
  EXPECT_EQ(20009, d.GetOSErr());
  d.DoProcessing();
  EXPECT_EQ(nullptr, d.mFile);
}

using HttpLookup = HttpTest;

// A name that cannot be found fails at once, silently, and is remembered.
// Both names fail inside the resolver library without asking the network.
TEST_F(HttpLookup, UnknownServerFailsAtOnceAndIsRemembered) {
  const std::string names[] = {std::string(70, 'a') + ".invalid", "999.999.999.999"};
  for (const std::string& server : names) {
    SCOPED_TRACE(server);
    EXPECT_EQ(2, http.net_check(5, server, "/f", dir + "f"));
    ASSERT_EQ(1u, http.dns_cache.count(server));
    EXPECT_EQ(0u, http.dns_cache[server]);
    EXPECT_EQ(nullptr, http.dns_calls[5]);
    EXPECT_EQ(2, http.net_check(5, server, "/f", dir + "f"));
    EXPECT_EQ(nullptr, http.streams[5]);
  }
  EXPECT_GE(http.streams.size(), 6u);
  EXPECT_EQ("", log());
  EXPECT_EQ(-1, access((dir + "f").c_str(), F_OK));
}

void print_alert(const std::string& message, const std::string& detail) {
  fprintf(stderr, "%s|%s\n", message.c_str(), detail.c_str());
}

// Misuse of the server and file conventions is a programming error.
TEST_F(HttpLookup, SlashConventionsAreCrashAlerts) {
  const std::string scratch = dir;
  auto misuse = [&](const std::string& server, const std::string& file) {
    // The crash alert appends a stack crawl to the current folder.
    if (chdir(scratch.c_str()) != 0) return;
    g_alert_screens.show_system_box = print_alert;
    http.proxy_host = "127.0.0.1";  // no name look-up for the odd names
    http.net_check(0, server, file, scratch + "f");
  };
  EXPECT_DEATH(misuse("mirror/", "/f"),
               "net_check error! You have a dirchar at the end of the server name! You should not!\\|"
               "Our convention is that a server name is simply a server name\\.\\.\\. with no slash! mirror/");
  EXPECT_DEATH(misuse("mirror", "f"),
               "net_check error! You do not have a dirchar at the beginning of the directory name! You should!");
}

}  // namespace
