// The one-call interface of kelo.h beyond what the catalogue walk covers: reply failures, faults
// written by Caucho's Java, calls of Java's proxy through CallReader, whole and cut at every
// offset, UTF-8 at its edges, blobs as bytes, lists as ranges.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/run.h"
#include "support/test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using kelotest::Hex;
using VarantoTypes::CT_CncId;
using VarantoTypes::CT_MacAddr;

std::string ReadTestFile(const std::string& name) {
  return kelotest::ReadFile(KELO_TESTDATA_DIR "/" + name);
}

// DecodeReply's code, offset (npos: not checked) and text for the reply's frame, a fault whose
// detail holds every kind of value Java may send, and the bounds of what it reads past.
TEST(DecodeReply, AnswersCodeOffsetAndText) {
  const std::string good = kelotest::Reply(kelotest::Encode(kelo::cl::ResTopology()));
  const size_t npos = std::string::npos;
  const struct {
    std::string bytes;
    int code;
    size_t offset;
    const char* text;
  } rows[] = {
      {good + "xy", KELO_E_FORMAT, good.size(), "Bytes left after the reply's terminating 'z': 2"},
      {good.substr(0, good.size() - 1), KELO_E_FORMAT, good.size() - 1,
       "Failed to read the terminating 'z'"},
      {Hex("'r' 01 00 'N' 'z'"), KELO_OK, 5, ""},
      {Hex("'r' 01 00 'Mt' 00 13 'kelo.cl.ResTopology' 'S' 00 01 'u' 'd' 00 00"), KELO_E_EXHAUSTED,
       31, "The input ends inside a 64-bit value that starts at offset 30"},  // no classic text
      {Hex("'r' 01 00 'Mt' 00 13 'kelo.cl.ResTopology' 'S' 00 01 'u' 'L' 00"), KELO_E_EXHAUSTED, 31,
       "The input ends inside a 64-bit value that starts at offset 30"},
      {Hex("'r' 01 00 'Mt' 00 13 'kelo.cl.ResTopology' 'S' 00 01 'u' 'D'"), KELO_E_EXHAUSTED, 31,
       "The input ends inside a 64-bit value that starts at offset 30"},
      {Hex("'r' 01 00 'Mt' 00 13 'kelo.cl.ResTopology' 'S' 00 01 'u' 'I' 00 00"), KELO_E_EXHAUSTED,
       31, "The input ends inside a 32-bit value that starts at offset 30"},
      {Hex("'r' 01 00 'f'"), KELO_E_EXHAUSTED, 4, "the terminating 'z' of the fault reply"},
      {Hex("'r' 01 00 'f' 'S' 00 04 'code' 'S' 00 01 'C' 'z' 'x'"), KELO_E_FORMAT, npos,
       "Bytes left after the reply's terminating 'z'"},  // a byte where the reply's 'z' may be
      {Hex("'r' 01 00 'f' 'S' 00 04 'code' 'S' 00 01 'C' 'S' 00 06 'detail'"
           "'M' 'S' 00 01 'a' 'V' 'l' 00 00 00 02 'I' 00 00 00 01 'R' 00 00 00 00 'z'"
           "  'I' 00 00 00 07 'x' 00 01 'b' 'X' 00 01 'c'"  // a key of type int, XML in two chunks
           "  'T' 'b' 00 01 ff 'B' 00 00 'L' 0000000000000001 'D' 0000000000000000"
           "  'd' 0000000000000000 'V' 't' 00 01 '[' 'N' 'F' 's' 00 01 e2 82 ac 'S' 00 00 'z' 'z'"
           "'S' 00 07 'message' 'N' 'z' 'z'"),
       KELO_E_FAULT, npos, "C: "},
      {Hex("'r' 01 00 'f' 'S' 00 06 'detail'") + std::string(65, 'M'), KELO_E_NOT_SUPPORTED, npos,
       "nested deeper than 64 levels"},
      {Hex("'r' 01 00 'f' 'S' 00 06 'detail' 'S' 00 01 80 'z' 'z'"), KELO_E_FORMAT, npos,
       "Cannot read past a value"},
      {Hex("'r' 01 00 'f' 'S' 00 04 'code' 'S' 00 01 f0 9f 98 80 'z' 'z'"), KELO_E_FORMAT, npos,
       "utf8: Unicode value greater than 0xFFFF not supported yet"},  // read as in every string
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(kelotest::ToHex(row.bytes));
    kelo::cl::ResTopology target;
    const kelo::Status s = kelo::DecodeReply(row.bytes.data(), row.bytes.size(), target);
    EXPECT_EQ(s.code(), row.code);
    EXPECT_EQ(s.is_fault(), row.code == KELO_E_FAULT);
    EXPECT_TRUE(row.offset == npos || s.offset() == row.offset) << s.offset();
    EXPECT_NE(std::string(s.message()).find(row.text), npos) << s.message();
  }
}

