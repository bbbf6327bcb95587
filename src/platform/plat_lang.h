// The user's preferred languages, most wanted first, as language codes with
// an optional region ("fr-CA", "en"), from LANGUAGE, then LC_ALL, LC_MESSAGES
// and LANG. The locales "C" and "POSIX" count as English.
#pragma once
#include <string>
#include <vector>

std::vector<std::string> PLAT_preferred_languages();
