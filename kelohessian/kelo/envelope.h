/// \file
/// The envelopes, one call each way: a call 'c' 00 01 'm' \<method\> \<argument\> 'z', a reply
/// 'r' 01 00 \<result\> 'z', a fault reply 'r' 01 00 'f' "code" \<code\> "message" \<message\> ...
/// 'z' 'z', written into and read from standard vectors; and CallReader for the server side.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/hes_class.h>
#include <kelohessian/hessian/output.h>
#include <kelohessian/hessian/parse.h>
#include <kelohessian/kelo/status.h>

namespace kelo {

class Value;

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
  /// Reads the next argument, whatever it is, into arg (see DecodeValue). References are numbered
  /// across the call as Java numbers them, the maps and lists of arguments read into classes
  /// included: an 'R' may refer to a map or list of an earlier argument read as a Value (or held
  /// by a CKeloHesAny member of one read into a class), and is KELO_E_FORMAT when it refers to
  /// an object read into a class. Failures as ReadArg's above; on failure arg is left alone.
  Status ReadArg(Value& arg);
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

}  // namespace kelo
