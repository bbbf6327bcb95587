// Answers of a scripted server, from merely unusual to broken, and how each
// transfer ends. None of these may hang or report a short file as done.
#include <arpa/inet.h>
#include <errno.h>
#include <unistd.h>
#include <algorithm>
#include <memory>
#include "support/http_fixture.h"
#include "support/http_peers.h"
#include "files/file_errors.h"
#include "files/sock.h"

namespace {

class HttpFaults : public HttpTest {
 protected:
  // A fresh server for the scenario, which takes every connection.
  bool start(const std::string& scenario) {
    peer.reset(new script_peer);
    if (!peer->start(scenario)) return false;
    use_proxy(peer->port);
    return true;
  }
  std::string failure_log(const std::string& dest, const std::string& file) {
    return "HTTP Error for " + dest + "\n   server     =mirror\n   file       =" + file + "\n";
  }
  std::unique_ptr<script_peer> peer;
};

struct answer_case {
  const char* scenario;
  int result;
  const char* body;          // the destination's content after the transfer
  const char* log_contains;  // a line of the failure log, or null for none
};

// Transfers that end on their own: the program clock never moves, so each
// result comes from the answer itself and not from the time-out.
TEST_F(HttpFaults, EachAnswerEndsOnItsOwn) {
  const answer_case cases[] = {
      {"lenient", 1, "hello", nullptr},       // lower-case name, no blank after ':', empty reason
      {"no_reason", 1, "hello", nullptr},     // no reason at all, blanks around the value
      {"dup_length", 1, "hello", nullptr},    // the first of two lengths counts
      {"interim", 1, "hello", nullptr},       // a 100 Continue ahead of the answer
      {"zero", 1, "", nullptr},               // an empty body
      {"truncated", 2, nullptr, "   IsComplete =0\n"},
      {"overlong", 2, "hello world", "   IsComplete =0\n"},
      {"bad_length", 2, "hello", "   IsComplete =0\n"},
      {"huge_length", 2, "hello", "   IsComplete =0\n"},  // above 2^31-1: unknown, never 5 by wrapping
      {"mid_headers", 2, nullptr, "   response   =OK (#200)\n"},
      {"chunked_close", 2, nullptr, "   IsComplete =0\n"},
      {"no_length_close", 2, "hello", "   IsComplete =0\n"},
      {"redirect", 2, "", "   response   =Moved Permanently (#301)\n"},
      {"not_found", 2, "not here\n", "   response   =Not Found (#404)\n"},
  };
  for (const answer_case& c : cases) {
    SCOPED_TRACE(c.scenario);
    ASSERT_TRUE(start(c.scenario));
    const std::string dest = dir + c.scenario;
    const std::string before = log();
    xtim.real_time = 100;
    ASSERT_EQ(c.result, poll(0, "mirror", "/f.zip", dest));
    EXPECT_EQ(100, xtim.real_time);
    if (c.body) {
      EXPECT_EQ(c.body, test_read_file(dest));
    }
    const std::string added = log().substr(before.size());
    if (c.log_contains) {
      EXPECT_EQ(0u, added.find(failure_log(dest, "/f.zip"))) << added;
      EXPECT_NE(std::string::npos, added.find(c.log_contains)) << added;
      EXPECT_EQ(nullptr, http.streams[0]);
    } else {
      EXPECT_EQ(0, access(dest.c_str(), F_OK));
      EXPECT_EQ("", added);
      ASSERT_NE(nullptr, http.streams[0]);
      EXPECT_EQ(http.streams[0]->mReceived, http.streams[0]->mContentLength);
    }
    delete http.streams[0];
    http.streams[0] = nullptr;
  }
}

// Transfers that stop moving end at the time-out, 60 s of program time
// after the last body data (or the request's start).
TEST_F(HttpFaults, StalledTransfersTimeOut) {
  struct stall_case {
    const char* scenario;
    bool (*stalled)(down_class*);
  } cases[] = {
      {"stall", [](down_class* d) { return d->mReceived == 5; }},
      {"silent", [](down_class* d) { return d->mOutBuf.empty() && d->mResponseCode == 0; }},
      {"chunked_hold", [](down_class* d) { return d->mHeadersDone && d->mReceived > 0; }},
  };
  for (const stall_case& c : cases) {
    SCOPED_TRACE(c.scenario);
    ASSERT_TRUE(start(c.scenario));
    const std::string dest = dir + c.scenario;
    const std::string before = log();
    xtim.real_time = 1000;
    ASSERT_TRUE(poll_while_running(0, "mirror", "/f", dest, [&] {
      // Let the last bytes arrive before the clock moves.
      return http.streams[0] && c.stalled(http.streams[0]);
    }));
    for (int i = 0; i < 20; ++i) ASSERT_EQ(0, http.net_check(0, "mirror", "/f", dest));
    xtim.real_time = http.streams[0]->mLastActivity + 59.5f;
    ASSERT_EQ(0, http.net_check(0, "mirror", "/f", dest));
    xtim.real_time = http.streams[0]->mLastActivity + 60.5f;
    ASSERT_EQ(2, http.net_check(0, "mirror", "/f", dest));
    EXPECT_EQ(nullptr, http.streams[0]);
    EXPECT_EQ("Timeout for " + dest + "\n   server     =mirror\n   file       =/f\n\n", log().substr(before.size()));
  }
}

// Body data keeps a slow transfer alive far beyond the time-out.
TEST_F(HttpFaults, SlowDripIsNotATimeOut) {
  ASSERT_TRUE(start("drip"));
  const std::string dest = dir + "drip";
  xtim.real_time = 0;
  ASSERT_TRUE(poll_while_running(0, "mirror", "/f", dest, [] { return http.streams[0]->mHeadersDone; }));
  for (int byte = 1; byte <= 2; ++byte) {
    xtim.real_time += 50;
    peer->release_byte();
    ASSERT_TRUE(poll_while_running(0, "mirror", "/f", dest, [&] { return http.streams[0]->mReceived == byte; }));
  }
  xtim.real_time += 50;
  peer->release_byte();
  ASSERT_EQ(1, poll(0, "mirror", "/f", dest));
  EXPECT_EQ("abc", test_read_file(dest));
  EXPECT_EQ("", log());
}

// A header block that never ends fails once it reaches the limit, holding
// no more than that, and the next request, on a new connection, goes through.
TEST_F(HttpFaults, EndlessHeadersFailAtTheLimit) {
  for (const char* scenario : {"endless_line", "endless_lines"}) {
    SCOPED_TRACE(scenario);
    ASSERT_TRUE(start(scenario));
    const std::string dest = dir + scenario;
    const std::string before = log();
    xtim.real_time = 100;
    ASSERT_TRUE(poll_while_running(0, "mirror", "/f", dest, [] { return http.streams[0] && http.streams[0]->mOutBuf.empty(); }));
    // Step by step, to see the buffer at every step up to the failure.
    down_class* d = http.streams[0];
    size_t most = 0;
    bool within = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!d->IsErr() && std::chrono::steady_clock::now() < deadline) {
      d->DoProcessing();
      const size_t held = d->mHeaderBytes + d->mInBuf.size();
      within = within && held <= down_class::kMaxHeaderBytes && d->mInBuf.size() <= down_class::kMaxHeaderBytes;
      most = std::max(most, held);
    }
    EXPECT_TRUE(within);
    EXPECT_EQ(down_class::kMaxHeaderBytes, most);
    EXPECT_EQ(err_net_header_too_long, d->GetOSErr());
    EXPECT_EQ(2, http.net_check(0, "mirror", "/f", dest));
    EXPECT_EQ(nullptr, http.streams[0]);  // failed, not still running
    EXPECT_EQ(100, xtim.real_time);
    const std::string added = log().substr(before.size());
    EXPECT_EQ(0u, added.find(failure_log(dest, "/f"))) << added;
    EXPECT_NE(std::string::npos, added.find("   GetOSErr   =" + std::to_string(err_net_header_too_long) + "\n"))
        << added;
    ASSERT_EQ(1, poll(0, "mirror", "/next", dir + "next"));
    EXPECT_EQ("hello", test_read_file(dir + "next"));
    EXPECT_EQ(2, peer->connections());
    delete http.streams[0];
    http.streams[0] = nullptr;
  }
}

