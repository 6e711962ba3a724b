// A program that only waits. The Wine tests start copies of it under the file
// names of mail clients, so that the process snapshot shows a running client.
// It ends by itself after five minutes, in case a test cannot end it.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Sleep(5 * 60 * 1000);
  return 7;
}
