#include "core/hl_version.h"

const char app_version_name[] = "Duvizo REV Aridazevu 2.06r1";
const char app_build_date[] = __DATE__ " " __TIME__;

const char app_support_email[] = "support@duvizo.example";
const char app_web_site[] = "https://www.duvizo.example/";
