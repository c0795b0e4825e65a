// Every allocation of every operation, classic and one-call, on a filled object of every catalogue
// class fails in turn until the operation succeeds: each failure returns -1999997, throws and leaks
// nothing, and leaves what it worked on usable (a retry gives the same bytes). Then the states a
// failure promises to leave. The program replaces the global operator new (support/heap.h).
#include "support/heap.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/bag.h"
#include "support/filler.h"
#include "support/run.h"
#include "support/test_support.h"

namespace {

namespace heap = kelotest::heap;
using Bytes = std::vector<std::uint8_t>;
using kelotest::Hex;

// Runs f with the nth allocation failing; nothing else may allocate while it runs.
template <class F>
auto Failing(unsigned long n, F f) {
  heap::FailAt(n);
  const auto result = f();
  heap::FailAt(0);
  return result;
}

// Runs op(n) for n = 1, 2, ... until it succeeds; op fails the nth allocation of its operation
// and checks what a failure or the success left. Every failure must be KELO_E_NO_MEMORY and free
// all that its attempt allocated. Unless it may not need the heap, the operation must allocate.
template <class Op>
void Sweep(Op op, bool allocates = true) {
  for (unsigned long n = 1;; ++n) {
    const long live = heap::live;
    const int rc = op(n);
    EXPECT_EQ(heap::live, live) << "leak when allocation " << n << " failed";
    EXPECT_TRUE(rc == 0 || rc == KELO_E_NO_MEMORY) << "allocation " << n << ": " << rc;
    EXPECT_TRUE(rc != 0 || n > 1 || !allocates) << "nothing allocated";
    if (rc != KELO_E_NO_MEMORY) return;
  }
}

std::string Call(const CKeloHesClass& args) {
  CKeloOutput out(0);
  const int rc = KeloHessianBuildRequest("sweep", 5, args, out);
  return rc == 0 ? std::string(out.Data(), out.DataSize()) : std::string();
}

TEST(AllocationSweep, EveryOperationOnEveryClassFailsCleanly) {
  for (unsigned int c = 0; c < kelo::CatalogueSize(); ++c) {
    const kelo::ClassInfo& info = *kelo::CatalogueAt(c);
    SCOPED_TRACE(info.typeName);
    const std::unique_ptr<CKeloHesClass> filled(kelotest::NewFilled(info, 17, 1));
    const std::string map = kelotest::Encode(*filled);
    const std::string reply = kelotest::Reply(map);
    const std::string call = Call(*filled);

    // The classic writer, on a fresh object each time and an output that grows in small steps:
    // a failure leaves the output as it was.
    Sweep([&](unsigned long n) {
      std::unique_ptr<CKeloHesClass> object(kelotest::NewFilled(info, 17, 1));
      CKeloOutput out(16);
      EXPECT_EQ(out.Append("kept", 4), 0);
      const int rc = Failing(n, [&] { return KeloHessianBuildRequest("sweep", 5, *object, out); });
      EXPECT_EQ(std::string(out.Data(), out.DataSize()), "kept" + (rc ? "" : call));
      EXPECT_EQ(Call(*object), call);
      return rc;
    });
    // The classic reader: the error text stays terminated where it says even when it could not
    // grow, and the object that a failure left is read again to the same contents.
    Sweep(
        [&](unsigned long n) {
          std::unique_ptr<CKeloHesClass> object(info.create());
          CKeloInput in(reply.data(), static_cast<unsigned int>(reply.size()));
          CKeloInputParse parse(in);
          const int rc = Failing(n, [&] { return KeloHessianReadResponse(*object, parse); });
          EXPECT_TRUE(!parse.GetError() || parse.GetError()[parse.GetErrorLength()] == '\0');
          EXPECT_TRUE(rc == 0 || kelotest::ReadReply(*object, reply).rc == 0);
          EXPECT_EQ(kelotest::Encode(*object), map);
          return rc;
        },
        false);
    // The one-call encoders: a failed one leaves its output empty; a vector that held the message
    // before is written in place, without an allocation.
    const std::pair<std::function<kelo::Status(Bytes&)>, std::string> encoders[] = {
        {[&](Bytes& out) { return kelo::EncodeCall("sweep", *filled, out); }, call},
        {[&](Bytes& out) { return kelo::EncodeReply(*filled, out); }, reply},
    };
    for (const auto& encoder : encoders) {
      Sweep([&](unsigned long n) {
        Bytes out;
        const int rc = Failing(n, [&] { return encoder.first(out).code(); });
        EXPECT_EQ(std::string(out.begin(), out.end()), rc ? "" : encoder.second);
        return rc;
      });
      Bytes out;
      ASSERT_TRUE(encoder.first(out));
      EXPECT_EQ(Failing(1, [&] { return encoder.first(out).code(); }), KELO_OK);
      EXPECT_EQ(std::string(out.begin(), out.end()), encoder.second);
    }
    Sweep(
        [&](unsigned long n) {
          std::unique_ptr<CKeloHesClass> object(info.create());
          const int rc = Failing(
              n, [&] { return kelo::DecodeReply(reply.data(), reply.size(), *object).code(); });
          EXPECT_TRUE(rc == 0 || kelo::DecodeReply(reply.data(), reply.size(), *object).ok());
          EXPECT_EQ(kelotest::Encode(*object), map);
          return rc;
        },
        false);
  }
}

TEST(AllocationSweep, OneCallFaultsCallsTextsAndListsFailCleanly) {
  const std::string fault = kelotest::ReadFile(KELO_TESTDATA_DIR "/faults/java-fault-skeleton.bin");
  const std::string call =
      kelotest::ReadFile(KELO_TESTDATA_DIR "/faults/java-call-headers-getTopology.bin");
  const char text[] = "Z\xC3\xBCrich, a text long enough to allocate";
  const std::string lists = kelotest::JavaListsFile("java-reply-lab.BagLists.bin");
  lab::Bag filledBag;
  kelotest::FillJavaBag(filledBag);
  const std::string holder = kelotest::JavaListsFile("java-reply-lab.Holder-shared.bin");
  lab::Holder filledHolder;
  ASSERT_TRUE(kelo::DecodeReply(holder.data(), holder.size(), filledHolder));
  const std::function<int()> operations[] = {
      [&] {
        Bytes out;
        const kelo::Status s = kelo::EncodeFault("E1", text, out);
        EXPECT_EQ(out.empty(), !s.ok());
        return s.code();
      },
      // A fault reply from Java: its detail is read past, its code and message kept.
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
        CKeloHesBinary blob;
        const kelo::Status s = kelo::FromBytes("0123456789abcdef", 16, blob);
        EXPECT_EQ(blob.IsNull(), !s.ok());  // unchanged (null) on failure
        return s.code();
      },
      // Java's lists of strings and numbers: every item and the lists' pointer arrays.
      [&] {
        lab::BagLists bag;
        return kelo::DecodeReply(lists.data(), lists.size(), bag).code();
      },
      [&] {
        Bytes out;
        return kelo::EncodeReply(filledBag, out).code();
      },
      // Members of any value: the message's decoder, its nodes, the numbering, the encoders.
      [&] {
        lab::Holder h;
        return kelo::DecodeReply(holder.data(), holder.size(), h).code();
      },
      [&] {
        Bytes out;
        return kelo::EncodeReply(filledHolder, out).code();
      },
      // Past the first growth of the pointer array: a failed Add or Emplace adds nothing.
      [&] {
        CKeloHesArray<kelo::cl::VerSite> list;
        for (int count = 0; count < 50; count += 2) {
          std::unique_ptr<kelo::cl::VerSite> item(new (std::nothrow) kelo::cl::VerSite());
          const int rc = item ? list.Add(std::move(item)) : int{KELO_E_NO_MEMORY};
          EXPECT_EQ(list.Count(), rc ? count : count + 1);
          if (rc) return rc;
          const bool emplaced = list.Emplace() != nullptr;
          EXPECT_EQ(list.Count(), count + 1 + emplaced);
          if (!emplaced) return int{KELO_E_NO_MEMORY};
        }
        return int{KELO_OK};
      },
  };
  for (const std::function<int()>& operation : operations) {
    Sweep([&](unsigned long n) { return Failing(n, operation); });
  }
  // ToUtf8 cannot report a failure: it gives an empty text.
  CKeloHesString units;
  ASSERT_TRUE(kelo::FromUtf8(text, units));
  EXPECT_EQ(Failing(1, [&] { return kelo::ToUtf8(units); }), "");
}

