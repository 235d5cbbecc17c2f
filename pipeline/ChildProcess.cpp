#include "pipeline/ChildProcess.h"

#include "utils/Exception.h"

namespace {

Utils::ScopedHandle OpenInheritableNulDevice() {
  SECURITY_ATTRIBUTES attributes{};
  attributes.nLength = sizeof(attributes);
  attributes.bInheritHandle = TRUE;
  HANDLE sink = ::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              &attributes, OPEN_EXISTING, 0, nullptr);
  if (sink == INVALID_HANDLE_VALUE) return Utils::ScopedHandle();
  return Utils::ScopedHandle(sink);
}

}  // namespace

ChildProcess::ChildProcess(const std::wstring& commandLine, DWORD startupFlags,
                           WORD showWindow) {
  if (!FitsCommandLine(commandLine)) throw Utils::Exception("");
  commandLine.copy(commandLine_, commandLine.size());

  errorSink_ = OpenInheritableNulDevice();
  if (!errorSink_ || !output_.Create() || !input_.Create()) throw Utils::Exception("");
  // Only the child's ends may be inherited: a copy of our read end in the child would
  // keep the pipe from ever reporting its end.
  if (!PipePair::KeepInParent(output_.read) || !PipePair::KeepInParent(input_.write))
    throw Utils::Exception("");

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = startupFlags;
  startup.wShowWindow = showWindow;
  startup.hStdInput = input_.read.get();
  startup.hStdOutput = output_.write.get();
  startup.hStdError = errorSink_.get();

  PROCESS_INFORMATION information{};
  if (!::CreateProcessW(nullptr, commandLine_, nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &information)) {
    throw Utils::Exception("");
  }
  process_.reset(information.hProcess);
  thread_.reset(information.hThread);
  processId_ = information.dwProcessId;
  threadId_ = information.dwThreadId;

  // From here on the output pipe ends as soon as the child (and whatever it handed its
  // handles to) has closed its copy.
  output_.write.reset();
  input_.read.reset();
  errorSink_.reset();
}

bool ChildProcess::HasExited() const {
  return ::WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0;
}

bool ChildProcess::ReadOutput(char* buffer, DWORD capacity, DWORD& bytesRead) {
  bytesRead = 0;
  return ::ReadFile(output_.read.get(), buffer, capacity, &bytesRead, nullptr) != FALSE;
}

void ChildProcess::WaitForExit() { ::WaitForSingleObject(process_.get(), INFINITE); }

DWORD ChildProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (!::GetExitCodeProcess(process_.get(), &code)) return STILL_ACTIVE;
  return code;
}
