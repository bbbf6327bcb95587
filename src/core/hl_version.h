// The program's own name and version, and when it was built.
#pragma once

// "Duvizo REV Aridazevu 2.06r1": how the program names itself in the log,
// "--version" and the download client's user agent.
extern const char app_version_name[];
// The build date and time, as the compiler wrote them ("Dec  9 2026 21:54:21").
extern const char app_build_date[];
// The maker's support e-mail address and web site, as the alerts give them.
extern const char app_support_email[];
extern const char app_web_site[];
