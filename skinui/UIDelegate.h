// Callbacks a control runs at fixed points of its life (initialise, destroy, size, event,
// notify, paint, after paint). Each list runs its callbacks in the order they were added;
// a callback that returns false stops the list, and the list then reports false, which
// means "stop" to the control (the event is not handled further, the paint is declined).
#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace SkinUI {

template <typename... Args>
class DelegateList {
 public:
  using Callback = std::function<bool(Args...)>;

  // Returns an id for Remove.
  int Add(Callback callback) {
    entries_.push_back(Entry{++lastId_, std::move(callback)});
    return lastId_;
  }
  bool Remove(int id) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->id == id) {
        entries_.erase(it);
        return true;
      }
    }
    return false;
  }
  bool empty() const { return entries_.empty(); }
  void clear() { entries_.clear(); }

  // A callback may add or remove callbacks while the list runs: the run works on a copy.
  bool Invoke(Args... args) const {
    std::vector<Entry> entries = entries_;
    for (const Entry& entry : entries) {
      if (!entry.callback(args...)) return false;
    }
    return true;
  }

 private:
  struct Entry {
    int id;
    Callback callback;
  };
  std::vector<Entry> entries_;
  int lastId_ = 0;
};

}  // namespace SkinUI
