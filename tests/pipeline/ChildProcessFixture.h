// A temporary folder, the fake program's script in it, and a guard that ends a child
// which outlives its test's patience, so that a hanging read fails the test instead of
// hanging the run.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "support/FakeProgram.h"
#include "support/TempFolder.h"

class ChildProcessFixture : public testing::Test {
 protected:
  // Gives the fake program this script for the rest of the test.
  void Script(const std::string& text) {
    script_.reset();
    script_ = std::make_unique<FakeScript>(folder_.path() + L"\\script.txt", text);
  }

  // The fake program copied into the test folder under `name`; answers its full path.
  std::wstring InstallFake(const std::wstring& name) {
    std::wstring path = folder_.path() + L"\\" + name;
    EXPECT_TRUE(CopyFakeProgram(path));
    return path;
  }

  std::wstring Path(const std::wstring& relative) const { return folder_.path() + L"\\" + relative; }

  static bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  // The UTF-8 content of a file as wide text; empty when it cannot be read.
  static std::wstring ReadUtf8File(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::wstring();
    char buffer[8192];
    DWORD got = 0;
    std::string bytes;
    while (::ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
      bytes.append(buffer, got);
    ::CloseHandle(file);
    if (bytes.empty()) return std::wstring();
    int size = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                     nullptr, 0);
    std::wstring text(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                          size);
    return text;
  }

  // Runs `job` on a thread; true when it ended within `seconds`. When it did not,
  // `rescue` ends what the job waits for (the child), so the test fails instead of
  // hanging the run.
  static bool FinishesWithin(int seconds, const std::function<void()>& job,
                             const std::function<void()>& rescue) {
    std::promise<void> finished;
    std::future<void> done = finished.get_future();
    std::thread runner([&] {
      job();
      finished.set_value();
    });
    const bool inTime = done.wait_for(std::chrono::seconds(seconds)) == std::future_status::ready;
    if (!inTime) rescue();
    runner.join();
    return inTime;
  }

  static void EndProcess(DWORD processId) {
    HANDLE process = ::OpenProcess(PROCESS_TERMINATE, FALSE, processId);
    if (!process) return;
    ::TerminateProcess(process, 99);
    ::CloseHandle(process);
  }

  TempFolder folder_;
  std::unique_ptr<FakeScript> script_;
};
