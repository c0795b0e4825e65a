// Output buffer growth, input cursor rules and the parse context's error text.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "support/test_support.h"

namespace {

TEST(OutputBuffer, GrowsByWholeStepsAndOnlyWhenFull) {
  CKeloOutput out;
  EXPECT_EQ(out.Data(), nullptr);
  EXPECT_EQ(out.DataSize(), 0u);
  ASSERT_EQ(out.Append("", 0), 0);
  EXPECT_EQ(out.Data(), nullptr);  // appending nothing allocates nothing

  std::string block(512, 'a');
  ASSERT_EQ(out.Append(block.data(), 512), 0);  // exactly the first step: no second growth
  const char* first = out.Data();
  ASSERT_NE(first, nullptr);
  ASSERT_EQ(out.Append('b'), 0);  // one byte more: a new storage of two steps
  EXPECT_NE(out.Data(), first);
  EXPECT_EQ(out.DataSize(), 513u);
  EXPECT_EQ(std::string(out.Data(), 513), block + "b");
}

TEST(OutputBuffer, LargeAppendTakesSeveralStepsAtOnce) {
  CKeloOutput out(100);
  std::string big(250, 'x');
  ASSERT_EQ(out.Append(big.data(), 250), 0);
  const char* storage = out.Data();
  // 300 bytes were allocated (three steps): 50 more fit without a move.
  ASSERT_EQ(out.Append(big.data(), 50), 0);
  EXPECT_EQ(out.Data(), storage);
  ASSERT_EQ(out.Append('y'), 0);
  EXPECT_NE(out.Data(), storage);
}

TEST(OutputBuffer, GeometricGrowthKeepsContents) {
  CKeloOutput out(0);
  std::string expected;
  int moves = 0;
  const char* last = nullptr;
  for (int i = 0; i < 100000; ++i) {
    const char c = static_cast<char>('a' + i % 26);
    ASSERT_EQ(out.Append(c), 0);
    expected.push_back(c);
    if (out.Data() != last) {
      ++moves;
      last = out.Data();
    }
  }
  EXPECT_EQ(std::string(out.Data(), out.DataSize()), expected);
  EXPECT_LE(moves, 20);  // doubling: about log2(100000 / 64) reallocations
}

TEST(OutputBuffer, SetDataSizeOnlyShrinks) {
  CKeloOutput out;
  ASSERT_EQ(out.Append("abcd", 4), 0);
  EXPECT_EQ(out.SetDataSize(4), 0);
  EXPECT_EQ(out.SetDataSize(5), KELO_E_OUT_OF_RANGE);
  EXPECT_EQ(out.DataSize(), 4u);
  EXPECT_EQ(out.SetDataSize(1), 0);
  EXPECT_EQ(out.DataSize(), 1u);
  ASSERT_EQ(out.Append('z'), 0);
  EXPECT_EQ(std::string(out.Data(), 2), "az");
}

TEST(OutputBuffer, ClearedFlagHandsTheStorageOver) {
  char* kept;
  {
    CKeloOutput out;
    ASSERT_EQ(out.Append("kept", 4), 0);
    out.SetDeleteDataAtDestruction(false);
    kept = const_cast<char*>(out.Data());
  }
  EXPECT_EQ(memcmp(kept, "kept", 4), 0);
  delete[] kept;
}

TEST(InputCursor, ExtractGetDataAtAndPutBack) {
  const char data[] = "hello";
  CKeloInput in(data, 5);
  const char* p = nullptr;
  EXPECT_EQ(in.Extract(p, 0), 0);
  ASSERT_EQ(in.Extract(p, 5), 0);
  EXPECT_EQ(p, data);
  EXPECT_EQ(in.Extract(p, 1), KELO_E_EXHAUSTED);
  EXPECT_EQ(in.GetNumExtracted(), 5u);

  EXPECT_EQ(in.GetDataAt(p, 5, 0), 0);  // an empty range at the end
  EXPECT_EQ(p, data + 5);
  EXPECT_EQ(in.GetDataAt(p, 5, 1), KELO_E_EXHAUSTED);
  EXPECT_EQ(in.GetDataAt(p, 1, 0xFFFFFFFFu), KELO_E_EXHAUSTED);  // no 32-bit wrap-around
  EXPECT_EQ(in.GetDataAt(p, 0xFFFFFFFFu, 2), KELO_E_EXHAUSTED);

  EXPECT_EQ(in.PutBack(6), KELO_E_INVALID_STATE);
  EXPECT_EQ(in.GetNumExtracted(), 5u);
  EXPECT_EQ(in.PutBack(5), 0);
  EXPECT_EQ(in.GetNumExtracted(), 0u);
}

TEST(ParseContext, ErrorTextGrowsInBlocksOf128) {
  CKeloInput in("", 0);
  CKeloInputParse parse(in);
  EXPECT_EQ(parse.GetError(), nullptr);
  EXPECT_EQ(parse.GetErrorLength(), 0u);
  ASSERT_EQ(parse.AddToErrorByLength("abc", 2, 0), 0);  // the message need not be terminated
  EXPECT_STREQ(parse.GetError(), "ab");
  const std::string longer(300, 'x');
  ASSERT_EQ(parse.AddToError(longer.c_str(), KELO_NO_LAST_CHARS), 0);
  EXPECT_EQ(parse.GetErrorLength(), 302u);
  EXPECT_EQ(std::string(parse.GetError()), "ab" + longer);
}

TEST(ParseContext, LastCharsShowTheWindowReadSoFar) {
  const std::string bytes = kelotest::Hex("'Mt' 00 01");
  CKeloInput in(bytes.data(), 4);
  CKeloInputParse parse(in);
  const char* p;
  ASSERT_EQ(in.Extract(p, 4), 0);
  ASSERT_EQ(parse.AddToError("oops", KELO_ADD_LAST_CHARS), 0);
  EXPECT_STREQ(parse.GetError(), "oops. Last chars read: 'Mt..'");
}

TEST(ParseContext, WindowIsTheLast16BytesWithNonPrintablesAsDots) {
  std::string bytes = "0123456789abcdefghij";
  bytes[18] = '\x7f';
  bytes[19] = '\x80';
  CKeloInput in(bytes.data(), 20);
  CKeloInputParse parse(in);
  const char* p;
  ASSERT_EQ(in.Extract(p, 20), 0);
  parse.AddToError("", KELO_ADD_LAST_CHARS);
  EXPECT_STREQ(parse.GetError(), ". Last chars read: '456789abcdefgh..'");
  parse.AddToErrorByLength("|", 1, 0);
  EXPECT_STREQ(parse.GetError(), ". Last chars read: '456789abcdefgh..'|");
}

TEST(ParseContext, FewerBytesReadThanAskedShowsWhatWasRead) {
  CKeloInput in("abcdefgh", 8);
  CKeloInputParse parse(in);
  const char* p;
  ASSERT_EQ(in.Extract(p, 5), 0);
  parse.AddToErrorByLength("m", 1, 16);
  EXPECT_STREQ(parse.GetError(), "m. Last chars read: 'abcde'");
}

}  // namespace
