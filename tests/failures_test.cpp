// Every failure of the classic decoders, one row each: the reader, the input, the result code and
// the exact error text, followed by ". Last chars read: '<window>'" where the row has a window
// (the last 16 bytes read). Callers log and match these texts, so a changed word is a change.
#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace {

using kelotest::Decoded;

template <class T>
Decoded Fresh(const std::string& bytes) {
  T value;
  return kelotest::Decode(value, bytes);
}
// A failed read leaves a number, string or blob as it was (read from old first), and leaves a
// list empty, not null.
template <class T, const char* kOld>
Decoded Kept(const std::string& bytes) {
  T value;
  const std::string old = kelotest::Hex(kOld);
  EXPECT_EQ(kelotest::Decode(value, old).rc, 0);
  const Decoded d = kelotest::Decode(value, bytes);
  EXPECT_EQ(kelotest::Encode(value), old) << kelotest::ToHex(bytes);
  return d;
}
constexpr char kInt[] = "'I' 00 00 00 09", kString[] = "'S' 00 03 'old'",
               kBlob[] = "'B' 00 03 'old'";
Decoded FullList(const std::string& bytes) {
  kelotest::Box box;
  EXPECT_EQ(box.points.Add(*new kelotest::Point()), 0);
  const Decoded d = kelotest::Decode(box.points, bytes);
  EXPECT_EQ(box.points.Count(), 0);
  EXPECT_FALSE(box.points.IsNull());
  return d;
}
Decoded Reply(const std::string& bytes) {
  kelotest::Bare bare;
  return kelotest::ReadReply(bare, bytes);
}

using Reader = Decoded (*)(const std::string&);
const Reader OldInt = Kept<CKeloHesInt32, kInt>, OldString = Kept<CKeloHesString, kString>,
             OldBlob = Kept<CKeloHesBinary, kBlob>, Bool = Fresh<CKeloHesBool>,
             Date = Fresh<CKeloHesDate>, Bare = Fresh<kelotest::Bare>,
             Point = Fresh<kelotest::Point>, Crate = Fresh<kelotest::Crate>,
             CncId = Fresh<VarantoTypes::CT_CncId>;
#define CNC "'Mt' 00 15 'VarantoTypes.CT_CncId'"
const char kValueHeader[] =
    "While parsing class \"VarantoTypes.CT_CncId\", expected 'S' then the 'value' member name, but "
    "got something else";
const int kFormat = KELO_E_FORMAT, kShort = KELO_E_EXHAUSTED, kRefused = KELO_E_NOT_SUPPORTED;

