// The characters of the bytes 0x80 to 0xFF in the ANSI code pages the twin
// plays; below 0x80 both are ASCII.
#pragma once

namespace pw {

extern const char16_t kCodePage1252[128];
extern const char16_t kCodePage1255[128];

}  // namespace pw
