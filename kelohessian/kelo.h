/// \file
/// The one-call interface in namespace kelo, over the same encoders and decoders as the classic
/// functions: a call 'c' 00 01 'm' \<method\> \<argument\> 'z', a reply 'r' 01 00 \<result\> 'z',
/// a fault reply 'r' 01 00 'f' "code" \<code\> "message" \<message\> ... 'z' 'z', text as UTF-8
/// and bytes as standard vectors. Nothing here throws: a std::bad_alloc inside becomes
/// KELO_E_NO_MEMORY. A null pointer given with a non-zero size (bytes or text) is refused with
/// KELO_E_INVALID_ARGUMENT.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/hes_class.h>
#include <kelohessian/hessian/parse.h>
#include <kelohessian/hessian/result.h>
#include <kelohessian/hessian/string.h>

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

// ---- One call each way -------------------------------------------------------------------------
// Each replaces the contents of out with the whole message, or leaves it empty on failure. The
// message is written straight into out, whose capacity is kept: one vector reused for many
// messages is not reallocated once it is large enough.

/// 'c' 00 01 'm' \<method\> \<args\> 'z', the method's length in 16-bit units as Hessian counts
/// it and Java writes it; KeloHessianBuildRequest writes the number of bytes, the same for ASCII
/// only. The method is refused as FromUtf8 refuses text (KELO_E_FORMAT for invalid UTF-8,
/// KELO_E_NOT_SUPPORTED above U+FFFF), and with KELO_E_OUT_OF_RANGE beyond 65535 units.
KELO_API Status EncodeCall(std::string_view method, const CKeloHesClass& args,
                           std::vector<std::uint8_t>& out);

/// 'r' 01 00, the result (a typed map, or 'N' when it is null), 'z'.
KELO_API Status EncodeReply(const CKeloHesClass& result, std::vector<std::uint8_t>& out);

/// A fault reply as Caucho's Hessian for Java writes it, without a detail:
/// 'r' 01 00 'f' "code" \<code\> "message" \<message\> 'z' 'z'. The texts are UTF-8; a character
/// above U+FFFF is refused (KELO_E_NOT_SUPPORTED), as for every string.
KELO_API Status EncodeFault(std::string_view code, std::string_view message,
                            std::vector<std::uint8_t>& out);

/// Reads a whole reply into result as KeloHessianReadResponse does, then requires the input to end
/// behind the reply's 'z' (KELO_E_FORMAT, naming the number of bytes left). A fault reply gives
/// is_fault() whatever class result is (result is left alone): its "code" and "message" are taken,
/// everything else in it (the exception Java sends as "detail", back references included) is read
/// past, and one or two closing 'z' are accepted (Java closes the fault and the reply). On a
/// failure, members of result filled before it keep their new values.
KELO_API Status DecodeReply(const void* data, std::size_t size, CKeloHesClass& result);

// ---- The server side ---------------------------------------------------------------------------

/// Reads a call: ReadMethod (headers 'H' name value before the method are read past), then
/// ReadArg for each argument in order, then Finish. Reads our calls and those of Caucho's Java
/// proxy ('c' with any version bytes). The reader does not copy the input: the bytes must stay
/// valid while it is used. Each step's status carries that step's text only, and its offset is the
/// bytes read so far. After a failed step the reader stays where the failure left it.
class KELO_API CallReader {
 public:
  /// A reader over the call's bytes, which it does not copy (keep them alive while reading).
  CallReader(const void* data, std::size_t size);
  CallReader(const CallReader&) = delete;
  CallReader& operator=(const CallReader&) = delete;
  ~CallReader();

  /// Reads 'c', the two version bytes, any headers (read past) and the method name into method
  /// (UTF-8); names are counted in 16-bit units. KELO_E_FORMAT for bytes that are not a call.
  Status ReadMethod(std::string& method);
  /// KELO_E_INVALID_STATE before ReadMethod; KELO_E_FORMAT when the call has no argument left.
  Status ReadArg(CKeloHesClass& arg);
  /// True when the next byte is the call's closing 'z' (no argument left).
  bool AtEnd() const;
  /// The closing 'z', with nothing behind it.
  Status Finish();

 private:
  Status Failed(int code);

  CKeloInput m_input;
  CKeloInputParse m_parse;
  int m_refused;  ///< KELO_OK, or the code ReadMethod refuses an unreadable range with
  bool m_methodRead;
};

// ---- Text and bytes ----------------------------------------------------------------------------

/// The string as UTF-8. A surrogate pair read from the wire (how Java sends a character above
/// U+FFFF) becomes that one 4-byte character; a lone surrogate unit becomes U+FFFD. A null string
/// gives an empty text, as does running out of memory.
KELO_API std::string ToUtf8(const CKeloHesString& text);

/// Sets the string (not null) to the UTF-8 text. Invalid UTF-8 (a bad lead or continuation byte, a
/// truncated, overlong or surrogate sequence, a value beyond U+10FFFF) is refused with
/// KELO_E_FORMAT and offset() at the first byte of the bad sequence; a character above U+FFFF with
/// KELO_E_NOT_SUPPORTED (strings carry 16-bit units and the wire writer refuses surrogates). The
/// string is unchanged on failure.
KELO_API Status FromUtf8(std::string_view text, CKeloHesString& out);

/// A view of the blob's bytes, valid while the blob is neither changed nor destroyed (empty for a
/// null blob).
KELO_API std::string_view ToBytes(const CKeloHesBinary& blob);
/// Sets the blob (not null) to a copy of the bytes; KELO_E_OUT_OF_RANGE beyond 32 bits of length.
KELO_API Status FromBytes(const void* data, std::size_t size, CKeloHesBinary& out);
/// The same, for the bytes of a string view.
inline Status FromBytes(std::string_view bytes, CKeloHesBinary& out) {
  return FromBytes(bytes.data(), bytes.size(), out);
}

}  // namespace kelo
