#include <gtest/gtest.h>

#include "clients/files/ThunderbirdInstallHash.h"

namespace pw {
namespace {

// Every expected name comes from outside this code: the published hashes of
// three folders; the hash of no input (the constant the published function
// returns for it, in every generation, and listed as such in CityHash ports'
// own tests: 11160318154034397263); and the [Install...] sections that the
// real client (Thunderbird 153.8.0esr, Debian 12) wrote into a fresh
// profiles.ini when started with an empty HOME from a copy of its
// installation in each folder. The byte counts are of the UTF-16 text, and
// pick out each length class of the hash: 0-16, 17-32, 33-64, and longer,
// which goes through 64-byte blocks once (up to 128 bytes) or more often.
TEST(ThunderbirdInstallHash, NamesTheInstallationAsTheClientDoes) {
  const struct {
    const char* folder;
    const char* hash;
    const char* source;
  } cases[] = {
      {"C:\\Program Files\\Mozilla Firefox", "308046B0AF4A39CB", "published; 64 bytes"},
      {"C:/Program Files/Mozilla Firefox", "9D561FCD08DC6D55", "published; forward slashes count as written"},
      {"/usr/lib/firefox", "4F96D1932A9F858E", "published; 32 bytes"},
      {"", "9AE16A3B2F90404F", "published hash of no input"},
      {"/tb", "9EE1A3F9BFE790A5", "the client; 6 bytes"},
      {"/tmp/tb", "F8D184306B9D8716", "the client; 14 bytes"},
      {"/tmp/\xD7\x93\xD7\x95\xD7\x90\xD7\xA8", "CF6844DDE3D06991", "the client; Hebrew, 18 bytes"},
      {"/usr/lib/thunderbird", "FDC34C9F024745EB", "the client's own installation; 40 bytes"},
      {"/tmp/\xD7\xAA\xD7\x95\xD7\x9B\xD7\xA0\xD7\x99\xD7\x95\xD7\xAA/Mozilla Thunderbird \xF0\x9F\x98\x80",
       "458528D4D6E04F56", "the client; Hebrew and a surrogate pair, 70 bytes"},
      {"/tmp/Program Files/Mozilla Thunderbird", "CF6E8C8B5E0BD43",
       "the client; 76 bytes; a hash below 2^60 has no leading zero"},
      {"/tmp/pw-hash/a-folder-of-sixty-four-chars/Mozilla-Thunderbird-64", "345777F1F3B9BAE0",
       "the client; 128 bytes, one block"},
      {"/tmp/pw-hash/a-folder-of-sixty-five-chars/Mozilla-Thunderbird-065", "7CDC0BB2689302A7",
       "the client; 130 bytes, two blocks"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.hash, ThunderbirdInstallHash(c.folder)) << c.folder << " (" << c.source << ")";
}

}  // namespace
}  // namespace pw
