#include "pipeline/WorkerThread.h"

#include <process.h>

#include "utils/TextConvert.h"

namespace {

// The exception a debugger watches for to learn a thread's name.
constexpr DWORD kSetThreadNameException = 0x406D1388;

#pragma pack(push, 8)
struct ThreadNameInfo {
  DWORD type;         // 0x1000
  LPCSTR name;        // ANSI name
  DWORD threadId;     // the named thread
  DWORD flags;        // reserved, 0
};
#pragma pack(pop)

// GCC has no __try/__except, so the naming exception is caught by a vectored handler
// that lets execution go on after the raise. A debugger, if any, sees the exception
// first (first-chance notification) and takes the name from it.
LONG CALLBACK ContinueAfterThreadName(EXCEPTION_POINTERS* info) {
  if (info->ExceptionRecord->ExceptionCode == kSetThreadNameException)
    return EXCEPTION_CONTINUE_EXECUTION;
  return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

WorkerThread::WorkerThread(Body body, void* argument, std::wstring name)
    : body_(std::move(body)), argument_(argument), name_(std::move(name)) {
  uintptr_t handle = _beginthreadex(nullptr, 0, &WorkerThread::ThreadProc, this,
                                    CREATE_SUSPENDED, &threadId_);
  if (handle == 0) return;
  handle_ = reinterpret_cast<HANDLE>(handle);
  NameForDebugger();
}

WorkerThread::~WorkerThread() {
  WaitAndClose();
  name_.clear();
  body_ = nullptr;
}

bool WorkerThread::Start() {
  if (!handle_) return false;
  started_ = true;
  return ::ResumeThread(handle_) != static_cast<DWORD>(-1);
}

void WorkerThread::Join() { WaitAndClose(); }

void WorkerThread::WaitAndClose() {
  if (!handle_) return;
  if (!started_) {
    skipBody_ = true;
    started_ = true;
    ::ResumeThread(handle_);
  }
  ::WaitForSingleObject(handle_, INFINITE);
  ::CloseHandle(handle_);
  handle_ = nullptr;
  threadId_ = static_cast<unsigned>(-1);
}

void WorkerThread::NameForDebugger() {
  debuggerName_ = name_.empty() ? "t" + std::to_string(threadId_)
                                : Utils::WideToMultiByte(name_, CP_ACP);
  ThreadNameInfo info{0x1000, debuggerName_.c_str(), threadId_, 0};
  PVOID handler = ::AddVectoredExceptionHandler(0, &ContinueAfterThreadName);
  if (!handler) return;
  ::RaiseException(kSetThreadNameException, 0, sizeof(info) / sizeof(ULONG_PTR),
                   reinterpret_cast<const ULONG_PTR*>(&info));
  ::RemoveVectoredExceptionHandler(handler);
}

unsigned __stdcall WorkerThread::ThreadProc(void* self) {
  auto* worker = static_cast<WorkerThread*>(self);
  // The thread is the boundary no exception may cross: one escaping the body would end
  // the whole process. A job reports its failures as events, so what arrives here is
  // only dropped.
  try {
    if (!worker->skipBody_ && worker->body_) worker->body_(worker->argument_);
  } catch (...) {
  }
  _endthreadex(0);
  return 0;
}
