// Real peers for the network tests, each a child process serving on a free
// port of 127.0.0.1 and stopped (and reaped) by its destructor.
#pragma once
#include <sys/types.h>
#include <string>
#include <vector>

// A port of 127.0.0.1 that was free a moment ago (the system picked it), so
// nothing listens on it.
int test_free_port();

// nginx serving root, as a foreground child with its own configuration,
// pid, temporary and log files; the access log names each request's
// connection number and its count on that connection.
class nginx_peer {
 public:
  ~nginx_peer();
  // Starts it and waits until it accepts connections; false on failure.
  bool start(const std::string& root);
  // The access log: lines "<connection> <request number on it> <status>
  // "<request line>"", connections numbered 1, 2... in order of first use.
  std::string access_log() const;

  int port = 0;
  // Further directives for the server block (such as "limit_rate 64k;"),
  // set before start.
  std::string server_directives;

 private:
  pid_t pid_ = -1;
  std::string dir_;
};

// tests/fixtures/http_fault_server.py running one scenario.
class script_peer {
 public:
  ~script_peer();
  // Starts the scenario with its further arguments (the "site" scenario's
  // root and rules); every request head it receives goes to the record.
  bool start(const std::string& scenario, const std::vector<std::string>& args = {});
  // Lets the "drip" scenario send its next byte.
  void release_byte();
  // Waits (bounded) for the server to report that it closed a connection.
  bool wait_closed();
  // The request heads received so far, each after a line "#conn N".
  std::string record() const;
  // How many different connections carried requests.
  int connections() const;

  int port = 0;

 private:
  std::string read_line(int timeout_ms);
  pid_t pid_ = -1;
  int to_child_ = -1;
  int from_child_ = -1;
  std::string record_path_;
  std::string pending_;
};
