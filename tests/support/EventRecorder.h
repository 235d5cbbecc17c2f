// Collects the events a background job reports, from whatever thread sends them, and
// lets a test wait for a given code.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "pipeline/EventCallback.h"

struct RecordedEvent {
  int32_t code;
  double value;
  std::wstring text;
  DWORD threadId;
};

class EventRecorder {
 public:
  EventCallback Callback() {
    return [this](int32_t code, double value, const std::wstring& text) {
      Record(code, value, text);
    };
  }

  void Record(int32_t code, double value, const std::wstring& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back({code, value, text, ::GetCurrentThreadId()});
    changed_.notify_all();
  }

  // Waits until an event with one of the codes has arrived; false on time-out.
  bool WaitFor(std::initializer_list<int32_t> codes,
               std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] {
      for (const RecordedEvent& event : events_)
        for (int32_t code : codes)
          if (event.code == code) return true;
      return false;
    });
  }

  std::vector<RecordedEvent> Events() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
  }

  // The codes in arrival order, repeated progress codes included.
  std::vector<int32_t> Codes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<int32_t> codes;
    for (const RecordedEvent& event : events_) codes.push_back(event.code);
    return codes;
  }

  // The codes in arrival order without the given (progress) code.
  std::vector<int32_t> CodesWithout(int32_t skipped) const {
    std::vector<int32_t> codes;
    for (int32_t code : Codes())
      if (code != skipped) codes.push_back(code);
    return codes;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<RecordedEvent> events_;
};
