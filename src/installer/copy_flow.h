// The screens that the two flows over an installed copy, adding or removing
// scenery and repair, share: choosing the copy, scanning it, installing
// disc after disc with the disc-change pair, and the stop question of the
// screen before the install. Each flow describes itself in a copy_flow;
// its screen functions call these steps. Texts are English and translated
// here. Main thread only.
#pragma once
#include "installer/wizard.h"

struct run_pass_kind;

struct copy_flow {
  int* running;               // the flow's flag: 1 while its install runs
  const run_pass_kind* pass;  // its install as the log names it
  // The flow's screens.
  screen_func pick, scan, review, install, switch_disk, verify_disk, done;
  // The step list: six labels for dvd_start, pick, scan, review, install, done.
  const char* steps[6];
  // Choosing the copy.
  const char* pick_title;
  const char* pick_request;
  // The scan: the filter's two switches, quick or full, title and text (%1 the copy).
  int want_sim, want_global, quick;
  const char* scan_title;
  const char* scan_text;
  // Leaving the install: the question's text and the text beside both buttons.
  const char* stop_question;
  const char* stop_button_text;
  // The install: title, text (%1 the copy), status (%1 the file), the status
  // after the last file, and the error question's heading, advice and the
  // text beside its buttons.
  const char* install_title;
  const char* install_text;
  const char* install_status;
  const char* finishing;
  const char* error_title;
  const char* error_advice;
  const char* error_button_text;
  // The disc-change pair's titles.
  const char* switch_title;
  const char* verify_title;
};

// The pick screen: stops a scan still running and builds the step list on
// the first frame, forgets a destination that is no registered copy, and
// chooses the only copy when there is one. The log tells each pass of the
// flow, its scan and its install, from start to outcome (run_log.h).
int copy_flow_pick(const copy_flow& flow, int first, wizard_screen& s);
// The scan screen over the cursor ctr; moves on to review when done.
int copy_flow_scan(const copy_flow& flow, int& ctr, int first, wizard_screen& s);
// The review screen's first frame, entered while the install runs: asks
// whether to stop. 1 when the user goes on (s then leads back to the
// install); 0 when the install was stopped, or none ran.
int copy_flow_ask_stop(const copy_flow& flow, wizard_screen& s);
// The install screen over the cursor f: starts the install when none runs
// (back to review when the user cancels a question or a folder cannot be
// made), then one step of the engine per frame.
int copy_flow_install(const copy_flow& flow, int& f, wizard_screen& s);
// The disc-change pair.
int copy_flow_switch_disk(const copy_flow& flow, int first, wizard_screen& s);
int copy_flow_verify_disk(const copy_flow& flow, wizard_screen& s);
