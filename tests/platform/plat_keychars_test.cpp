// The characters of a key code: unshifted as the layout types them (a US
// layout here), shifted as a US keyboard does.
#include <gtest/gtest.h>
#include "platform/plat_events.h"

namespace {

TEST(PlatKeyChars, KeyCodesTypeTheirCharacters) {
  const struct {
    int key_code, unshifted, shifted;
  } rows[] = {
      {0x00, 'a', 'A'},  {0x06, 'z', 'Z'},   {0x12, '1', '!'},  {0x1D, '0', ')'},  {0x2F, '.', '>'},
      {0x2B, ',', '<'},  {0x29, ';', ':'},   {0x27, '\'', '"'}, {0x32, '`', '~'},  {0x2A, '\\', '|'},
      {0x31, ' ', ' '},  {0x24, '\r', 0},    {0x35, 27, 0},     {0x7B, 0, 0},      {0x60, 0, 0},
      {0x38, 0, 0},      {128 + 101, 0, 0},  {128 + 999, 0, 0},  {-1, 0, 0},
  };
  for (const auto& r : rows) {
    int unshifted = -1, shifted = -1;
    PLAT_key_chars(r.key_code, &unshifted, &shifted);
    EXPECT_EQ(unshifted, r.unshifted) << r.key_code;
    EXPECT_EQ(shifted, r.shifted) << r.key_code;
  }
}

}  // namespace