// A head that arrives one byte at a time parses like one in a single piece.
TEST_F(HttpFaults, HeadersInOneBytePiecesParse) {
  ASSERT_TRUE(start("drip_head"));
  const std::string dest = dir + "bytewise";
  const size_t head = std::string("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n").size();
  ASSERT_TRUE(poll_while_running(0, "mirror", "/f", dest, [] { return http.streams[0] && http.streams[0]->mOutBuf.empty(); }));
  for (size_t k = 1; k < head; ++k) {
    peer->release_byte();
    ASSERT_TRUE(poll_while_running(0, "mirror", "/f", dest, [&] {
      const down_class* d = http.streams[0];
      return d->mHeaderBytes + d->mInBuf.size() == k;
    })) << k;
    EXPECT_FALSE(http.streams[0]->mHeadersDone);
  }
  peer->release_byte();
  ASSERT_EQ(1, poll(0, "mirror", "/f", dest));
  EXPECT_EQ(200, http.streams[0]->mResponseCode);
  EXPECT_EQ("hello", test_read_file(dest));
  EXPECT_EQ("", log());
}

TEST_F(HttpFaults, RefusedConnectionFails) {
  use_proxy(test_free_port());
  const std::string dest = dir + "refused";
  ASSERT_EQ(2, poll(0, "mirror", "/f", dest));
  const std::string text = log();
  EXPECT_EQ(0u, text.find(failure_log(dest, "/f"))) << text;
  EXPECT_NE(std::string::npos, text.find("   GetOSErr   =" + std::to_string(ECONNREFUSED) + "\n")) << text;
  EXPECT_NE(std::string::npos, text.find("   response   = (#0)\n")) << text;
}

