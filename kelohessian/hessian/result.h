/// \file
/// Result codes returned by every operation of the library, written once in KELO_RESULT_CODES: the
/// enum, the names and the short descriptions all follow from that list. 0 is success; the classic
/// interface fails only with KELO_E_NOT_SUPPORTED to KELO_E_INVALID_STATE, and a code from a
/// nested call is passed up unchanged.
#pragma once

#include <kelohessian/hessian/export.h>

/// Every result code as X(name, value, description), in the order of the enum.
#define KELO_RESULT_CODES(X)                                                                       \
  X(KELO_OK, 0, "success")                                                                         \
  X(KELO_E_INVALID_ARGUMENT, -1999991, "a null pointer given with a non-zero size")                \
  X(KELO_E_FAULT, -1999992, "the peer answered with a Hessian fault")                              \
  X(KELO_E_NOT_SUPPORTED, -1999993, "an operation or value the encoding cannot carry")             \
  X(KELO_E_OUT_OF_RANGE, -1999994, "a length beyond its 16-bit field, or a size that would grow")  \
  X(KELO_E_FORMAT, -1999995, "unexpected bytes: a wrong marker, corrupt UTF-8, a wrong type name") \
  X(KELO_E_EXHAUSTED, -1999996, "the input ended before the item being read")                      \
  X(KELO_E_NO_MEMORY, -1999997, "an allocation failed")                                            \
  X(KELO_E_INVALID_STATE, -1999998, "the cursor stepped back before its start, or no members")

/// The result codes as int constants. KELO_E_FAULT and KELO_E_INVALID_ARGUMENT belong to the
/// kelo:: interface (kelo.h): the first tells a fault reply from a failure, the second refuses a
/// range that cannot be read. No function of the classic interface returns them.
enum : int {
#define KELO_RESULT_ENUM_ROW(name, value, description) name = value, /**< description */
  KELO_RESULT_CODES(KELO_RESULT_ENUM_ROW)
#undef KELO_RESULT_ENUM_ROW
};

namespace kelo {

/// The code's name, "KELO_E_FORMAT" for KELO_E_FORMAT; "unknown" for a value that is no code.
KELO_API const char* ResultName(int code);
/// A few words on what the code means; "unknown result code" for a value that is no code.
KELO_API const char* ResultDescription(int code);

}  // namespace kelo