// A value that cannot be read is named by its member path and found at its first byte; the
// classic text is the same as ever.
TEST(DecodeReply, NamesThePathAndOffsetOfTheValueThatFailed) {
  kelo::cl::ResTopology topology;
  for (int i = 0; i < 4; ++i) ASSERT_NE(topology.apList.Emplace(), nullptr);
  std::vector<std::uint8_t> out;
  ASSERT_TRUE(kelo::EncodeReply(topology, out));
  std::string bytes(out.begin(), out.end());
  size_t item = 0;
  for (int i = 0; i < 5; ++i)
    item = bytes.find("kelo.cl.ApRes", item + 1);            // the list type, 4 items
  const size_t at = bytes.find("checkCategory", item) + 13;  // the member's 'I'
  ASSERT_EQ(bytes[at], 'I');
  bytes[at] = 'X';
  kelo::cl::ResTopology back;
  const kelo::Status s = kelo::DecodeReply(bytes.data(), bytes.size(), back);
  EXPECT_EQ(s.code(), KELO_E_FORMAT);
  EXPECT_EQ(s.path(), "apList[3].checkCategory");
  EXPECT_EQ(s.offset(), at);
  CKeloInput in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  CKeloInputParse parse(in);
  ASSERT_EQ(KeloHessianReadResponse(back, parse), KELO_E_FORMAT);
  EXPECT_EQ(std::string(s.message()), parse.GetError());
  EXPECT_EQ(kelo::DecodeReply(out.data(), out.size(), back).path(), "");
}

