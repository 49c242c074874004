// The runtime's exception classes: every error carries its message text, and the file errors
// name the file.
#pragma once
#include <stdexcept>
#include <string>

namespace kestrova::rtl {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// A failed Assert: the message, then the unit and line that asserted, in parentheses.
class EAssertionFailed : public Exception {
 public:
  EAssertionFailed(const std::string& message, const std::string& unit, int line)
      : Exception(message + " (" + unit + ", line " + std::to_string(line) + ")") {}
};

[[noreturn]] inline void AssertFailed(const std::string& message, const std::string& unit, int line) {
  throw EAssertionFailed(message, unit, line);
}

// Stream errors.
class EStreamError : public Exception {
  using Exception::Exception;
};
class EFOpenError : public EStreamError {
  using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
  using EStreamError::EStreamError;
};
class EReadError : public EStreamError {
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
  using EStreamError::EStreamError;
};

// File input and output by name, outside the streams: the C runtime's error number comes along.
class EInOutError : public Exception {
 public:
  EInOutError(const std::string& message, int errorCode) : Exception(message), ErrorCode(errorCode) {}
  int ErrorCode;
};

// Builds the EInOutError for a failed operation on fileName from the current errno.
EInOutError InOutError(const std::string& fileName);

}  // namespace kestrova::rtl
