#include "support/png_chunks.h"
#include <cstdint>

std::vector<std::string> png_chunk_types(const std::string& data) {
  std::vector<std::string> out;
  size_t at = 8;
  while (at + 12 <= data.size()) {
    const auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(data[i])); };
    const uint32_t length = byte(at) << 24 | byte(at + 1) << 16 | byte(at + 2) << 8 | byte(at + 3);
    out.push_back(data.substr(at + 4, 4));
    at += 12 + static_cast<size_t>(length);
  }
  if (at != data.size()) out.push_back("");
  return out;
}
