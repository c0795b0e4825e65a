// The failure texts of the decoders, one row each: the code the failure returns, the exact text,
// and whether the last characters read follow it. A decoder names its row (Fail(parse,
// kFailBoolMissing)), so no text is typed twice. Rows whose code is KELO_OK are pieces of a
// composed message, added with Add. Not installed.
#pragma once

#include <kelohessian/hessian/result.h>

// X(id, code, text, lastChars)
#define KELO_FAILURES(X)                                                                           \
  /* scalars */                                                                                    \
  X(BoolMissing, KELO_E_EXHAUSTED, "Failed to read boolean", true)                                 \
  X(BoolMarker, KELO_E_FORMAT, "Expected boolean ('T' or 'F') but got something else", true)       \
  X(IntMissing, KELO_E_EXHAUSTED, "Failed to read integer", true)                                  \
  X(IntMarker, KELO_E_FORMAT, "Expected integer ('I'), but got something else", true)              \
  X(Int64Missing, KELO_E_EXHAUSTED, "Failed to read integer64 value", true)                        \
  X(Int64MarkerOpen, KELO_OK, "Expected 64 bit value (with '", false)                              \
  X(Int64MarkerClose, KELO_E_FORMAT, "') but got something else", true)                            \
  /* typed lists */                                                                                \
  X(ListMissing, KELO_E_EXHAUSTED, "Failed to get array content indicator", true)                  \
  X(ListMarker, KELO_E_FORMAT,                                                                     \
    "Expected array content indicator ('V' or 'N') but got something else", true)                  \
  X(ListTypeMissing, KELO_E_EXHAUSTED, "Failed to read array item type", true)                     \
  X(ListTypeMarker, KELO_E_FORMAT,                                                                 \
    "Expected 't' and then type length (of array item), but got something else", true)             \
  X(ListTypeLength, KELO_E_EXHAUSTED, "Failed to get array item's class name length (after 't')",  \
    true)                                                                                          \
  X(ListAnonymous, KELO_E_NOT_SUPPORTED, "Anonymous lists not supported", true)                    \
  X(ListTypeName, KELO_E_EXHAUSTED, "Failed to read item's class name", true)                      \
  X(ListTypeBracket, KELO_E_FORMAT,                                                                \
    "Expected list item class name to start with with '[', but it didn't", true)                   \
  X(ListTypeOpen, KELO_OK, "Expected item class \"", false)                                        \
  X(ListTypeGot, KELO_OK, "[]\" but got \"", false)                                                \
  X(TypeDot, KELO_OK, ".", false)                                                                  \
  X(TypeQuoteClose, KELO_E_FORMAT, "\"", true)                                                     \
  X(ListLengthMissing, KELO_E_EXHAUSTED, "Failed to read array length indicator", true)            \
  X(ListLengthMarker, KELO_E_FORMAT,                                                               \
    "Expected 'l' and then array length , but got something else", true)                           \
  X(ListNegative, KELO_E_NOT_SUPPORTED,                                                            \
    "Got negative length, indicating variable length list, which is currently not supported",      \
    true)                                                                                          \
  X(ListEndMissing, KELO_E_EXHAUSTED, "Failed to read array's terminating 'z'", true)              \
  X(ListEndMarker, KELO_E_FORMAT, "Expected array's terminating 'z', but got something else",      \
    true)                                                                                          \
  /* skipping */                                                                                   \
  X(SkipMissing, KELO_E_EXHAUSTED, "Cannot get variable type", false)                              \
  X(SkipTooDeep, KELO_E_NOT_SUPPORTED, "Cannot skip a value nested deeper than 64 levels", true)   \
  X(SkipUnknownOpen, KELO_OK, "Cannot skip: Unknown type marker: '", false)                        \
  X(SkipUnknownClose, KELO_E_FORMAT, "'", true)                                                    \
  /* value classes */                                                                              \
  X(WhileParsing, KELO_OK, "While parsing ", false)                                                \
  X(ValueHeader, KELO_E_FORMAT,                                                                    \
    ", expected 'S' then the 'value' member name, but got something else", true)                   \
  /* reply envelope */                                                                             \
  X(ReplyMissing, KELO_E_EXHAUSTED,                                                                \
    "Could not find data, while looking for the opening 'r' and version", false)                   \
  X(ReplyMarker, KELO_E_FORMAT, "Expected the opening 'r', but got something else", false)         \
  X(ReplyEndMissing, KELO_E_FORMAT, "Failed to read the terminating 'z'", false)                   \
  X(ReplyEndMarker, KELO_E_FORMAT, "Expected terminating 'z', but got something else", false)      \
  /* typed maps (structures) */                                                                    \
  X(MapMissing, KELO_E_EXHAUSTED, "Failed to get content indicator ('M' or 'N')", true)            \
  X(MapMarker, KELO_E_FORMAT, "Expected 'M' or 'N' but got something else", true)                  \
  X(MapTypeMissing, KELO_E_EXHAUSTED, "Failed to get class type indicator ('t')", true)            \
  X(MapTypeMarker, KELO_E_FORMAT, "Expected 't' and then length but got something else", true)     \
  X(MapTypeLength, KELO_E_EXHAUSTED, "Failed to get class name length (after 't')", true)          \
  X(MapTypeName, KELO_E_EXHAUSTED, "Failed to get read class name", true)                          \
  X(MemberNameLength, KELO_E_EXHAUSTED,                                                            \
    ", expected member name length (after 'S') but got no data", true)                             \
  X(MemberName, KELO_E_EXHAUSTED, ", Got member data length, but could not get the name", true)    \
  X(MemberMissing, KELO_E_EXHAUSTED, ", expected either 'S' or 'z' but could not get data", true)  \
  X(MemberMarker, KELO_E_FORMAT, ", expected either 'S' or 'z' but got something else", true)      \
  X(MapEndClose, KELO_E_FORMAT, " but got something else", true)                                   \
  X(MapTypeOpen, KELO_OK, "Expected class \"", false)                                              \
  X(MapTypeGot, KELO_OK, "\" but got \"", false)                                                   \
  X(ClassOpen, KELO_OK, "class \"", false)                                                         \
  X(Quote, KELO_OK, "\"", false)                                                                   \
  X(MemberOpen, KELO_OK, " member \"", false)                                                      \
  X(MemberOf, KELO_OK, "\" of ", false)                                                            \
  X(MapEndMissing, KELO_OK, "Failed to read terminating 'z' for ", false)                          \
  X(MapEndOpen, KELO_OK, "Expected terminating 'z' for ", false)                                   \
  /* strings and blobs */                                                                          \
  X(StringMissing, KELO_E_EXHAUSTED, "Failed to read string value", true)                          \
  X(StringMarker, KELO_E_FORMAT, "Expected string ('S', 's' or 'N') but got something else", true) \
  X(StringLength, KELO_E_EXHAUSTED, "Failed to read length of string value", true)                 \
  X(StringStore, KELO_E_NO_MEMORY, "Internal error: failed to store string data", true)            \
  X(StringNextChunk, KELO_E_EXHAUSTED,                                                             \
    "Expected next block of string data, but got something else", true)                            \
  X(BinaryMissing, KELO_E_EXHAUSTED, "Failed to read binary value", true)                          \
  X(BinaryMarker, KELO_E_FORMAT, "Expected binary ('B', 'b' or 'N') but got something else", true) \
  X(BinaryLength, KELO_E_EXHAUSTED, "Failed to read length of binary value", true)                 \
  X(BinaryStore, KELO_E_NO_MEMORY, "Internal error: failed to store binary data", true)            \
  X(BinaryNextChunk, KELO_E_EXHAUSTED,                                                             \
    "Expected next block of binary data, but got something else", true)                            \
  X(StringAllocate, KELO_E_NO_MEMORY, "Failed to allocate data for decoding string", false)        \
  /* one-call interface (kelo.h): trailing bytes, faults, calls */                                 \
  X(TrailingOpen, KELO_OK, "Bytes left after the reply's terminating 'z': ", false)                \
  X(FaultKey, KELO_E_FORMAT, "Expected a fault field name ('S') or the fault's 'z'", true)         \
  X(FaultValue, KELO_E_FORMAT, "Expected a string for the fault's code or message", true)          \
  X(SkipValue, KELO_E_FORMAT, "Cannot read past a value of a fault or a call header", true)        \
  X(SkipValueTooDeep, KELO_E_NOT_SUPPORTED,                                                        \
    "Cannot read past a value nested deeper than 64 levels", true)                                 \
  X(FaultEndMissing, KELO_E_EXHAUSTED, "Failed to read the terminating 'z' of the fault reply",    \
    false)                                                                                         \
  X(CallMissing, KELO_E_EXHAUSTED,                                                                 \
    "Could not find data, while looking for the opening 'c' and version", false)                   \
  X(CallMarker, KELO_E_FORMAT, "Expected the opening 'c', but got something else", false)          \
  X(CallHeader, KELO_E_FORMAT, "Expected a header name ('H' and a 2-byte length)", true)           \
  X(CallMethod, KELO_E_FORMAT, "Expected the method ('m' and a 2-byte length)", true)              \
  X(CallMethodMissing, KELO_E_EXHAUSTED, "Failed to read the method name", true)                   \
  X(CallOrder, KELO_E_INVALID_STATE, "The method must be read before the arguments", false)        \
  X(CallNoArgument, KELO_E_FORMAT, "Expected an argument, but the call ends ('z')", true)          \
  X(CallEndMissing, KELO_E_EXHAUSTED, "Failed to read the call's terminating 'z'", true)           \
  X(CallEndMarker, KELO_E_FORMAT, "Expected the call's terminating 'z', but got something else",   \
    true)                                                                                          \
  X(CallTrailingOpen, KELO_OK, "Bytes left after the call's terminating 'z': ", false)             \
  /* lists of strings and numbers */                                                               \
  X(PlainListOpening, KELO_E_EXHAUSTED, "Failed to read the list's type name or length", true)

namespace kelo_detail {

enum Failure : unsigned char {
#define KELO_FAILURE_ID(id, code, text, lastChars) kFail##id,
  KELO_FAILURES(KELO_FAILURE_ID)
#undef KELO_FAILURE_ID
};

struct FailureRow {
  int code;
  const char* text;
  unsigned int length;
  bool lastChars;
};

// Indexed by Failure.
inline constexpr FailureRow kFailureRows[] = {
#define KELO_FAILURE_ROW(id, code, text, lastChars) {code, text, sizeof(text) - 1, lastChars},
    KELO_FAILURES(KELO_FAILURE_ROW)
#undef KELO_FAILURE_ROW
};

}  // namespace kelo_detail
