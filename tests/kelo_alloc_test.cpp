// The one-call interface under exhausted memory: each allocation of an operation fails in turn
// (the library's own and those of std::vector and std::string alike), and the operation returns
// KELO_E_NO_MEMORY, throws nothing and leaks nothing.
#include "support/failing_new.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "support/filler.h"
#include "support/test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadTestFile(const char* name) {
  std::ifstream in(std::string(KELO_TESTDATA_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs op with allocation n failing, for n = 1, 2, ... until it succeeds; each failure must be
// KELO_E_NO_MEMORY with every allocation of the attempt freed again. Returns the failures seen.
unsigned long Sweep(const std::function<int()>& op) {
  unsigned long failures = 0;
  for (unsigned long n = 1;; ++n) {
    const long live = kelotest::LiveAllocations();
    kelotest::FailAllocationAt(n);
    const int rc = op();
    kelotest::FailAllocationAt(0);
    EXPECT_EQ(kelotest::LiveAllocations(), live) << "leak when allocation " << n << " failed";
    if (rc == 0) return failures;
    EXPECT_EQ(rc, KELO_E_NO_MEMORY) << "allocation " << n;
    if (rc != KELO_E_NO_MEMORY) return failures;
    ++failures;
  }
}

TEST(KeloUnderExhaustedMemory, EveryAllocationFailsCleanly) {
  const kelo::ClassInfo& info = *kelo::CatalogueFind("kelo.cl.ResTopology");
  std::unique_ptr<CKeloHesClass> filled(kelotest::NewFilled(info, 3, 3));
  Bytes reply;
  ASSERT_TRUE(kelo::EncodeReply(*filled, reply));
  const Bytes fault = ReadTestFile("faults/java-fault-skeleton.bin");
  const Bytes call = ReadTestFile("faults/java-call-headers-getTopology.bin");

  const std::function<int()> operations[] = {
      [&] {
        Bytes out;
        const kelo::Status s = kelo::EncodeCall("getTopology", *filled, out);
        EXPECT_EQ(out.empty(), !s.ok());
        return s.code();
      },
      [&] {
        std::unique_ptr<CKeloHesClass> object(info.create());
        if (!object) return int{KELO_E_NO_MEMORY};
        return kelo::DecodeReply(reply.data(), reply.size(), *object).code();
      },
      [&] {
        VarantoTypes::CT_CncId target;
        const kelo::Status s = kelo::DecodeReply(fault.data(), fault.size(), target);
        return s.is_fault() ? int{KELO_OK} : s.code();
      },
      [&] {
        kelo::CallReader reader(call.data(), call.size());
        std::string method;
        VarantoTypes::CT_CncId cnc;
        VarantoTypes::CT_MacAddr mac;
        if (kelo::Status s = reader.ReadMethod(method); !s) return s.code();
        if (kelo::Status s = reader.ReadArg(cnc); !s) return s.code();
        if (kelo::Status s = reader.ReadArg(mac); !s) return s.code();
        return reader.Finish().code();
      },
      [&] {
        CKeloHesString text;
        return kelo::FromUtf8("Z\xC3\xBCrich, a text long enough to allocate", text).code();
      },
      [&] {
        CKeloHesBinary blob;
        const kelo::Status s = kelo::FromBytes("\x01\x02\x03", 3, blob);
        EXPECT_EQ(blob.IsNull(), !s.ok());  // unchanged (null) on failure
        return s.code();
      },
      [&] {
        CKeloHesArray<kelo::cl::VerSite> list;
        for (int i = 0; i < 25; ++i) {  // past the first growth of the pointer array
          auto item = std::unique_ptr<kelo::cl::VerSite>(new (std::nothrow) kelo::cl::VerSite());
          if (!item) return int{KELO_E_NO_MEMORY};
          const int count = list.Count();
          if (int rc = list.Add(std::move(item)); rc != 0) {
            EXPECT_EQ(list.Count(), count);
            return rc;
          }
          if (!list.Emplace()) {
            EXPECT_EQ(list.Count(), count + 1);
            return int{KELO_E_NO_MEMORY};
          }
        }
        return int{KELO_OK};
      },
  };
  for (size_t i = 0; i < std::size(operations); ++i) {
    SCOPED_TRACE(i);
    EXPECT_GT(Sweep(operations[i]), 0u);
  }
  // ToUtf8 cannot report a failure: it gives an empty text.
  CKeloHesString units;
  ASSERT_TRUE(kelo::FromUtf8("Z\xC3\xBCrich, a text long enough to allocate", units));
  kelotest::FailAllocationAt(1);
  const std::string text = kelo::ToUtf8(units);
  kelotest::FailAllocationAt(0);
  EXPECT_TRUE(text.empty());
}

}  // namespace