// Reads bytes into object with the nth allocation failing; error receives the error text.
int DecodeFailing(CKeloHesObject& object, const std::string& bytes, unsigned long n,
                  std::string* error = nullptr) {
  CKeloInput in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  CKeloInputParse parse(in);
  const int rc = Failing(n, [&] { return object.Deserialize(parse); });
  if (error) *error = parse.GetError() ? parse.GetError() : "";
  return rc;
}

TEST(AllocationFailure, StringsAndBlobsKeepTheirOldValueAndFailedCopiesBecomeNull) {
  Sweep([&](unsigned long n) {
    CKeloHesString s;
    EXPECT_EQ(s.Copy("old"), 0);
    // Longer than a string keeps inside itself, so that it needs the heap.
    const int rc = DecodeFailing(s, Hex("'s' 00 0a '0123456789' 'S' 00 0a c3 a9 '123456789'"), n);
    EXPECT_EQ(kelotest::StringUnits(s), rc ? u"old" : u"0123456789\u00e9123456789");
    return rc;
  });
  Sweep([&](unsigned long n) {
    CKeloHesBinary b;
    EXPECT_EQ(b.Copy("old", 3), 0);
    std::string error;
    const int rc = DecodeFailing(b, Hex("'b' 00 08 '01234567' 'B' 00 08 '89abcdef'"), n, &error);
    EXPECT_EQ(kelotest::BlobBytes(b), rc ? "old" : "0123456789abcdef");
    EXPECT_EQ(error.find("failed to store binary data") != std::string::npos, rc != 0) << error;
    return rc;
  });
  CKeloHesString text;
  ASSERT_EQ(text.Copy("a text too long to be kept inside"), 0);
  EXPECT_EQ(kelotest::Encode(Failing(1, [&] { return CKeloHesString(text); })), "N");
}

