// The engine's two questions as modal windows of the toolkit: select_alert's
// (sub-window 996) and abort_alert's (997). Installed at start-up into the
// engine's g_engine_questions.
#pragma once

void install_engine_questions();
