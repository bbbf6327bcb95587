// Shared set-up of the download client tests: a private log, empty streams,
// and a frame loop that polls a stream like the installer's screens do.
#pragma once
#include <gtest/gtest.h>
#include <chrono>
#include <string>
#include <thread>
#include "core/globs.h"
#include "core/xtim.h"
#include "files/http.h"
#include "support/test_env.h"

class HttpTest : public testing::Test {
 protected:
  void SetUp() override {
    dir = test_scratch_dir("http");
    ASSERT_FALSE(dir.empty());
    xer.clear();
    xer.open(dir + "log.txt", std::ios::trunc);
    ASSERT_TRUE(xer.is_open());
  }
  void TearDown() override {
    for (down_class*& d : http.streams) {
      delete d;
      d = nullptr;
    }
    http.proxy_host.clear();
    http.proxy_port_int = 0;
    xer.close();
  }
  // Sends every connection to 127.0.0.1:port, whatever the server's name.
  void use_proxy(int port) {
    http.proxy_host = "127.0.0.1";
    http.proxy_port_int = port;
  }
  // Polls once per frame until the stream reports done (1) or failed (2);
  // -1 when the test's own wall-clock bound runs out first.
  int poll(int stream, const std::string& server, const std::string& file, const std::string& dest,
           int bound_ms = 20000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(bound_ms);
    while (std::chrono::steady_clock::now() < deadline) {
      int r = http.net_check(stream, server, file, dest);
      if (r != 0) return r;
      std::this_thread::sleep_for(std::chrono::microseconds(200));  // one frame
    }
    return -1;
  }
  // Polls until pred holds (true) or the bound runs out (false); every poll
  // must report the transfer still running.
  template <class Pred>
  bool poll_while_running(int stream, const std::string& server, const std::string& file, const std::string& dest,
                          Pred pred, int bound_ms = 20000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(bound_ms);
    while (std::chrono::steady_clock::now() < deadline) {
      if (http.net_check(stream, server, file, dest) != 0) return false;
      if (pred()) return true;
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return false;
  }
  std::string log() {
    xer.flush();
    return test_read_file(dir + "log.txt");
  }

  std::string dir;
};
