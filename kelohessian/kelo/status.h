/// \file
/// kelo::Status, what every function of the modern face returns: a result code, the text that
/// explains it, where in the input it happened, and for a fault reply the peer's code and message.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/result.h>

namespace kelo {

/// The outcome of an operation: a result code of result.h, the text that explains it, and where in
/// the input it happened. A fault reply is the one failure that carries the peer's answer: code
/// KELO_E_FAULT with the fault's code and message.
class [[nodiscard]] Status {
 public:
  Status() = default;
  /// Does not allocate, so it can report KELO_E_NO_MEMORY.
  explicit Status(int code, std::size_t offset = 0) noexcept : code_(code), offset_(offset) {}
  /// A failure with its own text (a library function's status carries the parse context's).
  Status(int code, std::string message, std::size_t offset) noexcept
      : code_(code), offset_(offset), message_(std::move(message)) {}

  /// True on success (code KELO_OK).
  bool ok() const { return code_ == KELO_OK; }
  /// The same as ok(), so that `if (!status)` reads as "on failure".
  explicit operator bool() const { return ok(); }
  /// The result code: KELO_OK, KELO_E_FAULT or one of the library's failure codes.
  int code() const { return code_; }
  /// "KELO_E_FORMAT" and the like.
  const char* name() const { return ResultName(code_); }
  /// The parse context's text for a decoding failure ("Expected 'M' or 'N' but got something
  /// else. Last chars read: '...'"), "CODE: MESSAGE" (the fault's code and message) for a fault,
  /// otherwise a few words on the code.
  const char* message() const {
    if (!message_.empty()) return message_.c_str();
    return ResultDescription(code_);
  }
  /// Bytes of the input consumed when the operation stopped (after each step of a CallReader, the
  /// bytes read so far); 0 for encoders and the text functions.
  std::size_t offset() const { return offset_; }

  /// True when the peer answered with a Hessian fault (code KELO_E_FAULT).
  bool is_fault() const { return code_ == KELO_E_FAULT; }
  /// Both empty unless is_fault(); a fault without a code or message gives an empty one.
  const std::string& fault_code() const { return faultCode_; }
  /// The fault's message, as UTF-8 (see fault_code()).
  const std::string& fault_message() const { return faultMessage_; }

 private:
  friend struct StatusAccess;  ///< fills in a fault

  int code_ = KELO_OK;
  std::size_t offset_ = 0;
  std::string message_;
  std::string faultCode_;
  std::string faultMessage_;
};

}  // namespace kelo
