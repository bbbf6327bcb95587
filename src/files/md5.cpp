#include "files/md5.h"
#include <cstring>

namespace {

inline uint32_t load_le32(const unsigned char* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  uint32_t v;
  memcpy(&v, p, 4);
  return v;
#else
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
#endif
}

inline void store_le32(unsigned char* p, uint32_t v) {
  p[0] = v & 0xFF;
  p[1] = (v >> 8) & 0xFF;
  p[2] = (v >> 16) & 0xFF;
  p[3] = v >> 24;
}

inline uint32_t rotl(uint32_t x, int s) { return (x << s) | (x >> (32 - s)); }

#define MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))
// The word and the constant are added first: they do not wait for b, so only
// the round function and the rotation stand on each step's critical path.
#define MD5_STEP(f, a, b, c, d, x, t, s) \
  do {                                   \
    a += (x) + (t);                      \
    a += f(b, c, d);                     \
    a = b + rotl(a, s);                  \
  } while (0)
// G as two disjoint parts added separately: (c & ~d) does not wait for b.
#define MD5_STEP_G(a, b, c, d, x, t, s) \
  do {                                  \
    a += (x) + (t);                     \
    a += (c) & ~(d);                    \
    a += (b) & (d);                     \
    a = b + rotl(a, s);                 \
  } while (0)

// The 64 steps of RFC 1321 on one block of 64 bytes, added into the state.
void Transform(uint32_t state[4], const unsigned char* block) {
  uint32_t x[16];
  for (int i = 0; i < 16; ++i) x[i] = load_le32(block + 4 * i);
  uint32_t a = state[0], b = state[1], c = state[2], d = state[3];

  MD5_STEP(MD5_F, a, b, c, d, x[0], 0xd76aa478, 7);
  MD5_STEP(MD5_F, d, a, b, c, x[1], 0xe8c7b756, 12);
  MD5_STEP(MD5_F, c, d, a, b, x[2], 0x242070db, 17);
  MD5_STEP(MD5_F, b, c, d, a, x[3], 0xc1bdceee, 22);
  MD5_STEP(MD5_F, a, b, c, d, x[4], 0xf57c0faf, 7);
  MD5_STEP(MD5_F, d, a, b, c, x[5], 0x4787c62a, 12);
  MD5_STEP(MD5_F, c, d, a, b, x[6], 0xa8304613, 17);
  MD5_STEP(MD5_F, b, c, d, a, x[7], 0xfd469501, 22);
  MD5_STEP(MD5_F, a, b, c, d, x[8], 0x698098d8, 7);
  MD5_STEP(MD5_F, d, a, b, c, x[9], 0x8b44f7af, 12);
  MD5_STEP(MD5_F, c, d, a, b, x[10], 0xffff5bb1, 17);
  MD5_STEP(MD5_F, b, c, d, a, x[11], 0x895cd7be, 22);
  MD5_STEP(MD5_F, a, b, c, d, x[12], 0x6b901122, 7);
  MD5_STEP(MD5_F, d, a, b, c, x[13], 0xfd987193, 12);
  MD5_STEP(MD5_F, c, d, a, b, x[14], 0xa679438e, 17);
  MD5_STEP(MD5_F, b, c, d, a, x[15], 0x49b40821, 22);

  MD5_STEP_G(a, b, c, d, x[1], 0xf61e2562, 5);
  MD5_STEP_G(d, a, b, c, x[6], 0xc040b340, 9);
  MD5_STEP_G(c, d, a, b, x[11], 0x265e5a51, 14);
  MD5_STEP_G(b, c, d, a, x[0], 0xe9b6c7aa, 20);
  MD5_STEP_G(a, b, c, d, x[5], 0xd62f105d, 5);
  MD5_STEP_G(d, a, b, c, x[10], 0x02441453, 9);
  MD5_STEP_G(c, d, a, b, x[15], 0xd8a1e681, 14);
  MD5_STEP_G(b, c, d, a, x[4], 0xe7d3fbc8, 20);
  MD5_STEP_G(a, b, c, d, x[9], 0x21e1cde6, 5);
  MD5_STEP_G(d, a, b, c, x[14], 0xc33707d6, 9);
  MD5_STEP_G(c, d, a, b, x[3], 0xf4d50d87, 14);
  MD5_STEP_G(b, c, d, a, x[8], 0x455a14ed, 20);
  MD5_STEP_G(a, b, c, d, x[13], 0xa9e3e905, 5);
  MD5_STEP_G(d, a, b, c, x[2], 0xfcefa3f8, 9);
  MD5_STEP_G(c, d, a, b, x[7], 0x676f02d9, 14);
  MD5_STEP_G(b, c, d, a, x[12], 0x8d2a4c8a, 20);

  MD5_STEP(MD5_H, a, b, c, d, x[5], 0xfffa3942, 4);
  MD5_STEP(MD5_H, d, a, b, c, x[8], 0x8771f681, 11);
  MD5_STEP(MD5_H, c, d, a, b, x[11], 0x6d9d6122, 16);
  MD5_STEP(MD5_H, b, c, d, a, x[14], 0xfde5380c, 23);
  MD5_STEP(MD5_H, a, b, c, d, x[1], 0xa4beea44, 4);
  MD5_STEP(MD5_H, d, a, b, c, x[4], 0x4bdecfa9, 11);
  MD5_STEP(MD5_H, c, d, a, b, x[7], 0xf6bb4b60, 16);
  MD5_STEP(MD5_H, b, c, d, a, x[10], 0xbebfbc70, 23);
  MD5_STEP(MD5_H, a, b, c, d, x[13], 0x289b7ec6, 4);
  MD5_STEP(MD5_H, d, a, b, c, x[0], 0xeaa127fa, 11);
  MD5_STEP(MD5_H, c, d, a, b, x[3], 0xd4ef3085, 16);
  MD5_STEP(MD5_H, b, c, d, a, x[6], 0x04881d05, 23);
  MD5_STEP(MD5_H, a, b, c, d, x[9], 0xd9d4d039, 4);
  MD5_STEP(MD5_H, d, a, b, c, x[12], 0xe6db99e5, 11);
  MD5_STEP(MD5_H, c, d, a, b, x[15], 0x1fa27cf8, 16);
  MD5_STEP(MD5_H, b, c, d, a, x[2], 0xc4ac5665, 23);

  MD5_STEP(MD5_I, a, b, c, d, x[0], 0xf4292244, 6);
  MD5_STEP(MD5_I, d, a, b, c, x[7], 0x432aff97, 10);
  MD5_STEP(MD5_I, c, d, a, b, x[14], 0xab9423a7, 15);
  MD5_STEP(MD5_I, b, c, d, a, x[5], 0xfc93a039, 21);
  MD5_STEP(MD5_I, a, b, c, d, x[12], 0x655b59c3, 6);
  MD5_STEP(MD5_I, d, a, b, c, x[3], 0x8f0ccc92, 10);
  MD5_STEP(MD5_I, c, d, a, b, x[10], 0xffeff47d, 15);
  MD5_STEP(MD5_I, b, c, d, a, x[1], 0x85845dd1, 21);
  MD5_STEP(MD5_I, a, b, c, d, x[8], 0x6fa87e4f, 6);
  MD5_STEP(MD5_I, d, a, b, c, x[15], 0xfe2ce6e0, 10);
  MD5_STEP(MD5_I, c, d, a, b, x[6], 0xa3014314, 15);
  MD5_STEP(MD5_I, b, c, d, a, x[13], 0x4e0811a1, 21);
  MD5_STEP(MD5_I, a, b, c, d, x[4], 0xf7537e82, 6);
  MD5_STEP(MD5_I, d, a, b, c, x[11], 0xbd3af235, 10);
  MD5_STEP(MD5_I, c, d, a, b, x[2], 0x2ad7d2bb, 15);
  MD5_STEP(MD5_I, b, c, d, a, x[9], 0xeb86d391, 21);

  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
}

// Adds len bytes: fills the partial block, runs whole blocks straight from
// the caller's bytes, keeps the rest.
void add_bytes(MD5Context* ctx, const unsigned char* buf, uint32_t len) {
  uint32_t i = (ctx->bits[0] >> 3) & 0x3F;
  uint32_t low = ctx->bits[0] + (len << 3);
  if (low < ctx->bits[0]) ctx->bits[1]++;
  ctx->bits[0] = low;
  ctx->bits[1] += len >> 29;
  if (i) {
    uint32_t take = 64 - i;
    if (len < take) {
      memcpy(ctx->in + i, buf, len);
      return;
    }
    memcpy(ctx->in + i, buf, take);
    Transform(ctx->state, ctx->in);
    buf += take;
    len -= take;
  }
  while (len >= 64) {
    Transform(ctx->state, buf);
    buf += 64;
    len -= 64;
  }
  memcpy(ctx->in, buf, len);
}

}  // namespace

