// Shared by the web flows' tests: a clean start of the web state (servers,
// download queue, HTTP streams, file table, settings, command line), alerts
// recorded without stopping the caller, a desktop opener that only notes what
// it was asked to open, and a server list written in the list's format.
#pragma once
#include <string>
#include <vector>

// One alert the code under test raised.
struct web_alert {
  int kind = 0;
  std::vector<std::string> lines;
};

// Empties every piece of web state a test may have left and points temp_path
// at a new scratch folder (returned).
std::string web_reset_state();
// Drops the HTTP client's streams, look-ups and cached addresses.
void web_reset_http();
// Sends every connection of the download client to 127.0.0.1:port.
void web_use_proxy(int port);

// Alerts raised while it lives are recorded, and the caller goes on as after
// a dismissed warning.
class web_alert_recorder {
 public:
  web_alert_recorder();
  ~web_alert_recorder();
  std::vector<web_alert> alerts;
};

// An "xdg-open" first on PATH that appends its argument to a file.
class fake_opener {
 public:
  fake_opener();
  ~fake_opener();
  // What it was asked to open, one line each, once as many lines as
  // expected arrived (waits up to 10 s; it runs detached).
  std::string opened(int expected_lines = 1) const;

 private:
  std::string record_, old_path_;
};

// "serverlist9.txt" text: the header of a version-820 "SERVERS" list, then body.
std::string server_list_text(const std::string& body, int version = 820, const char* type = "SERVERS");

// Answers the engine's questions from queues while it lives (3, a closed
// window, once a queue is empty) and records what was asked.
struct web_questions {
  std::vector<int> abort_answers;
  std::vector<int> select_answers;
  std::vector<std::vector<std::string>> asked;  // abort_alert's five texts
  std::vector<std::string> selected;            // select_alert's paths
  web_questions();
  ~web_questions();
};
