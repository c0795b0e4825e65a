// The output buffer's growth, the input cursor's bounds and the parse context's error text. A
// move of the output's storage shows as a change of Data(), which is how growth is observed.
#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace {

TEST(OutputBuffer, GrowsByWholeStepsOrByDoublingAndOnlyShrinks) {
  CKeloOutput out;  // the default step is 512 bytes
  ASSERT_EQ(out.Append("", 0), 0);
  EXPECT_EQ(out.Data(), nullptr);  // appending nothing allocates nothing
  CKeloOutput stepped(100);
  const std::string block(512, 'a');
  // 250 bytes take one default step, or three of 100; the storage moves at the first byte beyond.
  const std::pair<CKeloOutput*, unsigned int> steps[] = {{&out, 512}, {&stepped, 300}};
  for (const auto& [o, capacity] : steps) {
    ASSERT_EQ(o->Append(block.data(), 250), 0);
    const char* storage = o->Data();
    ASSERT_EQ(o->Append(block.data(), capacity - 250), 0);
    EXPECT_EQ(o->Data(), storage);
    ASSERT_EQ(o->Append('b'), 0);
    EXPECT_NE(o->Data(), storage);
    EXPECT_EQ(std::string(o->Data(), o->DataSize()), block.substr(0, capacity) + "b");
  }
  EXPECT_EQ(stepped.SetDataSize(301), 0);
  EXPECT_EQ(stepped.SetDataSize(302), KELO_E_OUT_OF_RANGE);  // the size only shrinks
  EXPECT_EQ(stepped.SetDataSize(1), 0);
  ASSERT_EQ(stepped.Append('z'), 0);
  EXPECT_EQ(std::string(stepped.Data(), stepped.DataSize()), "az");

  // Step zero doubles from 64 bytes, keeping the contents; here the storage is then handed over.
  std::string expected;
  char* kept;
  {
    CKeloOutput doubling(0);
    int moves = 0;
    for (int i = 0; i < 100000; ++i) {
      const char* before = doubling.Data();
      expected.push_back(static_cast<char>('a' + i % 26));
      ASSERT_EQ(doubling.Append(expected.back()), 0);
      moves += doubling.Data() != before;
    }
    EXPECT_EQ(moves, 12);  // 64 bytes first, then doubled 11 times to reach 100000
    doubling.SetDeleteDataAtDestruction(false);
    kept = const_cast<char*>(doubling.Data());
  }
  EXPECT_EQ(std::string(kept, expected.size()), expected);  // still ours, a live block
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

TEST(ParseContext, TextShowsTheLast16BytesReadUntilResetAndPilesUpInLinearTime) {
  const char bytes[] = "\0371234 ~789abcdefgh\177\200";  // printable: ' ' to '~'
  CKeloInput in(bytes, 20);
  CKeloInputParse parse(in);
  EXPECT_EQ(parse.GetError(), nullptr);
  const char* p;
  ASSERT_EQ(in.Extract(p, 5), 0);
  ASSERT_EQ(parse.AddToErrorByLength("abc", 1, 16), 0);  // fewer read than asked: all of them
  EXPECT_STREQ(parse.GetError(), "a. Last chars read: '.1234'");
  ASSERT_EQ(in.Extract(p, 15), 0);
  ASSERT_EQ(parse.AddToError("|", KELO_ADD_LAST_CHARS), 0);
  ASSERT_EQ(parse.AddToError(" ", KELO_NO_LAST_CHARS), 0);
  const std::string expected = "a. Last chars read: '.1234'|. Last chars read: '4 ~789abcdefgh..' ";
  EXPECT_EQ(std::string(parse.GetError(), parse.GetErrorLength()), expected);
  parse.Reset();  // the text starts afresh, for the next read
  EXPECT_EQ(parse.GetErrorLength(), 0u);
  EXPECT_STREQ(parse.GetError(), "");
  // Without Reset texts pile up; the storage doubles from 128 bytes (to 2 MiB in 14 moves).
  std::string piled = parse.GetError();
  int moves = 0;
  for (int i = 0; i < 50000; ++i) {
    const char* before = parse.GetError();
    piled += "Failed to read boolean";
    ASSERT_EQ(parse.AddToError("Failed to read boolean", KELO_NO_LAST_CHARS), 0);
    moves += parse.GetError() != before;
  }
  EXPECT_EQ(std::string(parse.GetError(), parse.GetErrorLength()), piled);
  EXPECT_EQ(moves, 14);
}

}  // namespace
