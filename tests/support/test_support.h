// Helpers shared by the test programs: hex byte vectors, one-call encode and decode, and small
// test-only structure classes for exercising maps and lists without the real schemas.
#pragma once

#include <optional>
#include <string>

#include <kelohessian/kelohessian.h>

namespace kelotest {

// Bytes from annotated hex: digit pairs and 'quoted text'; the rest, and '#' to line end, ignored.
std::string Hex(const char* annotated);
// Lower-case hex of bytes, two digits per byte, separated by spaces.
std::string ToHex(const std::string& bytes);

// Serialises through the virtual slot into a fresh buffer; rc receives the result code.
std::string Encode(const CKeloHesObject& object, int* rc = nullptr, unsigned int growthStep = 0);

// The outcome of one decode: result code, error text and bytes consumed.
struct Decoded {
  int rc;
  std::string error;
  unsigned int consumed;
};
Decoded Decode(CKeloHesObject& object, const std::string& bytes);

// A reply around body: 'r', version 1.0, body, 'z'.
std::string Reply(const std::string& body);
// Reads one reply into response through the classic reply reader (version, response, 'z').
Decoded ReadReply(CKeloHesClass& response, const std::string& bytes);

// The bytes a blob holds; empty for a null blob.
std::string BlobBytes(const CKeloHesBinary& blob);

// The message of what call throws when a handler for Handler (a kllang throwable) catches it;
// nothing when call returns, or throws something such a handler does not catch.
template <class Handler, class Call>
std::optional<std::wstring> Caught(Call call) {
  try {
    call();
  } catch (const Handler& e) {
    return std::wstring(e.GetMessage());
  } catch (...) {
  }
  return std::nullopt;
}

// The 16-bit units a string holds.
std::u16string StringUnits(const CKeloHesString& s);

}  // namespace kelotest

// Test-only structures: a point of every scalar, string and blob kind, a box of points, a crate.
#define KELO_TEST_Point_MEMBERS(X) \
  X(CKeloHesInt32, x)              \
  X(CKeloHesInt8, small)           \
  X(CKeloHesInt64, big)            \
  X(CKeloHesDouble, ratio)         \
  X(CKeloHesDate, when)            \
  X(CKeloHesBool, flag)            \
  X(CKeloHesString, label)         \
  X(CKeloHesBinary, blob)

#define KELO_TEST_Box_MEMBERS(X) \
  X(CKeloHesInt32, id)           \
  X(kelotest::Point, corner)     \
  X(CKeloHesArray<kelotest::Point>, points)

#define KELO_TEST_Crate_MEMBERS(X) \
  X(CKeloHesString, name)          \
  X(kelotest::Box, box)

// A class without a namespace, written under its class name alone.
#define KELO_TEST_Bare_MEMBERS(X) X(CKeloHesInt32, n)
// A class whose one member has the wire name of its base's member.
#define KELO_TEST_BareTwice_MEMBERS(X) X(CKeloHesInt32, n)

namespace kelotest {
KELO_LOCAL_MESSAGE(Point, CKeloHesClass, KELO_TEST_Point_MEMBERS)
KELO_LOCAL_MESSAGE(Box, CKeloHesClass, KELO_TEST_Box_MEMBERS)
KELO_LOCAL_MESSAGE(Crate, CKeloHesClass, KELO_TEST_Crate_MEMBERS)
KELO_LOCAL_MESSAGE(Bare, CKeloHesClass, KELO_TEST_Bare_MEMBERS)
KELO_LOCAL_MESSAGE(BareTwice, Bare, KELO_TEST_BareTwice_MEMBERS)
}  // namespace kelotest
