// The web flows' download servers and the download queue that the engine's
// download step (grab_files) works through. Main thread only.
#pragma once
#include <list>
#include <map>
#include <string>
#include <vector>

// One download server.
struct server_t {
  std::string host;      // bare host name, no '/'
  std::string dir_path;  // the install set's folder on the host: '/' ... install name '/'
  std::string address;   // the list's third line for the server; kept, never read
};
// The servers in list order; server i is fetched from on download stream i + 3.
extern std::vector<server_t> servers;

// The download queue of a web install.
class next_class {
 public:
  // One download stream per server, index for index.
  struct stream_info {
    int file = 0;           // sim_info index being handled; the table's size once nothing is left
    int idle = 1;           // 1: takes a new file on the next step
    float inflight_kb = 0;  // this stream's share of inflight_kb
    float done_kb = 0;      // compressed KB this stream has fetched
    float pause_until = 0;  // program-clock seconds; a failed stream sleeps until then
    std::string message;    // the stream's last error text
  };

  // Empties the queue for a new pass: drops the streams (and the archives
  // they were fetching), the retry list and the totals.
  void reset_all_streams();

  int next_file = 0;  // the next sim_info index to hand to an idle stream
  std::vector<stream_info> streams;
  float start_time = 0;    // program-clock seconds of the last reset
  float inflight_kb = 0;   // compressed KB received of the files being fetched, summed each step
  float done_comp_kb = 0;  // compressed KB fetched since the reset
  float done_exp_kb = 0;   // expanded KB of the same files
  std::list<int> retry;    // files whose download failed, handed out before new ones
  // The step's record of trouble, so that one bad file cannot hold the pass
  // for ever and the finish screens can name what is missing.
  std::map<int, int> tries;        // failed downloads per sim_info index
  std::vector<int> failed_files;   // files this pass gave up on or could not unpack, in order
};
extern next_class next;

// The file the download step handled last: its request path on the server,
// and the last component of that path (the file's name and ".zip").
extern std::string crnt_file_path;
extern std::string crnt_file_name;
