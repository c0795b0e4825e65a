// Every prefix of a valid encoding is refused as exhausted (or as corrupt UTF-8 where the cut
// falls inside a character), never read out of range and never leaked (the sanitizer build and
// valgrind watch the second half of that).
#include <gtest/gtest.h>

#include <string>

#include "support/filled.h"

namespace {

TEST(Truncation, EveryPrefixOfAFilledStructureFailsCleanly) {
  kelotest::Crate source;
  kelotest::FillCrate(source);
  int rc = -1;
  const std::string wire = kelotest::Encode(source, &rc);
  ASSERT_EQ(rc, 0);
  {
    kelotest::Crate full;
    ASSERT_EQ(kelotest::Decode(full, wire).rc, 0);
    EXPECT_EQ(kelotest::Encode(full), wire);
  }
  for (size_t cut = 0; cut < wire.size(); ++cut) {
    kelotest::Crate target;
    const kelotest::Decoded d = kelotest::Decode(target, wire.substr(0, cut));
    EXPECT_TRUE(d.rc == KELO_E_EXHAUSTED || d.rc == KELO_E_FORMAT) << cut << ": " << d.rc;
    EXPECT_LE(d.consumed, cut);
    EXPECT_FALSE(d.error.empty()) << cut;
  }
}

TEST(Truncation, EveryPrefixOfASkippedValueFailsCleanly) {
  kelotest::Crate source;
  kelotest::FillCrate(source);
  const std::string value = kelotest::Encode(source);
  // The same bytes as the value of a member that Bare does not know.
  const std::string head = kelotest::Hex("'Mt' 00 04 'Bare' 'S' 00 03 'zzz'");
  for (size_t cut = 0; cut <= value.size(); ++cut) {
    kelotest::Bare bare;
    const kelotest::Decoded d = kelotest::Decode(bare, head + value.substr(0, cut));
    EXPECT_TRUE(d.rc == KELO_E_EXHAUSTED || d.rc == KELO_E_FORMAT) << cut << ": " << d.rc;
  }
}

}  // namespace
