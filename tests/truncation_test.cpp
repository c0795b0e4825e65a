// Every prefix of a valid message of every catalogue class, read as a known message and skipped as
// the value of an unknown member, is refused as exhausted (or as corrupt UTF-8 where the cut falls
// inside a character), never read beyond the cut and never leaked (the sanitizer build and
// valgrind watch the last two). A known message also says why in its error text.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/filler.h"
#include "support/test_support.h"

namespace {

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
      if (cut == wire.size()) {
        EXPECT_EQ(known.rc, 0) << known.error;
        EXPECT_EQ(kelotest::Encode(*object), wire);
      } else {
        EXPECT_TRUE(known.rc == KELO_E_EXHAUSTED || known.rc == KELO_E_FORMAT)
            << cut << ": " << known.rc;
        EXPECT_LE(known.consumed, cut);
        EXPECT_FALSE(known.error.empty()) << cut;
      }
      EXPECT_TRUE(skipped.rc == KELO_E_EXHAUSTED || skipped.rc == KELO_E_FORMAT)
          << cut << ": " << skipped.rc;
    }
  }
}

}  // namespace
