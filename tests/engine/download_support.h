// Shared by the download pass tests: a web-update set made by zip, 7zz and
// md5sum (tests/fixtures/make_update_set.sh), its directory read into the
// file table, an installation laid out beside it, and a frame loop that
// drives grab_files the way the web install screen does, on a program clock
// that skips the streams' pauses instead of waiting them out.
#pragma once
#include <functional>
#include <set>
#include <string>
#include <vector>
#include "engine/utils_table.h"
#include "support/http_fixture.h"

class DownloadTest : public HttpTest {
 protected:
  // Indices of the set's files in the table, in directory order.
  enum { f_big1, f_big2, f_big3, f_a, f_old, f_b, f_link, f_empty, f_gone, f_mac, f_tile, f_count };

  void SetUp() override;
  void TearDown() override;

  // Reads the set's directory into the table afresh, as the web flow's
  // directory step does, and wants the tile's cell.
  void read_set_directory();
  // The installation before the update: a.txt and empty.txt current,
  // old.txt at its earlier official content, retired/gone.txt present (the
  // set has dropped it), everything else missing.
  void lay_out_installation();
  // What the web install does before its first step: a full checksum pass,
  // choose_files (asserted to ask nothing), make_dirs and an empty queue.
  void choose_and_prepare();
  // Servers named hosts, each publishing the set under /updates/.
  void use_servers(const std::vector<std::string>& hosts);
  // Frames of xtim_update and grab_files until grab_files returns non-zero:
  // its result; 0 when after_step, which sees every frame, says to stop; -1
  // when a minute of wall time runs out first. When every unfinished stream
  // sleeps, the program clock moves on to the first wake-up.
  int run_pass(const std::function<bool()>& after_step = nullptr);
  // Moves the program clock on by secs (takes effect at the next frame).
  void advance_clock(double secs);

  // The archive's request path on a server, and as the request line has it.
  std::string request(int i) const;
  std::string request_target(int host_index, int i) const;
  std::string master(int i) const;
  // How many entries folder holds (-1 when it is missing).
  int entries_in(const std::string& folder) const;
  // The file's permission bits in octal, or "missing".
  std::string mode_of(const std::string& path) const;
  // Every file of the set but the dropped one and those named stands
  // installed with its shipped content and is marked current.
  void expect_installed_except(const std::set<int>& except) const;

  std::string set;   // the generated set's folder
  std::string site;  // the servers' document root
  std::vector<std::string> hosts_;
};