struct Row {
  Reader read;
  const char* hex;
  int rc;
  const char* text;
  const char* window = nullptr;
} const kRows[] = {
    // Scalars: a number is taken whole or not at all.
    {Bool, "", kShort, "Failed to read boolean", ""},
    {Bool, "'x'", kFormat, "Expected boolean ('T' or 'F') but got something else", "x"},
    {OldInt, "'I' 00 00 01", kShort, "Failed to read integer", ""},
    {OldInt, "'L' 00 00 00 01", kFormat, "Expected integer ('I'), but got something else", "L...."},
    {Date, "'L' 00 00 00 00 00 00 00 00", kFormat,
     "Expected 64 bit value (with 'd') but got something else", "L........"},
    {Date, "'d' 00", kShort, "Failed to read integer64 value", ""},
    // Strings: UTF-8 faults carry no window.
    {OldString, "'S' 00 01 c3", kFormat,
     "Corrupted utf8: Sequence terminated in the middle of a 2-byte char"},
    {OldString, "'S' 00 01 e2 82", kFormat,
     "Corrupted utf8: Sequence terminated in the middle of a 3-byte char"},
    {OldString, "'S' 00 01 c3 41", kFormat,
     "Corrupted utf8: Format of second byte in a two-byte encoding is not 10zzzzzz"},
    {OldString, "'S' 00 01 e2 82 41", kFormat,
     "Corrupted utf8: Format of second or third byte in a three-byte encoding is not 10zzzzzz"},
    {OldString, "'S' 00 01 f0 9f 98 80", kFormat,
     "utf8: Unicode value greater than 0xFFFF not supported yet"},
    {OldString, "'S' 00 01 80", kFormat, "Corrupted utf8: Unsupported leading byte"},
    {OldString, "'S' 00 01 f8", kFormat, "Corrupted utf8: Unsupported leading byte"},
    {OldString, "", kShort, "Failed to read string value", ""},
    {OldString, "'S' 00 02 'a'", kShort, "Failed to read string value", "S..a"},
    {OldString, "'S' 00", kShort, "Failed to read length of string value", "S"},
    {OldString, "'s' 00 01 'a'", kShort,
     "Expected next block of string data, but got something else", "s..a"},
    {OldString, "'s' 00 01 'aN'", kFormat,
     "Expected string ('S', 's' or 'N') but got something else", "s..aN"},
    {OldString, "'B' 00 00", kFormat, "Expected string ('S', 's' or 'N') but got something else",
     "B"},
    // Blobs.
    {OldBlob, "", kShort, "Failed to read binary value", ""},
    {OldBlob, "'B' 00 05 01 02 03", kShort, "Failed to read binary value", "B.."},
    {OldBlob, "'B' 00", kShort, "Failed to read length of binary value", "B"},
    {OldBlob, "'b' 00 01 07", kShort, "Expected next block of binary data, but got something else",
     "b..."},
    {OldBlob, "'b' 00 01 07 'N'", kFormat,
     "Expected binary ('B', 'b' or 'N') but got something else", "b...N"},
    {OldBlob, "'S' 00 00", kFormat, "Expected binary ('B', 'b' or 'N') but got something else",
     "S"},
    // Typed maps: the envelope, the member names, and the type name, which must match exactly.
    {Bare, "", kShort, "Failed to get content indicator ('M' or 'N')", ""},
    {Bare, "'S'", kFormat, "Expected 'M' or 'N' but got something else", "S"},
    {Bare, "'M'", kShort, "Failed to get class type indicator ('t')", "M"},
    {Bare, "'Mx'", kFormat, "Expected 't' and then length but got something else", "Mx"},
    {Bare, "'Mt' 00", kShort, "Failed to get class name length (after 't')", "Mt"},
    {Bare, "'Mt' 00 05 'abc'", kShort, "Failed to get read class name", "Mt.."},
    {Bare, "'Mt' 00 04 'Bare'", kShort,
     "While parsing class \"Bare\", expected either 'S' or 'z' but could not get data", "Mt..Bare"},
    {Bare, "'Mt' 00 04 'BareQ'", kFormat,
     "While parsing class \"Bare\", expected either 'S' or 'z' but got something else",
     "Mt..BareQ"},
    {Bare, "'Mt' 00 04 'BareS' 00", kShort,
     "While parsing class \"Bare\", expected member name length (after 'S') but got no data",
     "Mt..BareS"},
    {Bare, "'Mt' 00 04 'BareS' 00 02 'n'", kShort,
     "While parsing class \"Bare\", Got member data length, but could not get the name",
     "Mt..BareS.."},
    {Bare, "'Mt' 00 05 '.Bare' 'z'", kFormat, "Expected class \"Bare\" but got \".Bare\"",
     "Mt...Bare"},
    {Point, "'Mt' 00 05 'Point' 'z'", kFormat, "Expected class \"test.Point\" but got \"Point\"",
     "Mt..Point"},
    {Point, "'Mt' 00 0a 'test-Point' 'z'", kFormat,
     "Expected class \"test.Point\" but got \"test-Point\"", "Mt..test-Point"},
    // A failing member adds one clause per enclosing structure, innermost first; a failure
    // without text of its own (here a skipped value cut short) gets a clause that starts it.
    {Crate,
     "'Mt' 00 0f 'test.deep.Crate' 'S' 00 03 'box' 'Mt' 00 08 'test.Box' 'S' 00 06 'corner'"
     "'Mt' 00 0a 'test.Point' 'S' 00 01 'x' 'S' 00 00 00 00",
     kFormat,
     "Expected integer ('I'), but got something else. Last chars read: 't.PointS..xS....'. This "
     "happens in member \"x\" of class \"test.Point\". This happens in member \"corner\" of class "
     "\"test.Box\". This happens in member \"box\" of class \"test.deep.Crate\""},
    {Crate, "'Mt' 00 0f 'test.deep.Crate' 'S' 00 03 'box' 'Mt' 00 08 'test.Box' 'S' 00 01 'uL'",
     kShort, "Error deserializing member \"box\" of class \"test.deep.Crate\""},
    // Skipping an unregistered member.
    {Point, "'Mt' 00 0a 'test.Point' 'S' 00 01 'uR'", kFormat,
     "Cannot skip: Unknown type marker: 'R'", ".test.PointS..uR"},
    {Point, "'Mt' 00 0a 'test.Point' 'S' 00 01 'uL' 00 00", kShort, ""},
    {Point, "'Mt' 00 0a 'test.Point' 'S' 00 01 'u'", kShort, "Cannot get variable type"},
    {Point, "'Mt' 00 0a 'test.Point' 'S' 00 01 'uVt' 00 01 '[l' ff ff ff ff", kRefused,
     "Got negative length, indicating variable length list, which is currently not supported",
     "ntS..uVt..[l...."},
    // What the wire reader accepts and the skipper refuses: the value decoders give the text.
    {Point, "'Mt' 00 0a 'test.Point' 'S' 00 01 'uM' 'S' 00 01 'aNz'", kFormat,
     "Expected 't' and then length but got something else", "test.PointS..uMS"},
    {Point, "'Mt' 00 0a 'test.Point' 'S' 00 01 'uVl' 00 00 00 00 'z'", kFormat,
     "Expected 't' and then type length (of array item), but got something else",
     "test.PointS..uVl"},
    {Point, "'Mt' 00 0a 'test.Point' 'S' 00 01 'uVt' 00 01 'xl' 00 00 00 00 'z'", kFormat,
     "Expected list item class name to start with with '[', but it didn't", "t.PointS..uVt..x"},
    {Point, "'Mt' 00 0a 'test.Point' 'S' 00 01 'uVt' 00 01 '[Nz'", kFormat,
     "Expected 'l' and then array length , but got something else", ".PointS..uVt..[N"},
    {Point, "'Mt' 00 0a 'test.Point' 'S' 00 01 'uVt' 00 01 '[l' 00 00 00 01 'NNz'", kFormat,
     "Expected array's terminating 'z', but got something else", "S..uVt..[l....NN"},
    {Point, "'Mt' 00 0a 'test.Point' 'S' 00 01 'uVt' 00 01 '[l' 00 00 00 02 'Nz'", kFormat,
     "Cannot skip: Unknown type marker: 'z'", "S..uVt..[l....Nz"},
    {Point, "'Mt' 00 0a 'test.Point' 'S' 00 01 'uMt' 00 01 'as' 00 01 'aS' 00 00 'Nz'", kFormat,
     "While parsing class \"\", expected either 'S' or 'z' but got something else",
     ".PointS..uMt..as"},
    {Point, "'Mt' 00 0a 'test.Point' 'S' 00 01 'uX' 00 01 'a'", kFormat,
     "Cannot skip: Unknown type marker: 'X'", ".test.PointS..uX"},
    {Point,
     "'Mt' 00 0a 'test.Point' 'S' 00 01 'uMt' 00 01 'aS' 00 01 'bI' 00 00 00 01 'S' 00 01 'c'",
     kShort, "Cannot get variable type"},
    // Value classes: a fixed member header, the value, then 'z'.
    {CncId, CNC "'S' 00 05 'Value' 'I' 00 00 00 01 'z'", kFormat, kValueHeader, "CT_CncIdS..Value"},
    {CncId, CNC "'S' 00 05 'val'", kShort, kValueHeader, "toTypes.CT_CncId"},
    {CncId, CNC "'S' 00 05 'value' 'I' 00 00 00 01 'S' 00 01 'xNz'", kFormat,
     "Expected terminating 'z' for class \"VarantoTypes.CT_CncId\" but got something else",
     "IdS..valueI....S"},
    {CncId, CNC "'S' 00 05 'value' 'I' 00 00 00 01", kShort,
     "Failed to read terminating 'z' for class \"VarantoTypes.CT_CncId\"", "cIdS..valueI...."},
    {CncId, CNC "'S' 00 05 'value' 'L' 00 00 00 00 00 00 00 01 'z'", kFormat,
     "Expected integer ('I'), but got something else. Last chars read: 'cIdS..valueL....'. This "
     "happens in member \"value\" of class \"VarantoTypes.CT_CncId\""},
    {CncId, "'Mt' 00 15 'VarantoTypes.CT_CnuId' 'z'", kFormat,
     "Expected class \"VarantoTypes.CT_CncId\" but got \"VarantoTypes.CT_CnuId\"",
     "toTypes.CT_CnuId"},
    // Typed lists.
    {FullList, "", kShort, "Failed to get array content indicator", ""},
    {FullList, "'M'", kFormat,
     "Expected array content indicator ('V' or 'N') but got something else", "M"},
    {FullList, "'V'", kShort, "Failed to read array item type", "V"},
    {FullList, "'Vl'", kFormat,
     "Expected 't' and then type length (of array item), but got something else", "Vl"},
    {FullList, "'Vt' 00", kShort, "Failed to get array item's class name length (after 't')", "Vt"},
    {FullList, "'Vt' 00 00", kRefused, "Anonymous lists not supported", "Vt.."},
    {FullList, "'Vt' 00 03 '[a'", kShort, "Failed to read item's class name", "Vt.."},
    {FullList, "'Vt' 00 0a 'test.Point'", kFormat,
     "Expected list item class name to start with with '[', but it didn't", "Vt..test.Point"},
    {FullList, "'Vt' 00 06 '[Point'", kFormat,
     "Expected item class \"test.Point[]\" but got \"[Point\"", "Vt..[Point"},
    {FullList, "'Vt' 00 0b '[test.Point'", kShort, "Failed to read array length indicator",
     "Vt..[test.Point"},
    {FullList, "'Vt' 00 0b '[test.Pointx'", kFormat,
     "Expected 'l' and then array length , but got something else", "Vt..[test.Pointx"},
    {FullList, "'Vt' 00 0b '[test.Pointl' 00 00", kShort, "Failed to read array length indicator",
     "Vt..[test.Pointl"},
    {FullList, "'Vt' 00 0b '[test.Pointl' ff ff ff ff", kRefused,
     "Got negative length, indicating variable length list, which is currently not supported",
     "[test.Pointl...."},
    {FullList, "'Vt' 00 0b '[test.Pointl' 00 00 00 00", kShort,
     "Failed to read array's terminating 'z'", "[test.Pointl...."},
    {FullList, "'Vt' 00 0b '[test.Pointl' 00 00 00 00 'y'", kFormat,
     "Expected array's terminating 'z', but got something else", "test.Pointl....y"},
    {FullList, "'Vt' 00 0b '[test.Pointl' 00 00 00 02 'N'", kShort,  // the second item is missing
     "Failed to get content indicator ('M' or 'N')", "test.Pointl....N"},
    // The reply envelope around a structure, of any version.
    {Reply, "'r' 02 05 'Mt' 00 04 'Bare' 'zz#'", KELO_OK, ""},
    {Reply, "'r' 01 00 'Nz#'", KELO_OK, ""},
    {Reply, "'r' 01", kShort, "Could not find data, while looking for the opening 'r' and version"},
    {Reply, "'f' 01 00 'Nz'", kFormat, "Expected the opening 'r', but got something else"},
    {Reply, "'r' 01 00 'Mt' 00 04 'Bare' 'z'", kFormat, "Failed to read the terminating 'z'"},
    {Reply, "'r' 01 00 'Nx'", kFormat, "Expected terminating 'z', but got something else"},
};