// Faults as Caucho's Java writes them (writeFault, and the skeleton's answer to a throwing method)
// are read whatever class was asked for; the truncation test walks every cut of one.
TEST(Faults, JavaFaultsReadWithTheirCodeAndMessage) {
  const struct {
    const char* file;
    const char* code;
    const char* message;
  } faults[] = {
      {"faults/java-fault-writeFault.bin", "NotFound", "no such access point: 00:11:22:33:44:55"},
      {"faults/java-fault-skeleton.bin", "ServiceException",
       "no topology for cnc 7 (Z\xC3\xBCrich)"},
  };
  for (const auto& f : faults) {
    SCOPED_TRACE(f.file);
    std::string bytes = ReadTestFile(f.file);
    ASSERT_GT(bytes.size(), 8u);
    kelo::cl::ResTopology topology;
    CT_CncId value;
    for (CKeloHesClass* target :
         {static_cast<CKeloHesClass*>(&topology), static_cast<CKeloHesClass*>(&value)}) {
      const kelo::Status s = kelo::DecodeReply(bytes.data(), bytes.size(), *target);
      EXPECT_EQ(s.code(), KELO_E_FAULT);
      EXPECT_STREQ(s.name(), "KELO_E_FAULT");
      EXPECT_EQ(s.fault_code(), f.code);
      EXPECT_EQ(s.fault_message(), f.message);
      EXPECT_EQ(s.offset(), bytes.size());
    }
    // Java closes the fault and the reply with a 'z' each; a single 'z' is the grammar's form.
    EXPECT_EQ(kelo::DecodeReply(bytes.data(), bytes.size() - 1, topology).fault_message(),
              f.message);
    // The classic reader keeps its result: a fault is a format error to it.
    EXPECT_EQ(kelotest::ReadReply(topology, bytes).rc, KELO_E_FORMAT);
    bytes.push_back('z');  // one 'z' too many
    EXPECT_EQ(kelo::DecodeReply(bytes.data(), bytes.size(), value).code(), KELO_E_FORMAT);
  }

  Bytes out;
  ASSERT_TRUE(kelo::EncodeFault("NotFound", "no such access point: 00:11:22:33:44:55", out));
  EXPECT_EQ(std::string(out.begin(), out.end()),
            ReadTestFile("faults/java-fault-writeFault.bin"));  // Java, without a detail
  ASSERT_TRUE(kelo::EncodeFault("E", "Z\xC3\xBCrich", out));
  EXPECT_EQ(std::string(out.begin(), out.end()),
            Hex("'r' 01 00 'f' 'S' 00 04 'code' 'S' 00 01 'E'"
                "'S' 00 07 'message' 'S' 00 06 'Z' c3 bc 'rich' 'z' 'z'"));
  CT_CncId target;
  EXPECT_STREQ(kelo::DecodeReply(out.data(), out.size(), target).message(), "E: Z\xC3\xBCrich");
  // A character the strings cannot carry is refused, and out is left empty.
  EXPECT_EQ(kelo::EncodeFault("E", "\xF0\x9F\x98\x80", out).code(), KELO_E_NOT_SUPPORTED);
  EXPECT_TRUE(out.empty());
}

// Reads a getTopology call whose arguments are a CT_CncId and a CT_MacAddr.
kelo::Status ReadTopologyCall(const std::string& call, std::string& method, CT_CncId& cnc,
                              CT_MacAddr& mac) {
  kelo::CallReader reader(call.data(), call.size());
  if (kelo::Status s = reader.ReadMethod(method); !s) return s;
  if (kelo::Status s = reader.ReadArg(cnc); !s) return s;
  if (kelo::Status s = reader.ReadArg(mac); !s) return s;
  if (!reader.AtEnd()) return kelo::Status(KELO_E_FORMAT);
  return reader.Finish();
}

