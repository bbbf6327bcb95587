// TCP sockets on the loopback interface.
#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
#include "support/http_peers.h"
#include "files/sock.h"

namespace {

const uint32_t loopback = htonl(0x7f000001);

// Polls until the status leaves `from` or a wall-clock bound runs out.
int poll_past(VuduSocket& s, int from) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  int st;
  while ((st = s.GetStatus()) == from && std::chrono::steady_clock::now() < deadline) {
  }
  return st;
}

unsigned short local_port(VuduSocket& s) {
  VuduSocket::ConnectionData cd;
  s.GetAddresses(&cd);
  return cd.local_port;
}

// A connected pair: a client and the server side its listener accepted.
struct tcp_pair {
  std::unique_ptr<VuduSocket> listener{new VuduSocket(0, true)};
  std::unique_ptr<VuduSocket> client{new VuduSocket(0, false)};
  std::unique_ptr<VuduSocket> server;

  bool connect() {
    client->Connect(loopback, local_port(*listener));
    if (poll_past(*client, sock_connecting) != sock_connected) return false;
    if (poll_past(*listener, sock_idle) != sock_connecting) return false;
    server.reset(listener->Accept());
    return server && listener->GetStatus() == sock_idle;
  }
};

TEST(SockTcp, ListenConnectAcceptAndExchange) {
  tcp_pair p;
  ASSERT_EQ(sock_idle, p.listener->GetStatus());
  EXPECT_EQ(nullptr, p.listener->Accept());
  EXPECT_EQ(sock_idle, p.listener->GetStatus());
  ASSERT_TRUE(p.connect());
  EXPECT_EQ(sock_connected, p.server->GetStatus());

  char buf[16];
  EXPECT_EQ(0, p.client->ReadData(buf, sizeof buf));
  EXPECT_EQ(sock_connected, p.client->GetStatus());

  ASSERT_EQ(4, p.client->http_WriteData("ping", 4));
  long n = 0;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (n == 0 && std::chrono::steady_clock::now() < deadline) n = p.server->ReadData(buf, sizeof buf);
  ASSERT_EQ(4, n);
  EXPECT_EQ(0, memcmp(buf, "ping", 4));

  VuduSocket::ConnectionData cd;
  p.server->GetAddresses(&cd);
  EXPECT_EQ(loopback, cd.remote_address);
  EXPECT_EQ(local_port(*p.client), cd.remote_port);
  EXPECT_EQ(0x7f000001u, cd.local_address);
  EXPECT_EQ(local_port(*p.listener), cd.local_port);
}

// The peer's close shows as a release, not as an end, until this side
// releases too.
TEST(SockTcp, PeerCloseAfterLastByte) {
  tcp_pair p;
  ASSERT_TRUE(p.connect());
  ASSERT_EQ(3, p.server->http_WriteData("bye", 3));
  p.server.reset();

  char buf[16];
  long n = 0;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (n == 0 && std::chrono::steady_clock::now() < deadline) n = p.client->ReadData(buf, sizeof buf);
  ASSERT_EQ(3, n);
  while (!p.client->ReceivedRelease() && std::chrono::steady_clock::now() < deadline)
    ASSERT_EQ(0, p.client->ReadData(buf, sizeof buf));
  EXPECT_TRUE(p.client->ReceivedRelease());
  EXPECT_EQ(sock_connected, p.client->GetStatus());

  EXPECT_EQ(1, p.client->Release());
  EXPECT_EQ(-1, p.client->ReadData(buf, sizeof buf));
  EXPECT_EQ(sock_closed, p.client->GetStatus());
}

// Writing to a peer that has gone costs an error, never the process, even
// with the broken-pipe signal at its default action.
TEST(SockTcp, SendToGonePeer) {
  signal(SIGPIPE, SIG_DFL);
  tcp_pair p;
  ASSERT_TRUE(p.connect());
  p.server.reset();
  std::vector<char> block(65536, 'x');
  long r = 0;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (r >= 0 && std::chrono::steady_clock::now() < deadline) r = p.client->http_WriteData(block.data(), 65536);
  EXPECT_EQ(-1, r);
  int st = p.client->GetStatus();
  EXPECT_TRUE(st == sock_closed || st == sock_failed) << st;
  EXPECT_TRUE(p.client->GetOSError() == ECONNRESET || p.client->GetOSError() == EPIPE) << p.client->GetOSError();
}

// Linux reports a refused non-blocking connect as writable; it must not read
// as connected.
TEST(SockTcp, RefusedConnectIsNeverConnected) {
  VuduSocket s(0, false);
  s.Connect(loopback, static_cast<unsigned short>(test_free_port()));
  int st = poll_past(s, sock_connecting);
  EXPECT_TRUE(st == sock_closed || st == sock_failed) << st;
  EXPECT_EQ(ECONNREFUSED, s.GetOSError());
}

TEST(SockTcp, DisconnectCloses) {
  tcp_pair p;
  ASSERT_TRUE(p.connect());
  EXPECT_EQ(0, p.client->Disconnect());
  EXPECT_EQ(sock_closed, p.client->GetStatus());
}

TEST(SockTcp, BindFailureIsReportedOnStandardError) {
  VuduSocket first(0, true);
  unsigned short port = local_port(first);
  testing::internal::CaptureStderr();
  VuduSocket second(port, true);
  EXPECT_EQ("LINUX: NET: I could not even bind the socket! Uh-oh!\n", testing::internal::GetCapturedStderr());
  EXPECT_EQ(sock_failed, second.GetStatus());
  EXPECT_EQ(EADDRINUSE, second.GetOSError());
}

// Descriptors past the classic select() limit poll like any other.
TEST(SockTcp, HighDescriptorNumbers) {
  std::vector<int> held;
  int fd;
  while ((fd = open("/dev/null", O_RDONLY)) >= 0 && fd < 1100) held.push_back(fd);
  ASSERT_GE(fd, 1100);
  held.push_back(fd);
  {
    tcp_pair p;
    ASSERT_TRUE(p.connect());
    ASSERT_EQ(2, p.client->http_WriteData("hi", 2));
  }
  for (int h : held) close(h);
}

TEST(SockTcp, LookupAddress) {
  const struct {
    const char* name;
    uint32_t host_order;
  } cases[] = {
      {"127.0.0.1", 0x7f000001},
      {"10.1.2.3", 0x0a010203},  // converted, never looked up
      {"localhost", 0x7f000001},
      {"999.999.999.999", 0},
      {"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(htonl(c.host_order), VuduSocket::LookupAddress(c.name)) << c.name;
  // A label too long for the resolver fails before anything is asked.
  EXPECT_EQ(0u, VuduSocket::LookupAddress((std::string(70, 'a') + ".invalid").c_str()));
}

}  // namespace