void MD5Init(MD5Context* ctx) {
  ctx->bits[0] = ctx->bits[1] = 0;
  ctx->state[0] = 0x67452301;
  ctx->state[1] = 0xefcdab89;
  ctx->state[2] = 0x98badcfe;
  ctx->state[3] = 0x10325476;
}

void MD5Update(MD5Context* ctx, const unsigned char* buf, unsigned short len) { add_bytes(ctx, buf, len); }

void MD5UpdateWide(MD5Context* ctx, const unsigned char* buf, unsigned int len) {
  while (len > 0) {
    unsigned int chunk = len < 65536 ? len : 65535;
    add_bytes(ctx, buf, chunk);
    buf += chunk;
    len -= chunk;
  }
}

void MD5Final(MD5Context* ctx) {
  const uint32_t saved[2] = {ctx->bits[0], ctx->bits[1]};
  uint32_t i = (saved[0] >> 3) & 0x3F;
  static const unsigned char pad[64] = {0x80};
  add_bytes(ctx, pad, i < 56 ? 56 - i : 120 - i);
  unsigned char tail[8];
  store_le32(tail, saved[0]);
  store_le32(tail + 4, saved[1]);
  memcpy(ctx->in + 56, tail, 8);
  Transform(ctx->state, ctx->in);
  for (int k = 0; k < 4; ++k) store_le32(ctx->digest + 4 * k, ctx->state[k]);
}

std::string MD5_hex(const MD5Context& ctx) {
  static const char digits[] = "0123456789abcdef";
  std::string out(32, '0');
  for (int i = 0; i < 16; ++i) {
    out[2 * i] = digits[ctx.digest[i] >> 4];
    out[2 * i + 1] = digits[ctx.digest[i] & 15];
  }
  return out;
}

std::string MD5_hex_of(const std::string& bytes) {
  MD5Context ctx;
  MD5Init(&ctx);
  MD5UpdateWide(&ctx, reinterpret_cast<const unsigned char*>(bytes.data()), (unsigned)bytes.size());
  MD5Final(&ctx);
  return MD5_hex(ctx);
}