// Registers three members: the first two in a block reserved for two, the third in a node of
// its own, so that a failure can leave a partial registry of either kind of node.
class Trio : public CKeloHesClass {
 public:
  CKeloHesInt32 a, b, c;
  const CKeloHesName& Namespace() const override { return kEmpty; }
  const CKeloHesName& ClassName() const override { return kName; }

 protected:
  int HashMembers() override {
    if (int rc = ReserveMembers(2); rc) return rc;
    if (int rc = InsertMember(kA, a); rc) return rc;
    if (int rc = InsertMember(kB, b); rc) return rc;
    return InsertMember(kC, c);
  }

 private:
  static constexpr CKeloHesName kEmpty{};
  static constexpr CKeloHesName kName{"Trio", 4};
  static constexpr CKeloHesName kA{"a", 1}, kB{"b", 1}, kC{"c", 1};
};

TEST(AllocationFailure, FailedRegistrationIsDiscarded) {
  // Either the reserved block or the node past it cannot be allocated: the partial registry is
  // discarded without a leak, and the next read builds all three nodes.
  for (int failAt : {1, 2}) {
    SCOPED_TRACE(failAt);
    const long before = heap::live;
    Trio trio;
    EXPECT_EQ(DecodeFailing(trio, Hex("'Mt' 00 04 'Trio' 'z'"), failAt), KELO_E_NO_MEMORY);
    EXPECT_EQ(trio.FirstMember(), nullptr);
    EXPECT_EQ(heap::live, before);
    ASSERT_EQ(DecodeFailing(trio, Hex("'Mt' 00 04 'Trio' 'S' 00 01 'c' 'I' 00 00 00 07 'z'"), 0),
              0);
    EXPECT_EQ(static_cast<int>(trio.c), 7);
    int nodes = 0;
    for (const CKeloMemberData* m = trio.FirstMember(); m; m = m->m_next) ++nodes;
    EXPECT_EQ(nodes, 3);
  }
}

}  // namespace
