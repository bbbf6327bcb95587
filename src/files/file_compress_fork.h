// The AppleDouble companion format of resource forks in zip archives.
#pragma once
#include <string>

// The first 24 bytes of every companion: magic 00 05 16 07, version
// 00 02 00 00, 16 zero bytes.
extern const unsigned char kAppleHeader[24];
// The first 46 bytes of every companion we write (header, entry count 2, the
// Finder information entry, the fork entry's id and offset).
extern const unsigned char kMagicCrap[46];

// A whole companion: kMagicCrap, the fork's size, the 16 bytes of Finder
// information, 16 zero bytes and the fork.
std::string ARC_build_companion(const std::string& fork, const unsigned char finder_info[16]);
