// The one alert entry point of every subsystem, and the orderly finish-up.
// Every layer raises alerts, so they live with the thread layer they ride on;
// the window shell and the widget toolkit show them through g_alert_screens
// and add their own finish-up steps through g_finishup_hooks.
#pragma once
#include <string>

enum alert_kind { t_language = 0, t_warning = 1, t_quit = 2, t_crash = 3 };

// Tells the user of a failure (or asks for the language, kind 0).
// Off the main thread (once threads are up) it becomes an exce_class record:
// kind 0 is dropped, kind 1 queued, kinds 2 and 3 queued and the calling thread
// ends inside the call. On the main thread: kind 1 is logged, shown and returns;
// kind 2 logs, runs the finish-up without saving and exits 1; kind 3 also appends
// a stack crawl to "stack_crawl.txt" and aborts. Kinds 2 and 3 never return.
void __MACIBM_alert(int return_win, const std::string& s1, const std::string& s2,
                    const std::string& s3, const std::string& s4, int kind,
                    const char* file, int line);
// 1 when an alert raised now on this thread would wait for a user to answer
// it: neither "--fps_test" nor "--qa_script", no test handler, and a screen
// or system box to show it on. Callers that try again after an alert use it
// so that a failure nobody sees is not repeated for ever.
int MACIBM_alert_is_answered();

// Where alerts go instead of the screen while a test steers the frames:
// when set, __MACIBM_alert on the main thread hands it the kind, the four
// lines, the source and the line and does nothing else; a handler that
// throws unwinds the caller. Null (always, in the program): alerts are shown.
extern void (*g_alert_handler)(int kind, const std::string* lines, const char* file, int line);

// Orderly shutdown: with save (and neither "--fps_test" nor "--qa_script")
// writes the preferences and key bindings and stops the thread layer; always
// restores the display, closes the windows and closes the log. Safe to run twice.
void MACIBM_finishup(int save);
// Ends the run from outside its flow (a signal, the display gone): the log
// says why, the work under way stops (finishup_hooks.stop_work), the
// finish-up runs without saving (with display_gone, without the steps that
// talk to the display) and the process ends with status. A second caller,
// on another thread, waits for the first to end the process.
[[noreturn]] void MACIBM_end_run(const std::string& why, int status, int display_gone);

// The application's quit flag; the main loop runs frames until it is set.
extern int app_done;
// 1 while an alert is showing (re-entry guard).
extern int in_alert;
// 1 once the window, context and first sub-window stand (end of start-up).
extern int ogl_inited;

// Where the shell shows an alert on screen. Until the window and the widget
// toolkit exist, kind 1 is only logged; they install their screens here.
// show_alert_screen: the modal alert sub-window (kinds 0 to 3).
// show_system_box: the system's own message box (start-up and re-entry).
struct alert_screens {
  void (*show_alert_screen)(int return_win, const std::string* lines, int kind,
                            const std::string& location) = nullptr;
  void (*show_system_box)(const std::string& message, const std::string& detail) = nullptr;
};
extern alert_screens g_alert_screens;

// Steps of the finish-up that belong to higher layers: the preferences file,
// and the window's and the widget toolkit's (key bindings, display mode,
// windows, events). The shell fills them in when it connects the layers at
// start-up. Each is optional.
struct finishup_hooks {
  // Stops the application's workers (a copy pass, an eject) before a run
  // ends from outside its flow.
  void (*stop_work)() = nullptr;
  void (*save_prefs)() = nullptr;
  void (*save_keys)() = nullptr;
  void (*restore_display)() = nullptr;
  void (*close_windows)() = nullptr;
  void (*flush_events)() = nullptr;
};
extern finishup_hooks g_finishup_hooks;
