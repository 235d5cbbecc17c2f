// A console program that plays the installer package or the earlier installation's
// uninstaller for tests and demos. It takes its behaviour from a script file named by
// the environment variable FOLVANE_FAKE_SCRIPT, so the command line it is started with
// stays exactly the one the installer builds. Without the variable it prints nothing and
// exits with 0.
//
// Script: one command per line; empty lines and lines starting with "#" are skipped.
// Texts take the escapes \n \r \t \\ \0 and \xHH; the script itself is UTF-8.
//   out TEXT             write TEXT to standard output (in the current code page)
//   err TEXT             write TEXT to standard error
//   outrepeat N TEXT     write TEXT N times to standard output, in one write each
//   errflood N           write N bytes to standard error
//   codepage N           later texts are converted from UTF-8 to code page N (0 = ANSI);
//                        65001, the start value, writes them unchanged
//   sleep MS             pause
//   closeout             close standard output (and go on running)
//   record FILE          write this program's own command line (UTF-8) to FILE
//   create NAME          create an empty file NAME in the folder named by "/D=" or "_?="
//   exit N               end with exit code N (a number; 0x prefix allowed)
//   crash                end by an access violation
// At the end of the script the program exits with 0.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string ReadWholeFile(const wchar_t* path) {
  std::string bytes;
  HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
    bytes.append(buffer, got);
  ::CloseHandle(file);
  return bytes;
}

std::wstring Widen(const std::string& utf8, UINT codePage = CP_UTF8) {
  if (utf8.empty()) return std::wstring();
  int size = ::MultiByteToWideChar(codePage, 0, utf8.data(), static_cast<int>(utf8.size()),
                                   nullptr, 0);
  std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0)
    ::MultiByteToWideChar(codePage, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                          size);
  return wide;
}

std::string Narrow(const std::wstring& wide, UINT codePage) {
  if (wide.empty()) return std::string();
  int size = ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                   nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0)
    ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(),
                          size, nullptr, nullptr);
  return bytes;
}

std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    char next = text[++i];
    switch (next) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case '0': out += '\0'; break;
      case 'x':
        if (i + 2 < text.size()) {
          out += static_cast<char>(std::strtoul(text.substr(i + 1, 2).c_str(), nullptr, 16));
          i += 2;
        }
        break;
      default: out += next; break;
    }
  }
  return out;
}

void WriteAll(HANDLE stream, const std::string& bytes) {
  DWORD written = 0;
  size_t done = 0;
  while (done < bytes.size()) {
    if (!::WriteFile(stream, bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                     &written, nullptr))
      return;
    done += written;
  }
}

// The folder the installer names last on the line: "/D=" for the package, "_?=" for the
// uninstaller; both run to the end of the command line.
std::wstring TargetFolder() {
  std::wstring line = ::GetCommandLineW();
  for (const wchar_t* marker : {L" /D=", L" _?="}) {
    size_t at = line.rfind(marker);
    if (at != std::wstring::npos) return line.substr(at + 4);
  }
  return std::wstring();
}

LONG WINAPI EndWithoutDebugger(EXCEPTION_POINTERS*) { return EXCEPTION_EXECUTE_HANDLER; }

class Player {
 public:
  void Run(const std::string& script) {
    size_t start = 0;
    while (start <= script.size()) {
      size_t end = script.find('\n', start);
      if (end == std::string::npos) end = script.size();
      std::string line = script.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty() && line[0] != '#') Execute(line);
      start = end + 1;
    }
  }

 private:
  void Execute(const std::string& line) {
    size_t space = line.find(' ');
    std::string command = line.substr(0, space);
    std::string argument = space == std::string::npos ? std::string() : line.substr(space + 1);
    if (command == "out") {
      WriteAll(::GetStdHandle(STD_OUTPUT_HANDLE), Encoded(argument));
    } else if (command == "err") {
      WriteAll(::GetStdHandle(STD_ERROR_HANDLE), Encoded(argument));
    } else if (command == "outrepeat") {
      size_t split = argument.find(' ');
      unsigned long count = std::strtoul(argument.c_str(), nullptr, 0);
      std::string text = Encoded(split == std::string::npos ? "" : argument.substr(split + 1));
      for (unsigned long i = 0; i < count; ++i) WriteAll(::GetStdHandle(STD_OUTPUT_HANDLE), text);
    } else if (command == "errflood") {
      std::string bytes(std::strtoul(argument.c_str(), nullptr, 0), 'e');
      WriteAll(::GetStdHandle(STD_ERROR_HANDLE), bytes);
    } else if (command == "codepage") {
      codePage_ = static_cast<UINT>(std::strtoul(argument.c_str(), nullptr, 0));
    } else if (command == "closeout") {
      ::CloseHandle(::GetStdHandle(STD_OUTPUT_HANDLE));
      ::SetStdHandle(STD_OUTPUT_HANDLE, nullptr);
    } else if (command == "sleep") {
      ::Sleep(static_cast<DWORD>(std::strtoul(argument.c_str(), nullptr, 0)));
    } else if (command == "record") {
      std::string commandLine = Narrow(::GetCommandLineW(), CP_UTF8);
      WriteFileBytes(Widen(argument), commandLine);
    } else if (command == "create") {
      WriteFileBytes(TargetFolder() + L"\\" + Widen(argument), std::string());
    } else if (command == "exit") {
      ::ExitProcess(static_cast<UINT>(std::strtoul(argument.c_str(), nullptr, 0)));
    } else if (command == "crash") {
      Crash();
    }
  }

  std::string Encoded(const std::string& text) const {
    std::string bytes = Unescape(text);
    if (codePage_ == CP_UTF8) return bytes;
    return Narrow(Widen(bytes), codePage_);
  }

  static void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    WriteAll(file, bytes);
    ::CloseHandle(file);
  }

  // A real fault, not a chosen exit code: the process ends the way a crashing package
  // does, with the exception code as its exit code and no error dialog.
  [[noreturn]] static void Crash() {
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    ::SetUnhandledExceptionFilter(&EndWithoutDebugger);
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    ::ExitProcess(1);
  }

  UINT codePage_ = CP_UTF8;
};

}  // namespace

int main() {
  wchar_t scriptPath[MAX_PATH] = {};
  DWORD length = ::GetEnvironmentVariableW(L"FOLVANE_FAKE_SCRIPT", scriptPath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 0;
  Player().Run(ReadWholeFile(scriptPath));
  return 0;
}
