// The Windows version as the download service's routes need it. The real answers come
// from ntdll's RtlGetNtVersionNumbers (which, unlike GetVersionEx, is not shimmed by the
// compatibility layer) and from IsWow64Process; the naming rules are plain functions of
// the numbers so that every row of the table can be checked.
#pragma once

#include <windows.h>

#include <string>

// Fills family ("Windows") and the version name ("XP", "7", "10", "11.0.22631", ...).
void GetWindowsVersionName(std::wstring& family, std::wstring& version);

// The version name for the given numbers; only the low 16 bits of build count.
// serverR2 is GetSystemMetrics(SM_SERVERR2) != 0, asked only for version 5.2.
std::wstring VersionNameFromNumbers(DWORD major, DWORD minor, DWORD build, bool serverR2);

bool IsRunningUnderWow64();

// What IsRunningUnderWow64 answers from the pieces it looks at: whether kernel32 has
// IsWow64Process, whether the call succeeded and what it said, and the native processor
// architecture (GetNativeSystemInfo) used when the call failed.
bool Wow64Answer(bool functionFound, bool callSucceeded, BOOL reported, WORD nativeArchitecture);
