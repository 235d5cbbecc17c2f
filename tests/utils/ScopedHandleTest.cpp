#include "utils/ScopedHandle.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace {

bool IsOpenHandle(HANDLE handle) {
  DWORD flags = 0;
  return ::GetHandleInformation(handle, &flags) != FALSE;
}

static_assert(!std::is_copy_constructible_v<Utils::ScopedHandle>, "a copy would close twice");
static_assert(std::is_nothrow_move_constructible_v<Utils::ScopedHandle>);

// The handle is closed once, by whoever owns it last; release hands it over unclosed.
TEST(ScopedHandle, ClosesOnceAfterMoves) {
  HANDLE raw = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(raw, nullptr);
  {
    Utils::ScopedHandle first(raw);
    Utils::ScopedHandle second(std::move(first));
    EXPECT_FALSE(first.valid());
    EXPECT_EQ(second.get(), raw);
    Utils::ScopedHandle third;
    third = std::move(second);
    EXPECT_TRUE(IsOpenHandle(raw));
  }
  EXPECT_FALSE(IsOpenHandle(raw));

  HANDLE kept = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  {
    Utils::ScopedHandle owner(kept);
    EXPECT_EQ(owner.release(), kept);
  }
  EXPECT_TRUE(IsOpenHandle(kept));
  ::CloseHandle(kept);
}

// Replacing the held handle on an error path keeps the error being reported.
TEST(ScopedHandle, ResetKeepsLastError) {
  Utils::ScopedHandle owner(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  ::SetLastError(ERROR_FILE_NOT_FOUND);
  owner.reset();
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

// File handles use INVALID_HANDLE_VALUE as their empty value.
TEST(ScopedHandle, FileHandleEmptyValue) {
  Utils::ScopedFileHandle missing(::CreateFileW(L"Q:\\missing\\file", GENERIC_READ, 0, nullptr,
                                                OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(missing.valid());
  EXPECT_EQ(missing.get(), INVALID_HANDLE_VALUE);
}

}  // namespace
