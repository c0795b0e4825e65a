// What the three files of the modern face share: the status glue over the parse context, the
// range check every entry point makes, and the UTF-8 conversions the envelopes use. Not installed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include <kelohessian/hessian/detail/failures.h>
#include <kelohessian/hessian/parse.h>
#include <kelohessian/hessian/string.h>
#include <kelohessian/kelo/status.h>

namespace kelo {

struct StatusAccess {
  static Status Fault(std::string code, std::string message, std::string text, std::size_t offset) {
    Status status(KELO_E_FAULT, std::move(text), offset);
    status.faultCode_ = std::move(code);
    status.faultMessage_ = std::move(message);
    return status;
  }
};

namespace face {

constexpr std::size_t kMaxInput = 0xFFFFFFFFu;  // CKeloInput counts in 32 bits

// What a range given as pointer and size is refused with before anything is read: a null pointer
// with bytes behind it, or more bytes than the 32-bit cursor counts. KELO_OK for any other.
int RangeCheck(const void* data, std::size_t size);

// Runs body, turning what a standard container throws (std::bad_alloc, or std::length_error for
// a size it cannot hold) into KELO_E_NO_MEMORY, and an empty out for the encoders.
template <class Body>
Status Guard(std::vector<std::uint8_t>* out, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::exception&) {
    if (out) out->clear();
    return Status(KELO_E_NO_MEMORY);
  }
}

// The code with the parse context's text and the bytes consumed so far.
Status FromParse(int code, CKeloInputParse& parse);

// Bytes of the input not read yet.
unsigned int Left(CKeloInput& in);

// KELO_E_FORMAT with "<piece><number of bytes left>" when input remains after the message.
Status CheckEnd(CKeloInputParse& parse, kelo_detail::Failure piece);

// A surrogate pair becomes one 4-byte character, a lone surrogate U+FFFD.
void AppendUnits(std::string& out, const unsigned short* units, std::size_t count);

// Counts the 16-bit units of UTF-8 text, storing them when units is given. Invalid UTF-8 (a bad
// lead or continuation byte, a truncated, overlong or surrogate sequence, a value beyond
// U+10FFFF) is KELO_E_FORMAT, a character above U+FFFF KELO_E_NOT_SUPPORTED (strings carry 16-bit
// units and the wire writer refuses surrogates), with offset() at the first byte of the sequence.
Status Utf8Units(std::string_view text, std::vector<short>* units, std::size_t& count);

// The text as 16-bit units, by FromUtf8's rules, and view a string over them: FromUtf8 without
// the copy into a string of its own. Call it inside Guard (units grows).
Status ViewUtf8(std::string_view text, std::vector<short>& units, CKeloHesString& view);

}  // namespace face
}  // namespace kelo