TEST(Failures, EveryFailureHasItsCodeAndExactText) {
  for (const Row& row : kRows) {
    std::string text = row.text;
    if (row.window) text = text + ". Last chars read: '" + row.window + "'";
    const std::string input = kelotest::Hex(row.hex);
    const Decoded d = row.read(input);
    EXPECT_EQ(d.rc, row.rc) << row.hex;
    EXPECT_EQ(d.error, text) << row.hex;
    // A row that succeeds ends in one byte that is not part of the value: it stays unread.
    if (row.rc == KELO_OK) {
      EXPECT_EQ(d.consumed + 1, input.size()) << row.hex;
    }
  }
}

}  // namespace

// A context reused after Reset starts its text afresh: a member whose value failed without text
// opens it with "Error deserializing", as on a new context.
TEST(Failures, AResetContextStartsTheMemberClauseAfresh) {
  const std::string cut = kelotest::Hex(
      "'Mt' 00 08 'test.Box' 'S' 00 06 'corner' 'Mt' 00 0a 'test.Point'"
      "'S' 00 01 'q' 'I' 00");  // an unknown member cut short: no text
  CKeloInput in(cut.data(), static_cast<unsigned int>(cut.size()));
  CKeloInputParse parse(in);
  kelotest::Box box;
  ASSERT_NE(static_cast<CKeloHesObject&>(box).Deserialize(parse), 0);
  const std::string first = parse.GetError();
  parse.Reset();
  in = CKeloInput(cut.data(), static_cast<unsigned int>(cut.size()));
  ASSERT_NE(static_cast<CKeloHesObject&>(box).Deserialize(parse), 0);
  EXPECT_EQ(first.rfind("Error deserializing member \"corner\"", 0), 0u) << first;
  EXPECT_EQ(std::string(parse.GetError()), first);
}
