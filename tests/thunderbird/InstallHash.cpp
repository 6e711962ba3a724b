// Prints Thunderbird's install hash of a folder (UTF-8), for the shell checks
// that give the real client a profile list to start from.
//
// usage: install_hash FOLDER
#include <cstdio>

#include "clients/files/ThunderbirdInstallHash.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: install_hash FOLDER\n", stderr);
    return 2;
  }
  std::printf("%s\n", pw::ThunderbirdInstallHash(argv[1]).c_str());
  return 0;
}
