#include "pipeline/WorkerThread.h"

#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

namespace {

// Records the debugger naming exceptions raised in this process. It is installed in
// front of the worker's own handler and passes the exception on to it.
// The record a debugger reads from the naming exception's arguments.
struct NameRecord {
  DWORD type;
  LPCSTR name;
  DWORD threadId;
  DWORD flags;
};

struct NamingRecorder {
  static inline std::string lastName;
  static inline DWORD lastThreadId = 0;
  static inline DWORD lastType = 0;
  static inline int count = 0;

  static LONG CALLBACK Handler(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode == 0x406D1388 && record->NumberParameters >= 3) {
      const auto* fields = reinterpret_cast<const NameRecord*>(record->ExceptionInformation);
      lastType = fields->type;
      lastName = fields->name ? fields->name : "";
      lastThreadId = fields->threadId;
      ++count;
    }
    return EXCEPTION_CONTINUE_SEARCH;
  }
};

class WorkerThreadTest : public testing::Test {
 protected:
  void SetUp() override { handler_ = ::AddVectoredExceptionHandler(1, &NamingRecorder::Handler); }
  void TearDown() override { ::RemoveVectoredExceptionHandler(handler_); }
  PVOID handler_ = nullptr;
};

// Created suspended: nothing runs before Start; the body runs exactly once with its
// argument, and destruction waits for it.
TEST_F(WorkerThreadTest, RunsBodyOnceAfterStart) {
  std::atomic<int> runs{0};
  void* seen = nullptr;
  int owner = 0;
  auto worker = std::make_unique<WorkerThread>(
      [&](void* argument) -> uint32_t {
        seen = argument;
        ++runs;
        return 7;
      },
      &owner, L"ABDEF");
  ASSERT_TRUE(worker->IsCreated());
  ::Sleep(50);
  EXPECT_EQ(runs.load(), 0);
  EXPECT_TRUE(worker->Start());
  EXPECT_TRUE(worker->Start());  // second Start resumes nothing and answers true
  worker.reset();                // waits for the body
  EXPECT_EQ(runs.load(), 1);
  EXPECT_EQ(seen, &owner);
}

// Join waits for the body, then the worker holds no thread; joining again does nothing.
TEST_F(WorkerThreadTest, JoinWaitsAndForgetsTheThread) {
  std::atomic<bool> finished{false};
  WorkerThread worker(
      [&](void*) -> uint32_t {
        ::Sleep(100);
        finished = true;
        return 0;
      },
      nullptr, L"UnInstaller");
  ASSERT_TRUE(worker.Start());
  worker.Join();
  EXPECT_TRUE(finished.load());
  EXPECT_FALSE(worker.IsCreated());
  EXPECT_EQ(worker.ThreadId(), static_cast<DWORD>(-1));
  worker.Join();
  EXPECT_FALSE(worker.Start());
}

// The thread is named for debuggers through the 0x406D1388 exception, which the
// worker catches itself: {0x1000, name, thread id, 0}.
TEST_F(WorkerThreadTest, NamesThreadForDebuggers) {
  const int before = NamingRecorder::count;
  WorkerThread named([](void*) -> uint32_t { return 0; }, nullptr, L"UnInstaller");
  EXPECT_EQ(NamingRecorder::count, before + 1);
  EXPECT_EQ(NamingRecorder::lastType, 0x1000u);
  EXPECT_EQ(NamingRecorder::lastName, "UnInstaller");
  EXPECT_EQ(NamingRecorder::lastThreadId, named.ThreadId());
  EXPECT_EQ(named.DebuggerName(), "UnInstaller");
  named.Start();
}

// A worker without a name is called "t" and its thread id.
TEST_F(WorkerThreadTest, EmptyNameUsesThreadId) {
  WorkerThread unnamed([](void*) -> uint32_t { return 0; }, nullptr, L"");
  const std::string expected = "t" + std::to_string(unnamed.ThreadId());
  EXPECT_EQ(unnamed.DebuggerName(), expected);
  EXPECT_EQ(NamingRecorder::lastName, expected);
  unnamed.Start();
}

// Destroying or joining a worker that was never started returns instead of waiting for
// ever, and its body never runs.
TEST_F(WorkerThreadTest, NeverStartedWorkerEndsWithoutRunning) {
  std::atomic<int> runs{0};
  auto body = [&](void*) -> uint32_t { ++runs; return 0; };
  { WorkerThread destroyed(body, nullptr, L"ABDEF"); }
  WorkerThread joined(body, nullptr, L"ABDEF");
  joined.Join();
  EXPECT_FALSE(joined.IsCreated());
  ::Sleep(20);
  EXPECT_EQ(runs.load(), 0);
}

// An exception escaping the body ends the body only: the process goes on and the
// worker joins as usual.
TEST_F(WorkerThreadTest, EscapingExceptionEndsOnlyTheBody) {
  std::atomic<bool> reached{false};
  WorkerThread worker(
      [&](void*) -> uint32_t {
        reached = true;
        throw std::runtime_error("job failed");
      },
      nullptr, L"ABDEF");
  ASSERT_TRUE(worker.Start());
  worker.Join();
  EXPECT_TRUE(reached.load());
  EXPECT_FALSE(worker.IsCreated());
}

}  // namespace
