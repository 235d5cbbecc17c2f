// Windows XP support for imports that the MinGW runtime brings along.
#pragma once

#include <windows.h>

#include <cstdint>

// A 64-bit tick count from the 32-bit GetTickCount: state holds the extended count of
// the latest sample (its low half is that sample). Samples must come less than 24.8 days
// apart, which the runtime's waiting threads easily do.
uint64_t ExtendTickCount(volatile uint64_t* state, DWORD now);

// What the program's GetTickCount64 import resolves to: the system's function where it
// exists (Vista and later), the extended 32-bit count on Windows XP.
ULONGLONG WINAPI TickCount64();
