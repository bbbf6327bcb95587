// The chunk layout of a PNG file, for tests that check what a writer put in.
#pragma once
#include <string>
#include <vector>

// The chunk types of the PNG file data in order, with a "" entry when it is
// malformed.
std::vector<std::string> png_chunk_types(const std::string& data);