TEST_F(HttpFaults, UnwritableDestinationFails) {
  ASSERT_TRUE(start("ok"));
  const std::string dest = dir + "no/such/folder/file";
  ASSERT_EQ(2, poll(0, "mirror", "/f", dest));
  EXPECT_NE(std::string::npos, log().find("   GetOSErr   =" + std::to_string(ENOENT) + "\n"));
}

// Whether a second request rides on the first one's connection.
TEST_F(HttpFaults, ConnectionReuse) {
  const struct {
    const char* scenario;
    int connections;
    bool server_closes;  // the server closes once idle, unannounced
  } cases[] = {
      {"ok", 1, false},
      {"say_close", 2, false},  // "Connection: ClOsE", though the server would go on
      {"http10", 2, false},     // HTTP/1.0 closes unless it says keep-alive
      {"http10_keep", 1, false},
      {"idle_close", 2, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scenario);
    ASSERT_TRUE(start(c.scenario));
    ASSERT_EQ(1, poll(0, "mirror", "/one", dir + "one"));
    if (c.server_closes) {
      ASSERT_TRUE(peer->wait_closed());
    }
    ASSERT_EQ(1, poll(0, "mirror", "/two", dir + "two"));
    EXPECT_EQ("hello", test_read_file(dir + "two"));
    EXPECT_EQ(c.connections, peer->connections()) << peer->record();
    delete http.streams[0];
    http.streams[0] = nullptr;
  }
  EXPECT_EQ("", log());
}

// Through a proxy the request line names the real server in absolute form,
// and the server's name is never looked up.
TEST_F(HttpFaults, ProxyReceivesAbsoluteRequest) {
  ASSERT_TRUE(start("ok"));
  ASSERT_EQ(1, poll(4, "www.duvizo-mirror.test", "/dir/a b.txt", dir + "ab"));
  EXPECT_EQ(
      "#conn 1\n"
      "GET http://www.duvizo-mirror.test/dir/a%20b.txt HTTP/1.1\r\n"
      "Host: www.duvizo-mirror.test\r\n"
      "User-agent: Installer-APL/Duvizo REV Aridazevu 2.06r1\r\n\r\n",
      peer->record());
  EXPECT_EQ(htonl(0x7f000001), http.dns_cache["www.duvizo-mirror.test"]);
}

}  // namespace
