// Call and reply framing around structures.
#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace {

using kelotest::Hex;

std::string Build(const char* method, unsigned int length, const CKeloHesClass& request, int* rc,
                  const std::string& already = std::string()) {
  CKeloOutput out;
  if (!already.empty()) out.Append(already.data(), static_cast<unsigned int>(already.size()));
  *rc = KeloHessianBuildRequest(method, length, request, out);
  return out.Data() ? std::string(out.Data(), out.DataSize()) : std::string();
}

kelotest::Decoded Read(CKeloHesClass& response, const std::string& bytes) {
  CKeloInput in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  CKeloInputParse parse(in);
  kelotest::Decoded d;
  d.rc = KeloHessianReadResponse(response, parse);
  d.error = parse.GetError() ? parse.GetError() : "";
  d.consumed = in.GetNumExtracted();
  return d;
}

TEST(CallFraming, NullRequestAndFilledRequest) {
  kelotest::Bare request;
  request.SetNull(true);
  int rc = -1;
  EXPECT_EQ(Build("hello", 5, request, &rc), Hex("'c' 00 01 'm' 00 05 'hello' 'N' 'z'"));
  EXPECT_EQ(rc, 0);
  request.SetNull(false);
  request.n = 3;
  // The method name need not be terminated: only the given length is written.
  EXPECT_EQ(Build("getXYZ", 3, request, &rc),
            Hex("'c' 00 01 'm' 00 03 'get' 'Mt' 00 04 'Bare' 'S' 00 01 'n' 'I' 00 00 00 03 'z'"
                "'z'"));
}

TEST(CallFraming, FailuresRestoreTheOutput) {
  kelotest::Point request;
  int rc = 0;
  const std::string method(65536, 'm');
  EXPECT_EQ(Build(method.data(), 65536, request, &rc, "before"), "before");
  EXPECT_EQ(rc, KELO_E_OUT_OF_RANGE);
  // A member that cannot be written (a surrogate unit) fails the whole call.
  const short bad[] = {'a', static_cast<short>(0xDC00)};
  ASSERT_EQ(request.label.Copy(bad, 2), 0);
  EXPECT_EQ(Build("m", 1, request, &rc, "before"), "before");
  EXPECT_EQ(rc, KELO_E_NOT_SUPPORTED);
  EXPECT_EQ(Build(method.data(), 65535, request, &rc), "");
  EXPECT_EQ(rc, KELO_E_NOT_SUPPORTED);
}

TEST(ReplyFraming, ReadsAnyVersionAndStopsBehindTheZ) {
  kelotest::Bare response;
  const std::string reply =
      Hex("'r' 01 00 'Mt' 00 04 'Bare' 'S' 00 01 'n' 'I' 00 00 00 07 'z' 'z'");
  const kelotest::Decoded d = Read(response, reply + "trailing");
  ASSERT_EQ(d.rc, 0);
  EXPECT_EQ(static_cast<int>(response.n), 7);
  EXPECT_EQ(d.consumed, reply.size());
}

TEST(ReplyFraming, EnvelopeFailures) {
  struct Case {
    const char* hex;
    int rc;
    const char* error;
  } cases[] = {
      {"'r' 01", KELO_E_EXHAUSTED,
       "Could not find data, while looking for the opening 'r' and version"},
      {"'f' 01 00 'N' 'z'", KELO_E_FORMAT, "Expected the opening 'r', but got something else"},
      {"'r' 01 00 'Mt' 00 04 'Bare' 'z'", KELO_E_FORMAT, "Failed to read the terminating 'z'"},
      {"'r' 01 00 'N' 'x'", KELO_E_FORMAT, "Expected terminating 'z', but got something else"},
      {"'r' 01 00 'Mt' 00 04 'Cube' 'z' 'z'", KELO_E_FORMAT,
       "Expected class \"Bare\" but got \"Cube\". Last chars read: 'r..Mt..Cube'"},
  };
  for (const Case& c : cases) {
    kelotest::Bare response;
    const kelotest::Decoded d = Read(response, Hex(c.hex));
    EXPECT_EQ(d.rc, c.rc) << c.hex;
    EXPECT_EQ(d.error, c.error) << c.hex;
  }
}

TEST(ReplyFraming, MembersReadBeforeAFailureKeepTheirValues) {
  kelotest::Point response;
  const kelotest::Decoded d =
      Read(response, Hex("'r' 01 00 'Mt' 00 0a 'test.Point' 'S' 00 01 'x' 'I' 00 00 00 05"
                         "'S' 00 04 'flag' 'X'"));
  EXPECT_EQ(d.rc, KELO_E_FORMAT);
  EXPECT_EQ(static_cast<int>(response.x), 5);
}

}  // namespace
