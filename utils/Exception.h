// The one exception type of the installer's own code. It never leaves the job that
// catches it: the job turns it into a failure event.
#pragma once

#include <exception>
#include <string>

namespace Utils {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

}  // namespace Utils
