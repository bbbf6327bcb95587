// Starting other programs: handing the process over to another application,
// running a system tool to completion with a time-out, and opening a web page
// in the user's browser.
#pragma once
#include <string>
#include <vector>

// Starts the program at path as a new process with the argument vector argv
// (argv[0] included) and this process's environment; the new process keeps
// none of this process's open files but the standard three. Returns 0 once
// the program is running, or errno when the process could not be made or the
// program could not be started (the failed process is reaped).
int PLAT_start_program(const std::string& path, const std::vector<std::string>& argv);

// Runs the tool argv[0] (looked up in PATH) with its standard streams on
// /dev/null and waits at most timeout_ms for it to end. Returns 0 when it ran
// to its end (its exit status in *status, 128 + signal when a signal ended it),
// ENOENT when there is no such tool, ETIMEDOUT when it had to be killed, else
// errno.
int PLAT_run_tool(const std::vector<std::string>& argv, int timeout_ms, int* status);

// 1 when a process with the id pid exists (one of another user's included),
// else 0.
int PLAT_process_alive(int pid);

// Hands url to the desktop's opener ("xdg-open", looked up in PATH) as its
// one argument, never through a shell, and returns without waiting for it:
// 0 once it was started, else errno (ENOENT: no opener on PATH).
int PLAT_open_in_browser(const std::string& url);
