// A program for the contract suite to start, find in the process list and
// terminate. It ends by itself after a minute should a test leave it running.
#include <windows.h>

int main() {
  Sleep(60 * 1000);
  return 0;
}
