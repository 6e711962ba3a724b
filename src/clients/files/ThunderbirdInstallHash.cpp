#include "clients/files/ThunderbirdInstallHash.h"

#include <utility>

#include "platform/Text.h"

namespace pw {
namespace {

// The hash's four primes between 2^63 and 2^64, and the multiplier of its
// 128-to-64-bit step.
constexpr uint64_t kK0 = 0xc3a5c85c97cb3127ULL;
constexpr uint64_t kK1 = 0xb492b66fbe98f273ULL;
constexpr uint64_t kK2 = 0x9ae16a3b2f90404fULL;
constexpr uint64_t kK3 = 0xc949d7c7509e6557ULL;
constexpr uint64_t kMul = 0x9ddfea08eb382d69ULL;

// The hash reads its input as little-endian words whatever the machine, so
// the words are put together byte by byte.
uint64_t LoadLittleEndian(const unsigned char* p, int bytes) {
  uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | p[i];
  return value;
}
uint64_t Fetch64(const unsigned char* p) { return LoadLittleEndian(p, 8); }
uint64_t Fetch32(const unsigned char* p) { return LoadLittleEndian(p, 4); }

// Right rotation; a shift by 64 would be undefined, so 0 is kept apart.
uint64_t Rotate(uint64_t value, int shift) {
  return shift == 0 ? value : (value >> shift) | (value << (64 - shift));
}

uint64_t ShiftMix(uint64_t value) { return value ^ (value >> 47); }

// Two words down to one.
uint64_t HashLen16(uint64_t u, uint64_t v) {
  uint64_t a = (u ^ v) * kMul;
  a ^= a >> 47;
  uint64_t b = (v ^ a) * kMul;
  b ^= b >> 47;
  return b * kMul;
}

uint64_t HashLen0To16(const unsigned char* s, size_t len) {
  if (len > 8) {
    const uint64_t a = Fetch64(s);
    const uint64_t b = Fetch64(s + len - 8);
    return HashLen16(a, Rotate(b + len, static_cast<int>(len))) ^ b;
  }
  if (len >= 4) {
    const uint64_t a = Fetch32(s);
    return HashLen16(len + (a << 3), Fetch32(s + len - 4));
  }
  if (len > 0) {
    const uint32_t y = static_cast<uint32_t>(s[0]) + (static_cast<uint32_t>(s[len >> 1]) << 8);
    const uint32_t z = static_cast<uint32_t>(len) + (static_cast<uint32_t>(s[len - 1]) << 2);
    return ShiftMix(y * kK2 ^ z * kK3) * kK2;
  }
  return kK2;
}

uint64_t HashLen17To32(const unsigned char* s, size_t len) {
  const uint64_t a = Fetch64(s) * kK1;
  const uint64_t b = Fetch64(s + 8);
  const uint64_t c = Fetch64(s + len - 8) * kK2;
  const uint64_t d = Fetch64(s + len - 16) * kK0;
  return HashLen16(Rotate(a - b, 43) + Rotate(c, 30) + d, a + Rotate(b ^ kK3, 20) - c + len);
}

// One half of HashLen33To64: 32 bytes (with `first` and `second`, which may
// overlap the other half's) mixed into a pair of words.
std::pair<uint64_t, uint64_t> HalfOf33To64(uint64_t a, uint64_t z, uint64_t second, uint64_t third) {
  const uint64_t b = Rotate(a + z, 52);
  uint64_t c = Rotate(a, 37);
  a += second;
  c += Rotate(a, 7);
  a += third;
  return {a + z, b + Rotate(a, 31) + c};
}

uint64_t HashLen33To64(const unsigned char* s, size_t len) {
  const auto v = HalfOf33To64(Fetch64(s) + (len + Fetch64(s + len - 16)) * kK0, Fetch64(s + 24), Fetch64(s + 8),
                              Fetch64(s + 16));
  const auto w = HalfOf33To64(Fetch64(s + 16) + Fetch64(s + len - 32), Fetch64(s + len - 8), Fetch64(s + len - 24),
                              Fetch64(s + len - 16));
  const uint64_t r = ShiftMix((v.first + w.second) * kK2 + (w.first + v.second) * kK0);
  return ShiftMix(r * kK0 + v.second) * kK2;
}

// 32 bytes and two seeds mixed into a pair of words.
std::pair<uint64_t, uint64_t> WeakHashLen32WithSeeds(const unsigned char* s, uint64_t a, uint64_t b) {
  const uint64_t w = Fetch64(s), x = Fetch64(s + 8), y = Fetch64(s + 16), z = Fetch64(s + 24);
  a += w;
  b = Rotate(b + a + z, 21);
  const uint64_t c = a;
  a += x + y;
  b += Rotate(a, 44);
  return {a + z, b + c};
}

// Longer input: the last 64 bytes seed the state, which then takes in the
// input 64 bytes at a time; the final block may overlap the one before it.
uint64_t HashLongerThan64(const unsigned char* s, size_t len) {
  uint64_t x = Fetch64(s);
  uint64_t y = Fetch64(s + len - 16) ^ kK1;
  uint64_t z = Fetch64(s + len - 56) ^ kK0;
  auto v = WeakHashLen32WithSeeds(s + len - 64, len, y);
  auto w = WeakHashLen32WithSeeds(s + len - 32, len * kK1, kK0);
  z += ShiftMix(v.second) * kK1;
  x = Rotate(z + x, 39) * kK1;
  y = Rotate(y, 33) * kK1;

  for (size_t blocks = (len - 1) / 64; blocks > 0; --blocks, s += 64) {
    x = Rotate(x + y + v.first + Fetch64(s + 16), 37) * kK1;
    y = Rotate(y + v.second + Fetch64(s + 48), 42) * kK1;
    x ^= w.second;
    y ^= v.first;
    z = Rotate(z ^ w.first, 33);
    v = WeakHashLen32WithSeeds(s, v.second * kK1, x + w.first);
    w = WeakHashLen32WithSeeds(s + 32, z + w.second, y);
    std::swap(z, x);
  }
  return HashLen16(HashLen16(v.first, w.first) + ShiftMix(y) * kK1 + z, HashLen16(v.second, w.second) + x);
}

// Without leading zeros, as the client prints the number: a section named
// with a padded hash is not the installation's, and the client makes a new,
// empty profile beside it.
std::string UpperHex(uint64_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  do {
    text.insert(text.begin(), kDigits[value & 0xf]);
    value >>= 4;
  } while (value != 0);
  return text;
}

}  // namespace

uint64_t CityHash64(const std::string& bytes) {
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t len = bytes.size();
  if (len <= 16) return HashLen0To16(s, len);
  if (len <= 32) return HashLen17To32(s, len);
  if (len <= 64) return HashLen33To64(s, len);
  return HashLongerThan64(s, len);
}

std::string ThunderbirdInstallHash(const std::string& folder) {
  return UpperHex(CityHash64(Utf16LeBytes(Utf8ToUtf16(folder))));
}

}  // namespace pw
