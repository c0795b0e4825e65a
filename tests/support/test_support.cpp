// Shared test helpers and the test-only structure classes.
#include "support/test_support.h"

#include <ctype.h>
#include <stdio.h>

#include <kelohessian/schema/message.h>

namespace kelotest {

KELO_MESSAGE_DEFINE(Point, "test", CKeloHesClass, KELO_TEST_Point_MEMBERS)
KELO_MESSAGE_DEFINE(Box, "test", CKeloHesClass, KELO_TEST_Box_MEMBERS)
KELO_MESSAGE_DEFINE(Crate, "test.deep", CKeloHesClass, KELO_TEST_Crate_MEMBERS)
KELO_MESSAGE_DEFINE(Bare, "", CKeloHesClass, KELO_TEST_Bare_MEMBERS)
KELO_MESSAGE_DEFINE(BareTwice, "", Bare, KELO_TEST_BareTwice_MEMBERS)

std::string Hex(const char* annotated) {
  std::string out;
  for (const char* p = annotated; *p; ++p) {
    if (*p == '#') {
      while (p[1] && p[1] != '\n') ++p;
    } else if (*p == '\'') {
      while (*++p && *p != '\'') out.push_back(*p);
      if (!*p) break;
    } else if (isxdigit(static_cast<unsigned char>(p[0])) &&
               isxdigit(static_cast<unsigned char>(p[1]))) {
      out.push_back(static_cast<char>(std::stoi(std::string(p, 2), nullptr, 16)));
      ++p;
    }
  }
  return out;
}

std::string ToHex(const std::string& bytes) {
  std::string out;
  char two[4];
  for (const unsigned char b : bytes) {
    snprintf(two, sizeof two, " %02x", b);
    out += out.empty() ? two + 1 : two;
  }
  return out;
}

std::string Encode(const CKeloHesObject& object, int* rc, unsigned int growthStep) {
  CKeloOutput out(growthStep);
  const int code = object.Serialize(out);
  if (rc) *rc = code;
  return out.Data() ? std::string(out.Data(), out.DataSize()) : std::string();
}

template <class Read>
Decoded Run(const std::string& bytes, Read read) {
  CKeloInput in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  CKeloInputParse parse(in);
  Decoded d;
  d.rc = read(parse);
  d.error =
      parse.GetError() ? std::string(parse.GetError(), parse.GetErrorLength()) : std::string();
  d.consumed = in.GetNumExtracted();
  return d;
}

Decoded Decode(CKeloHesObject& object, const std::string& bytes) {
  return Run(bytes, [&](CKeloInputParse& parse) { return object.Deserialize(parse); });
}

std::string Reply(const std::string& body) {
  return Hex("'r' 01 00") + body + "z";
}

Decoded ReadReply(CKeloHesClass& response, const std::string& bytes) {
  return Run(bytes,
             [&](CKeloInputParse& parse) { return KeloHessianReadResponse(response, parse); });
}

std::string BlobBytes(const CKeloHesBinary& blob) {
  const char* data;
  const unsigned int n = blob.Data(data);
  return data ? std::string(data, n) : std::string();
}

std::u16string StringUnits(const CKeloHesString& s) {
  const short* data;
  const unsigned int n = s.Data(data);
  std::u16string out;
  for (unsigned int i = 0; i < n; ++i) out.push_back(static_cast<char16_t>(data[i]));
  return out;
}

}  // namespace kelotest
