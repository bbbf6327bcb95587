// Stand-in for the MD5 unit (md5.h): the RFC 1321 digest over a context.
#pragma once
#include <stdint.h>

struct MD5Context {
  uint32_t count[2];        // bits taken so far, low word first
  uint32_t state[4];        // A, B, C, D
  unsigned char block[64];  // the partly filled current block
  unsigned char digest[16]; // filled by MD5Final
};

// Starts a digest.
void MD5Init(MD5Context* ctx);
// Adds up to 65,535 bytes.
void MD5Update(MD5Context* ctx, const unsigned char* bytes, unsigned short length);
// Adds any 32-bit count of bytes, in chunks of at most 65,535.
void MD5UpdateWide(MD5Context* ctx, const unsigned char* bytes, unsigned int length);
// Pads the input and stores the 16 digest bytes in ctx->digest.
void MD5Final(MD5Context* ctx);
