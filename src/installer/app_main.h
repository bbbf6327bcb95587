// The installer's whole run: hand-over from the disc, start-up, the frame
// loop and finish-up. main sets g_wizard to its first screen and calls it;
// test programs choose another first screen and run the same start-up.
#pragma once
#include <string>

// Returns 0 after a normal end; a hand-over to a copy exits with status 1.
int APP_main(int argc, char** argv);
// 1 when bundle (no trailing '/') lies on the disc at disc_root: the two are
// equal over the length of the shorter.
int APP_runs_from_disc(const std::string& bundle, const std::string& disc_root);
// The bundle's own name: what follows its last '/' (a '/' at the very end of
// a path longer than two characters is not counted and stays in the name).
std::string APP_bundle_name(const std::string& bundle);
