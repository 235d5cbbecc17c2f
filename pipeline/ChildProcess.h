// A hidden console child whose standard output the installer reads as report lines.
// Construction starts the child; destruction closes every handle (it does not stop the
// child: owners wait for it first).
#pragma once

#include <windows.h>

#include <string>

#include "pipeline/PipePair.h"
#include "utils/ScopedHandle.h"

class ChildProcess {
 public:
  // The command line travels in a buffer of this many characters, terminator included.
  static constexpr size_t kCommandLineCapacity = 1024;

  // Starts the child. Throws Utils::Exception when the command line does not fit the
  // buffer (a cut command line would run with the wrong folder or switches), when a pipe
  // cannot be made, or when the process cannot be started.
  ChildProcess(const std::wstring& commandLine, DWORD startupFlags, WORD showWindow);
  ~ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  static bool FitsCommandLine(const std::wstring& commandLine) {
    return commandLine.size() < kCommandLineCapacity;
  }

  // Whether the process has ended. Asks the process handle rather than the exit code, so
  // a child that ends with code 259 (STILL_ACTIVE) is not taken for running.
  bool HasExited() const;
  // One read of at most `capacity` bytes of standard output; blocks until the child
  // writes or every writer has closed the pipe. False at the end of the output or on
  // any other read error.
  bool ReadOutput(char* buffer, DWORD capacity, DWORD& bytesRead);
  void WaitForExit();
  // The exit code once the process has ended; STILL_ACTIVE before.
  DWORD ExitCode() const;
  DWORD ProcessId() const { return processId_; }

 private:
  wchar_t commandLine_[kCommandLineCapacity] = {};
  // Standard error goes to the NUL device rather than a pipe nobody reads: a child that
  // writes a lot of diagnostics must never block on a full pipe.
  Utils::ScopedHandle errorSink_;
  PipePair output_;
  PipePair input_;
  Utils::ScopedHandle process_;
  Utils::ScopedHandle thread_;
  DWORD processId_ = 0;
  DWORD threadId_ = 0;
};
