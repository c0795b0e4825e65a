// Every prefix of a valid message of every catalogue class, read as a known message and skipped as
// the value of an unknown member, is refused, never read beyond the cut and never leaked (the
// sanitizer build and valgrind watch that). A known message also says why in its error text.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/filler.h"
#include "support/run.h"
#include "support/test_support.h"

namespace {

// What a cut may give: input exhausted, or corrupt UTF-8 where it falls inside a character.
const auto Short = [](int rc) { return rc == KELO_E_EXHAUSTED || rc == KELO_E_FORMAT; };

TEST(Truncation, EveryPrefixOfEveryClassFailsCleanly) {
  const std::string unknown = kelotest::Hex("'Mt' 00 0e 'kelo.cl.Header' 'S' 00 03 'zzz'");
  for (unsigned int c = 0; c < kelo::CatalogueSize(); ++c) {
    const kelo::ClassInfo& info = *kelo::CatalogueAt(c);
    SCOPED_TRACE(info.typeName);
    const std::unique_ptr<CKeloHesClass> filled(kelotest::NewFilled(info, 5, 1));
    const std::string wire = kelotest::Encode(*filled);
    for (size_t cut = 0; cut <= wire.size(); ++cut) {
      std::unique_ptr<CKeloHesClass> object(info.create());
      kelo::cl::Header header;
      const kelotest::Decoded known = kelotest::Decode(*object, wire.substr(0, cut));
      // The same bytes skipped: even the whole value lacks the Header's closing 'z'.
      const kelotest::Decoded skipped = kelotest::Decode(header, unknown + wire.substr(0, cut));
      if (cut < wire.size()) {  // the whole value is read back in the catalogue walk
        EXPECT_TRUE(Short(known.rc)) << cut << ": " << known.rc;
        EXPECT_LE(known.consumed, cut);
        EXPECT_FALSE(known.error.empty()) << cut;
      }
      EXPECT_TRUE(Short(skipped.rc)) << cut << ": " << skipped.rc;
    }
  }
}

TEST(Truncation, EveryPrefixOfAFaultReplyIsShortOfInput) {
  // Wherever the cut falls (a key, a value, inside a character, the closing 'z'). Java's detail
  // holds its stack and typed lists, its message a two-byte character; ours a three-byte one.
  const std::string faults[] = {
      kelotest::ReadFile(KELO_TESTDATA_DIR "/faults/java-fault-skeleton.bin"),
      kelotest::Hex("'r' 01 00 'f' 'S' 00 04 'code' 'S' 00 01 'E' 'S' 00 07 'message' 'N'"
                    "'S' 00 06 'detail' 'S' 00 02 'x' e2 82 ac 'z' 'z'")};
  ASSERT_GT(faults[0].size(), 4000u);
  for (const std::string& fault : faults) {
    for (size_t cut = 0; cut + 1 < fault.size(); ++cut) {  // the reply's own 'z' may be missing
      kelo::cl::Header result;
      const kelo::Status s = kelo::DecodeReply(fault.data(), cut, result);
      EXPECT_EQ(s.code(), KELO_E_EXHAUSTED) << cut << ": " << s.message();
      EXPECT_LE(s.offset(), cut);
    }
  }
}

}  // namespace
