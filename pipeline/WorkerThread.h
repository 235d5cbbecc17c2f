// The thread every long job of the installer runs on. It is created suspended so that
// the owner can finish wiring before the body runs, started explicitly, named for
// debuggers, and waited for without a time limit when joined or destroyed. An exception
// that escapes the body ends the body, never the process.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

class WorkerThread {
 public:
  using Body = std::function<uint32_t(void* argument)>;

  WorkerThread(Body body, void* argument, std::wstring name);
  ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Resumes the thread. True when it exists and the resume did not fail; a second call
  // resumes nothing and answers true.
  bool Start();
  bool IsCreated() const { return handle_ != nullptr; }
  // Waits for the body to end, then closes the thread. A worker that was never started
  // is let go without running its body, so joining it cannot wait for ever.
  void Join();

  DWORD ThreadId() const { return threadId_; }
  // The name handed to debuggers: the name in the ANSI code page, or "t<id>" when empty.
  const std::string& DebuggerName() const { return debuggerName_; }

 private:
  static unsigned __stdcall ThreadProc(void* self);
  void NameForDebugger();
  void WaitAndClose();

  unsigned threadId_ = 0;
  HANDLE handle_ = nullptr;
  Body body_;
  void* argument_;
  std::wstring name_;
  std::string debuggerName_;
  // Written before the thread is resumed and read by it afterwards: ResumeThread orders
  // the two, so no lock is needed.
  bool started_ = false;
  bool skipBody_ = false;
};
