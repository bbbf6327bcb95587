// UDP datagram sockets on the loopback interface.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include "files/sock_udp.h"
#include "core/hl_alert.h"
#include "support/test_env.h"

namespace {

unsigned short free_udp_port() {
  int fd = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  socklen_t len = sizeof a;
  unsigned short port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
    port = ntohs(a.sin_port);
  close(fd);
  return port;
}

TEST(SockUdp, DatagramsBothWays) {
  VuduSocketUDP a, b;
  unsigned short pa = free_udp_port();
  ASSERT_EQ(1, a.udp_init(pa, 2));
  unsigned short pb = free_udp_port();
  ASSERT_EQ(1, b.udp_init(pb, 2));

  char buf[64];
  uint32_t from = 0;
  unsigned short from_port = 0;
  EXPECT_EQ(-1, b.ReadData(buf, sizeof buf, &from, &from_port));  // nothing yet, and no waiting

  ASSERT_EQ(8, a.udp_WriteData("datagram", 8, 0x7f000001, pb));
  long n = -1;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (n < 0 && std::chrono::steady_clock::now() < deadline) n = b.ReadData(buf, sizeof buf, &from, &from_port);
  ASSERT_EQ(8, n);
  EXPECT_EQ(0, memcmp(buf, "datagram", 8));
  EXPECT_EQ(0x7f000001u, from);
  EXPECT_EQ(pa, from_port);

  ASSERT_EQ(5, b.udp_WriteData("reply", 5, from, from_port));
  n = -1;
  while (n < 0 && std::chrono::steady_clock::now() < deadline) n = a.ReadData(buf, sizeof buf, &from, &from_port);
  EXPECT_EQ(5, n);
  EXPECT_EQ(pb, from_port);
}

TEST(SockUdp, PortInUseFailsToInit) {
  unsigned short port = free_udp_port();
  VuduSocketUDP a, b;
  ASSERT_EQ(1, a.udp_init(port, 2));
  EXPECT_EQ(0, b.udp_init(port, 2));
}

void print_alert(const std::string& message, const std::string&) { fprintf(stderr, "%s\n", message.c_str()); }

TEST(SockUdp, ReadingAClosedSocketIsACrash) {
  const std::string scratch = test_scratch_dir("udp");
  auto read_closed = [&] {
    if (chdir(scratch.c_str()) != 0) return;  // the crash alert writes its stack crawl here
    g_alert_screens.show_system_box = print_alert;
    VuduSocketUDP s;
    char buf[4];
    s.ReadData(buf, sizeof buf, nullptr, nullptr);
  };
  EXPECT_DEATH(read_closed(), "Bad mWinSocket!");
}

}  // namespace
