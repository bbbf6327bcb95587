// Building requests, the port a proxy is reached on, failed look-ups and
// misuse of net_check.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cstdio>
#include "support/http_fixture.h"
#include "core/hl_alert.h"
#include "files/test_child.h"

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

// The preferences keep whatever the typed port made of itself; only a real
// port replaces the request's own.
TEST(HttpRequest, ProxyPortOnlyFromOneTo65535) {
  const struct {
    int32_t stored;
    unsigned short used;
  } cases[] = {{0, 80}, {-1, 80}, {1, 1}, {8080, 8080}, {65535, 65535}, {65536, 80}, {70000, 80}, {-65456, 80}};
  http_class h;
  for (const auto& c : cases) {
    h.proxy_port_int = c.stored;
    EXPECT_EQ(h.ProxyPort(80), c.used) << c.stored;
  }
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

// A port text of letters stores -1: the client then connects to the
// request's own port 80 of the proxy host, here a listener in a network
// namespace of the test's own.
TEST_F(HttpLookup, ALetteredProxyPortConnectsToTheRequestsPort) {
  const int result = test_in_child([&] {
    if (unshare(CLONE_NEWNET) != 0 || system("ip link set lo up") != 0) return k_child_unsupported;
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(80);
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 || listen(listener, 4) != 0)
      return k_child_unsupported;
    http.proxy_host = "127.0.0.1";
    http.proxy_port_int = -1;
    for (int i = 0; i < 20000; ++i) {
      if (http.net_check(3, "mirror", "/f", dir + "f") == 2) return 1;
      if (accept(listener, nullptr, nullptr) >= 0) return 0;
      usleep(200);
    }
    return 1;
  });
  if (result == k_child_unsupported) GTEST_SKIP() << "no private network namespace here";
  EXPECT_EQ(result, 0);
}

}  // namespace
