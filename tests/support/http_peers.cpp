#include "support/http_peers.h"
#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <map>
#include <set>
#include <sstream>
#include <thread>
#include <vector>
#include "support/test_env.h"

extern char** environ;

using steady = std::chrono::steady_clock;

int test_free_port() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return 0;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
    port = ntohs(a.sin_port);
  close(fd);
  return port;
}

static pid_t spawn(const std::vector<std::string>& args, int in_fd, int out_fd, int err_fd) {
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  if (in_fd >= 0) posix_spawn_file_actions_adddup2(&fa, in_fd, 0);
  if (out_fd >= 0) posix_spawn_file_actions_adddup2(&fa, out_fd, 1);
  if (err_fd >= 0) posix_spawn_file_actions_adddup2(&fa, err_fd, 2);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], &fa, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&fa);
  return pid;
}

// Ends a child: politely first, then for sure; always reaps it.
static void stop_child(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  auto deadline = steady::now() + std::chrono::seconds(5);
  while (steady::now() < deadline) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

static bool accepts_connections(int port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bool ok = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  close(fd);
  return ok;
}

nginx_peer::~nginx_peer() { stop_child(pid_); }

bool nginx_peer::start(const std::string& root) {
  dir_ = test_scratch_dir("nginx");
  if (dir_.empty()) return false;
  // Another process may take the port between our probe and nginx's bind:
  // then nginx exits at once and we try another.
  for (int attempt = 0; attempt < 5; ++attempt) {
    port = test_free_port();
    std::ostringstream conf;
    conf << "daemon off;\nmaster_process off;\nworker_processes 1;\n"
         << "pid " << dir_ << "nginx.pid;\nerror_log " << dir_ << "error.log;\n"
         << "events { worker_connections 64; }\n"
         << "http {\n"
         << "  log_format conn '$connection $connection_requests $status \"$request\"';\n"
         << "  access_log " << dir_ << "access.log conn;\n"
         << "  client_body_temp_path " << dir_ << "body;\n"
         << "  proxy_temp_path " << dir_ << "proxy;\n"
         << "  fastcgi_temp_path " << dir_ << "fastcgi;\n"
         << "  uwsgi_temp_path " << dir_ << "uwsgi;\n"
         << "  scgi_temp_path " << dir_ << "scgi;\n"
         << "  keepalive_timeout 60;\n"
         << "  server {\n    listen 127.0.0.1:" << port << ";\n    server_name localhost;\n"
         << "    root " << root << ";\n    " << server_directives << "\n  }\n}\n";
    if (!test_write_file(dir_ + "nginx.conf", conf.str())) return false;
    int log_fd = open((dir_ + "nginx.out").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    // setpriv hands nginx the signal to die with this process, so a test
    // that crashes leaves no server behind; it then runs nginx in its place.
    std::vector<std::string> args = {"/usr/sbin/nginx", "-p", dir_, "-c", dir_ + "nginx.conf", "-e",
                                     dir_ + "error.log"};
    if (access("/usr/bin/setpriv", X_OK) == 0) args.insert(args.begin(), {"/usr/bin/setpriv", "--pdeathsig", "KILL"});
    pid_ = spawn(args, -1, log_fd, log_fd);
    close(log_fd);
    if (pid_ < 0) return false;
    auto deadline = steady::now() + std::chrono::seconds(10);
    while (steady::now() < deadline) {
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      if (accepts_connections(port)) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    stop_child(pid_);
    pid_ = -1;
  }
  return false;
}

std::string nginx_peer::access_log() const {
  // nginx numbers every connection, the start-up probes among them; count
  // only the ones that carried requests, in order of their first request.
  std::map<std::string, int> renumbered;
  std::istringstream in(test_read_file(dir_ + "access.log"));
  std::string line, out;
  while (std::getline(in, line)) {
    size_t sp = line.find(' ');
    std::string id = line.substr(0, sp);
    auto it = renumbered.emplace(id, static_cast<int>(renumbered.size()) + 1).first;
    out += std::to_string(it->second) + (sp == std::string::npos ? "" : line.substr(sp)) + "\n";
  }
  return out;
}

script_peer::~script_peer() {
  if (to_child_ >= 0) close(to_child_);
  if (from_child_ >= 0) close(from_child_);
  stop_child(pid_);
}

bool script_peer::start(const std::string& scenario, const std::vector<std::string>& args) {
  std::string dir = test_scratch_dir("peer");
  record_path_ = dir + "record.txt";
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0) return false;
  if (pipe2(out, O_CLOEXEC) != 0) return false;
  // The system's interpreter starts in a fraction of the time of a wrapper
  // found first on PATH.
  const char* python = access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3";
  std::vector<std::string> argv = {python, std::string(DUV_FIXTURES_DIR) + "/http_fault_server.py", scenario,
                                    record_path_};
  argv.insert(argv.end(), args.begin(), args.end());
  pid_ = spawn(argv, in[0], out[1], -1);
  close(in[0]);
  close(out[1]);
  to_child_ = in[1];
  from_child_ = out[0];
  if (pid_ < 0) return false;
  port = atoi(read_line(10000).c_str());
  return port > 0;
}

std::string script_peer::read_line(int timeout_ms) {
  auto deadline = steady::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    size_t nl = pending_.find('\n');
    if (nl != std::string::npos) {
      std::string line = pending_.substr(0, nl);
      pending_.erase(0, nl + 1);
      return line;
    }
    int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - steady::now()).count());
    if (left <= 0) return std::string();
    pollfd p{from_child_, POLLIN, 0};
    if (poll(&p, 1, left) <= 0) continue;
    char buf[256];
    ssize_t n = read(from_child_, buf, sizeof buf);
    if (n <= 0) return std::string();
    pending_.append(buf, static_cast<size_t>(n));
  }
}

void script_peer::release_byte() {
  ssize_t n = write(to_child_, "1\n", 2);
  (void)n;
}

bool script_peer::wait_closed() { return read_line(10000).rfind("closed ", 0) == 0; }

std::string script_peer::record() const { return test_read_file(record_path_); }

int script_peer::connections() const {
  std::set<std::string> ids;
  std::istringstream in(record());
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("#conn ", 0) == 0) ids.insert(line);
  return static_cast<int>(ids.size());
}