// Calls of Java's proxy, with and without headers, and one with names beyond ASCII, counted in
// 16-bit units (ours are read back in the catalogue walk).
TEST(CallReader, ReadsJavaProxyCallsWholeAndRefusesCutsAndStepsOutOfOrder) {
  CT_CncId cnc(7);
  CT_MacAddr mac;
  ASSERT_EQ(mac.Copy("\x00\x11\x22\x33\x44\x55", 6), 0);
  const std::string proxy = ReadTestFile("faults/java-call-proxy-getTopology.bin");
  const std::pair<std::string, std::string> calls[] = {
      {proxy, "getTopology"},
      {ReadTestFile("faults/java-call-headers-getTopology.bin"), "getTopology"},
      {Hex("'c' 01 00 'H' 00 03 'cl' c3 a9 'S' 00 02 'd' c3 a9 'm' 00 04 'caf' c3 a9") +
           proxy.substr(17),  // behind 'm' 00 0b "getTopology"
       "caf\xC3\xA9"}};
  for (const auto& [call, name] : calls) {
    SCOPED_TRACE(kelotest::ToHex(call));
    std::string method;
    CT_CncId gotCnc;
    CT_MacAddr gotMac;
    const kelo::Status s = ReadTopologyCall(call, method, gotCnc, gotMac);
    ASSERT_TRUE(s) << s.message();
    EXPECT_EQ(s.offset(), call.size());
    EXPECT_EQ(method, name);
    EXPECT_EQ(kelotest::Encode(gotCnc), kelotest::Encode(cnc));
    EXPECT_EQ(kelotest::Encode(gotMac), kelotest::Encode(mac));
    // Cut at every offset: some step fails, with a code and no further than the cut.
    for (size_t cut = 0; cut < call.size(); ++cut) {
      const kelo::Status c = ReadTopologyCall(call.substr(0, cut), method, gotCnc, gotMac);
      ASSERT_FALSE(c.ok()) << cut;
      ASSERT_LE(c.offset(), cut);
    }
    EXPECT_EQ(ReadTopologyCall(call + "z", method, gotCnc, gotMac).code(), KELO_E_FORMAT);
  }
  // Steps out of order, or past the arguments, fail.
  kelo::CallReader reader(proxy.data(), proxy.size());
  EXPECT_EQ(reader.ReadArg(cnc).code(), KELO_E_INVALID_STATE);
  EXPECT_EQ(reader.Finish().code(), KELO_E_INVALID_STATE);
  std::string method;
  ASSERT_TRUE(reader.ReadMethod(method));
  EXPECT_EQ(reader.ReadMethod(method).code(), KELO_E_INVALID_STATE);
  // The first argument is a CT_CncId: reading a CT_MacAddr there is a type mismatch.
  const kelo::Status wrong = reader.ReadArg(mac);
  EXPECT_EQ(wrong.code(), KELO_E_FORMAT);
  EXPECT_NE(std::string(wrong.message()).find("VarantoTypes.CT_MacAddr"), std::string::npos);

  kelo::CallReader again(proxy.data(), proxy.size());
  ASSERT_TRUE(again.ReadMethod(method) && again.ReadArg(cnc) && again.ReadArg(mac));
  const kelo::Status none = again.ReadArg(cnc);
  EXPECT_EQ(none.code(), KELO_E_FORMAT);
  EXPECT_EQ(std::string(none.message()).find("Expected an argument, but the call ends"), 0u);
  EXPECT_TRUE(again.Finish());
}

