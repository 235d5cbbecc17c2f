#include "app/LegacyImports.h"

// winpthread, under the C++ runtime's std::thread and std::mutex, imports
// GetTickCount64, which Windows XP's kernel32 lacks: the loader would refuse the whole
// program there. The import slot is defined here instead, so the linker takes it from
// this object and never from kernel32's import library, and the slot points at a
// function that uses the real one only when the system has it. This object must be
// linked into the executable directly (it is an object library), since nothing of the
// program names it.

namespace {

using TickCount64Fn = ULONGLONG(WINAPI*)();

// No function-local static: its guard would take a runtime lock, and the runtime's
// locks are what call this.
TickCount64Fn volatile g_systemTickCount64 = nullptr;
bool volatile g_looked = false;
volatile uint64_t g_tickState = 0;

}  // namespace

uint64_t ExtendTickCount(volatile uint64_t* state, DWORD now) {
  uint64_t seen = __atomic_load_n(state, __ATOMIC_ACQUIRE);
  for (;;) {
    // The 32-bit difference is right across a wrap; a negative one is a sample taken
    // before the last one stored, by a thread that was slower to get here.
    const int32_t step = static_cast<int32_t>(now - static_cast<DWORD>(seen));
    if (seen != 0 && step <= 0) return seen;
    const uint64_t next = seen == 0 ? now : seen + static_cast<uint32_t>(step);
    if (__atomic_compare_exchange_n(state, &seen, next, false, __ATOMIC_ACQ_REL,
                                    __ATOMIC_ACQUIRE))
      return next;
  }
}

ULONGLONG WINAPI TickCount64() {
  if (!g_looked) {
    g_systemTickCount64 = reinterpret_cast<TickCount64Fn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
    g_looked = true;
  }
  if (g_systemTickCount64) return g_systemTickCount64();
  return ExtendTickCount(&g_tickState, ::GetTickCount());
}

// The import slot itself, under the name the import library would give it.
extern "C" {
#if defined(__i386__)
TickCount64Fn legacyGetTickCount64Import __asm__("__imp__GetTickCount64@0") = &TickCount64;
#else
TickCount64Fn legacyGetTickCount64Import __asm__("__imp_GetTickCount64") = &TickCount64;
#endif
}
