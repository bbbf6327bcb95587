// The MD5 message digest (RFC 1321), computed incrementally over a context
// the caller owns. Contexts are independent: any number may run on different
// threads at once.
#pragma once
#include <cstdint>
#include <string>

struct MD5Context {
  uint32_t bits[2];            // input bits so far, mod 2^64, low word first
  uint32_t state[4];           // A, B, C, D
  unsigned char in[64];        // the partly filled current block
  unsigned char digest[16];    // set by MD5Final
};

// Starts a digest: no bits taken, the standard initial state.
void MD5Init(MD5Context* ctx);
// Adds len bytes (at most 65,535 per call).
void MD5Update(MD5Context* ctx, const unsigned char* buf, unsigned short len);
// Adds len bytes of any 32-bit length.
void MD5UpdateWide(MD5Context* ctx, const unsigned char* buf, unsigned int len);
// Pads the input and stores the 16 digest bytes in ctx->digest. The context
// is not meant to be updated afterwards.
void MD5Final(MD5Context* ctx);
// The finished digest as 32 lower-case hex digits, as md5sum and the
// directory file write it.
std::string MD5_hex(const MD5Context& ctx);
// The digest of bytes in the same form: how a link is digested, by its text.
std::string MD5_hex_of(const std::string& bytes);
