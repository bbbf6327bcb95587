// The engine's two questions as modal windows of the toolkit: select_alert's
// (sub-window 996) and abort_alert's (997). Installed at start-up into the
// engine's g_engine_questions. Each answer is logged on one line with the
// question and the label of the button that gave it: select_alert's in
// English, abort_alert's as the caller worded them.
#pragma once

void install_engine_questions();
