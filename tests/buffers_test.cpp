// The output buffer's growth, the input cursor's bounds and the parse context's error text. A
// move of the output's storage shows as a change of Data(), which is how growth is observed.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "support/test_support.h"

namespace {

TEST(OutputBuffer, GrowsByWholeStepsOnlyWhenFull) {
  CKeloOutput out;  // the default step is 512 bytes
  ASSERT_EQ(out.Append("", 0), 0);
  EXPECT_EQ(out.Data(), nullptr);  // appending nothing allocates nothing
  const std::string block(512, 'a');
  ASSERT_EQ(out.Append(block.data(), 512), 0);
  const char* first = out.Data();
  ASSERT_EQ(out.Append('b'), 0);  // the first step is full: the next byte moves the storage
  EXPECT_NE(out.Data(), first);
  EXPECT_EQ(std::string(out.Data(), out.DataSize()), block + "b");

  CKeloOutput stepped(100);
  ASSERT_EQ(stepped.Append(block.data(), 250), 0);  // three steps at once: 300 bytes
  const char* storage = stepped.Data();
  ASSERT_EQ(stepped.Append(block.data(), 50), 0);
  EXPECT_EQ(stepped.Data(), storage);
  ASSERT_EQ(stepped.Append('y'), 0);
  EXPECT_NE(stepped.Data(), storage);
}

TEST(OutputBuffer, StepZeroDoublesAndKeepsTheContents) {
  CKeloOutput out(0);
  std::string expected;
  int moves = 0;
  for (int i = 0; i < 100000; ++i) {
    const char* before = out.Data();
    const char c = static_cast<char>('a' + i % 26);
    ASSERT_EQ(out.Append(c), 0);
    expected.push_back(c);
    moves += out.Data() != before;
  }
  EXPECT_EQ(std::string(out.Data(), out.DataSize()), expected);
  EXPECT_LE(moves, 12);  // 64 bytes doubled: 11 moves reach 100000
}

TEST(OutputBuffer, SizeOnlyShrinksAndStorageCanBeHandedOver) {
  char* kept;
  {
    CKeloOutput out;
    ASSERT_EQ(out.Append("abcd", 4), 0);
    EXPECT_EQ(out.SetDataSize(4), 0);
    EXPECT_EQ(out.SetDataSize(5), KELO_E_OUT_OF_RANGE);
    EXPECT_EQ(out.SetDataSize(1), 0);
    ASSERT_EQ(out.Append('z'), 0);
    EXPECT_EQ(std::string(out.Data(), out.DataSize()), "az");
    out.SetDeleteDataAtDestruction(false);
    kept = const_cast<char*>(out.Data());
  }
  EXPECT_EQ(memcmp(kept, "az", 2), 0);  // still ours: valgrind and ASan see a live block
  delete[] kept;
}

TEST(InputCursor, NeverReadsOrPutsBackPastItsEnds) {
  const char data[] = "hello";
  CKeloInput in(data, 5);
  const char* p = nullptr;
  ASSERT_EQ(in.Extract(p, 5), 0);
  EXPECT_EQ(p, data);
  EXPECT_EQ(in.Extract(p, 1), KELO_E_EXHAUSTED);
  EXPECT_EQ(in.GetNumExtracted(), 5u);
  EXPECT_EQ(in.GetDataAt(p, 5, 0), 0);  // an empty range at the end
  EXPECT_EQ(p, data + 5);
  EXPECT_EQ(in.GetDataAt(p, 5, 1), KELO_E_EXHAUSTED);
  EXPECT_EQ(in.GetDataAt(p, 6, 0), KELO_E_EXHAUSTED);
  EXPECT_EQ(in.GetDataAt(p, 1, 0xFFFFFFFFu), KELO_E_EXHAUSTED);  // no 32-bit wrap-around
  EXPECT_EQ(in.PutBack(6), KELO_E_INVALID_STATE);
  EXPECT_EQ(in.PutBack(5), 0);
  EXPECT_EQ(in.GetNumExtracted(), 0u);
}

TEST(ParseContext, TextGrowsAndShowsTheLast16BytesReadWithNonPrintablesAsDots) {
  std::string bytes = "0123456789abcdefghij";
  bytes[0] = '\x1f';
  bytes[5] = ' ';  // the printable range is ' ' to '~'
  bytes[6] = '~';
  bytes[18] = '\x7f';
  bytes[19] = '\x80';
  CKeloInput in(bytes.data(), 20);
  CKeloInputParse parse(in);
  EXPECT_EQ(parse.GetError(), nullptr);
  const char* p;
  ASSERT_EQ(in.Extract(p, 5), 0);
  ASSERT_EQ(parse.AddToErrorByLength("abc", 1, 16), 0);  // fewer read than asked: all of them
  EXPECT_STREQ(parse.GetError(), "a. Last chars read: '.1234'");
  ASSERT_EQ(in.Extract(p, 15), 0);
  ASSERT_EQ(parse.AddToError("|", KELO_ADD_LAST_CHARS), 0);
  ASSERT_EQ(parse.AddToError(" ", KELO_NO_LAST_CHARS), 0);
  // Across the 128-byte blocks the text grows by, nothing is lost.
  const std::string longer(300, 'x');
  ASSERT_EQ(parse.AddToErrorByLength(longer.data(), 300, 0), 0);
  const std::string expected =
      "a. Last chars read: '.1234'|. Last chars read: '4 ~789abcdefgh..' " + longer;
  EXPECT_EQ(parse.GetErrorLength(), expected.size());
  EXPECT_EQ(std::string(parse.GetError()), expected);
}

}  // namespace