// ToUtf8 joins surrogate pairs and replaces lone ones; FromUtf8 takes valid text and refuses the
// rest with its offset, leaving the string as it was.
TEST(Utf8, BothWaysAtTheEdges) {
  const struct {
    std::u16string units;
    std::string utf8;
  } pairs[] = {
      {u"A\u00E9\u20AC\uFFFF", "A\xC3\xA9\xE2\x82\xAC\xEF\xBF\xBF"},
      {u"\u007F\u0080\u07FF\u0800", "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80"},  // each width's edges
      {{0xD83D, 0xDE00}, "\xF0\x9F\x98\x80"},
      {{0xDBFF, 0xDFFF}, "\xF4\x8F\xBF\xBF"},
      {{0xD800, 'a'}, "\xEF\xBF\xBD\x61"},
      {{'a', 0xDC00}, "a\xEF\xBF\xBD"},
      {{0xDE00, 0xD83D}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {{0xD83D}, "\xEF\xBF\xBD"},
      {{0}, std::string(1, '\0')},
  };
  for (const auto& c : pairs) {
    CKeloHesString s;
    s.Copy(reinterpret_cast<const short*>(c.units.data()),
           static_cast<unsigned int>(c.units.size()));
    EXPECT_EQ(kelo::ToUtf8(s), c.utf8) << kelotest::ToHex(c.utf8);
  }
  EXPECT_EQ(kelo::ToUtf8(CKeloHesString()), "");

  struct Case {
    std::string text;
    int code;
    size_t offset;
    std::u16string units;
  } cases[] = {
      {"Z\xC3\xBCrich", KELO_OK, 0, u"Z\u00FCrich"},
      {"", KELO_OK, 0, u""},
      {"\x7F\xDF\xBF\xEF\xBF\xBF", KELO_OK, 0, u"\u007F\u07FF\uFFFF"},
      {"ab\xF0\x9F\x98\x80", KELO_E_NOT_SUPPORTED, 2, u""},  // U+1F600
      {"\xF4\x8F\xBF\xBF", KELO_E_NOT_SUPPORTED, 0, u""},    // U+10FFFF
      {"\xF4\x90\x80\x80", KELO_E_FORMAT, 0, u""},           // beyond U+10FFFF
      {"a\xC0\xAF", KELO_E_FORMAT, 1, u""},                  // overlong '/'
      {"\xE0\x80\xAF", KELO_E_FORMAT, 0, u""},               // overlong, 3 bytes
      {"\xED\xA0\x80", KELO_E_FORMAT, 0, u""},               // encoded surrogate D800
      {"abc\xC3", KELO_E_FORMAT, 3, u""},                    // truncated
      {"\xC3\x28", KELO_E_FORMAT, 0, u""},                   // bad continuation
      {"\xE2\x82\x41", KELO_E_FORMAT, 0, u""},               // bad third byte
      {"x\x80", KELO_E_FORMAT, 1, u""},                      // continuation alone
      {"\xF8\x88\x80\x80\x80", KELO_E_FORMAT, 0, u""},       // 5-byte form
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(kelotest::ToHex(c.text));
    CKeloHesString s;
    ASSERT_EQ(s.Copy("keep"), 0);
    const kelo::Status status = kelo::FromUtf8(c.text, s);
    EXPECT_EQ(status.code(), c.code) << status.message();
    EXPECT_EQ(status.offset(), c.offset);
    EXPECT_EQ(kelotest::StringUnits(s), c.code == 0 ? c.units : u"keep");
    EXPECT_FALSE(s.IsNull());
  }
}

TEST(Pieces, BlobsAsBytesListsAsRangesAndNullRangesRefused) {
  CKeloHesBinary blob;
  EXPECT_TRUE(kelo::ToBytes(blob).empty());  // null
  const std::string bytes = Hex("00 ff 'a'");
  ASSERT_TRUE(kelo::FromBytes(bytes, blob));
  EXPECT_EQ(kelo::ToBytes(blob), bytes);
  ASSERT_TRUE(kelo::FromBytes(nullptr, 0, blob));  // empty, not null
  EXPECT_EQ(kelotest::Encode(blob), Hex("'B' 00 00"));
  // A null pointer with a size is refused before anything is read.
  kelo::cl::ResTopology topology;
  CKeloHesString text;
  Bytes out;
  std::string method;
  const std::string_view nothing(nullptr, 5);
  for (const kelo::Status& s :
       {kelo::FromBytes(nullptr, 5, blob), kelo::FromUtf8(nothing, text),
        kelo::DecodeReply(nullptr, 5, topology), kelo::CallReader(nullptr, 5).ReadMethod(method),
        kelo::EncodeCall(nothing, topology, out), kelo::EncodeFault("E", nothing, out)})
    EXPECT_EQ(s.code(), KELO_E_INVALID_ARGUMENT);
  // A result that cannot be written fails the reply and leaves nothing in out.
  out.assign(3, 'x');
  EXPECT_EQ(kelo::EncodeReply(CKeloHesSkipClass(), out).code(), KELO_E_INVALID_STATE);
  EXPECT_TRUE(out.empty());

  CKeloHesArray<kelo::cl::VerSite> list;
  ASSERT_EQ(list.Add(std::make_unique<kelo::cl::VerSite>()), 0);
  ASSERT_NE(list.Emplace(), nullptr);
  EXPECT_EQ(list.Add(std::unique_ptr<kelo::cl::VerSite>()), KELO_E_INVALID_STATE);
  const CKeloHesArray<kelo::cl::VerSite>& constant = list;
  int count = 0;
  for (const kelo::cl::VerSite& item : constant) count += &item == list.GetAt(count);
  EXPECT_EQ(count, 2);
  list.Reset();
  EXPECT_EQ(list.begin(), list.end());
}

}  // namespace
