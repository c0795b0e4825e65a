// Writes the seed corpus of every fuzz target and the fuzzing dictionary, both from the
// catalogue, with our own encoder: OUT/<target>/<seed> files and OUT/kelohessian.dict.
//   kelo_fuzz_corpus OUT
// Seeds: a filled and a default message of every catalogue class (as a reply, as a bare map, as a
// call and inside a skip run), every typed-list member with items, strings and blobs of every
// shape, and faults. The dictionary holds the markers and every wire name: type headers, list item
// types and member headers, so a fuzzer can splice them without discovering them byte by byte.
#include <stdio.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "support/filler.h"

namespace fs = std::filesystem;

namespace {

fs::path g_out;
int g_written = 0;

[[noreturn]] void Die(const std::string& what) {
  fprintf(stderr, "kelo_fuzz_corpus: cannot %s\n", what.c_str());
  exit(1);
}

void WriteSeed(const char* target, const std::string& name, const std::string& bytes) {
  fs::create_directories(g_out / target);
  std::ofstream file(g_out / target / name, std::ios::binary | std::ios::trunc);
  if (!file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
    Die(std::string("write ") + target + "/" + name);
  ++g_written;
}

std::string Byte(unsigned int value) {
  return std::string(1, static_cast<char>(value & 0xFF));
}
std::string U16(unsigned int n) {
  return Byte(n >> 8) + Byte(n);
}
// 'S' <length> text: a string, or a member name.
std::string S(const std::string& text) {
  return "S" + U16(static_cast<unsigned int>(text.size())) + text;
}
const std::string kReply = std::string("r\1\0", 3);

// The encoding of an object; a write failure of our own filled objects is a bug.
std::string MustEncode(const CKeloHesObject& object, const char* what) {
  std::string bytes;
  if (kelofuzz::Encode(object, bytes) != 0) Die(std::string("encode ") + what);
  return bytes;
}

void ClassSeeds() {
  for (unsigned int i = 0; i < kelo::CatalogueSize(); ++i) {
    const kelo::ClassInfo& info = *kelo::CatalogueAt(i);
    std::string maps[3];  // default, filled with lists of 1, filled with lists of 2
    for (int v = 0; v < 3; ++v) {
      const std::unique_ptr<CKeloHesClass> object(
          v == 0 ? info.create() : kelotest::NewFilled(info, v == 1 ? i + 1 : i + 7, v));
      maps[v] = MustEncode(*object, info.typeName);
      const std::string name = info.cppName + std::string(v == 0 ? "-default" : "-filled") +
                               (v == 0 ? "" : std::to_string(v));
      WriteSeed("reply", name, Byte(i) + kReply + maps[v] + "z");
      WriteSeed("roundtrip", name, Byte(i) + maps[v]);
      WriteSeed("onecall", name + "-reply", Byte(2 * i) + kReply + maps[v] + "z");
      // A call of two arguments, behind a header.
      WriteSeed("onecall", name + "-call",
                Byte(2 * i + 1) + std::string("c\0\1H", 4) + U16(1) + "hI" + U16(0) + U16(1) + "m" +
                    U16(1) + "m" + maps[v] + maps[0] + "z");
    }
    WriteSeed("skip", info.cppName, maps[2] + "N" + maps[0]);
  }
}

void FaultSeeds() {
  std::vector<std::uint8_t> fault;
  if (!kelo::EncodeFault("ServiceException", "Z\xC3\xBCrich", fault).ok()) Die("encode a fault");
  WriteSeed("onecall", "fault", Byte(0) + std::string(fault.begin(), fault.end()));
  // A fault whose detail holds what Java sends: a typed map, a list without length, 'R'.
  WriteSeed("onecall", "fault-detail",
            Byte(0) + kReply + "f" + S("code") + S("C") + S("detail") + "Mt" + U16(1) + "X" +
                S("c") + "R" + U16(0) + U16(0) + S("s") + "Vt" + U16(1) + "[I" + U16(0) + U16(1) +
                "zz" + S("message") + S("m") + "zz");
}

void ListSeeds() {
  for (unsigned int j = 0; j < kelofuzz::ListMemberCount(); ++j) {
    const kelofuzz::ListMember lm = kelofuzz::ListMemberAt(j);
    std::unique_ptr<CKeloHesClass> owner(kelotest::NewFilled(*lm.owner, j + 3, 2));
    const std::string list = MustEncode(lm.member->access(*owner), lm.member->name);
    const std::string name = std::string(lm.owner->cppName) + "." + lm.member->name;
    WriteSeed("list", name, Byte(j) + list);
    // The same list head ('V' 't' <length> <item type>) with two items written as 'N'.
    const size_t typeEnd =
        4 + (static_cast<unsigned char>(list[2]) << 8 | static_cast<unsigned char>(list[3]));
    WriteSeed("list", name + "-nulls",
              Byte(j) + list.substr(0, typeEnd) + "l" + U16(0) + U16(2) + "NNz");
    WriteSeed("skip", name, list);
  }
  WriteSeed("list", "skiplist",
            Byte(kelofuzz::ListMemberCount()) + "Vt" + U16(4) + "[anyl" + U16(0) + U16(3) + "NI" +
                U16(0) + U16(1) + S("x") + "z");
}

void TextSeeds() {
  const std::u16string texts[] = {u"", u"a", u"Caf\u00e9 \u20ac\u4e2d", std::u16string(300, u'x'),
                                  std::u16string(u"\u0000\u007f\u0080\u07ff\u0800\uffff", 6)};
  int n = 0;
  for (const std::u16string& t : texts) {
    CKeloHesString s;
    s.Copy(reinterpret_cast<const short*>(t.data()), static_cast<unsigned int>(t.size()));
    WriteSeed("text", "string-" + std::to_string(n++), Byte(0) + MustEncode(s, "string"));
  }
  const std::string blobs[] = {std::string(), std::string("\0\1\xfe\xff", 4),
                               std::string(1000, '\x5a')};
  n = 0;
  for (const std::string& b : blobs) {
    CKeloHesBinary blob;
    blob.Copy(b.data(), static_cast<unsigned int>(b.size()));
    WriteSeed("text", "binary-" + std::to_string(n++), Byte(1) + MustEncode(blob, "binary"));
  }
  // Shapes our encoder does not write: null, chunks, encoded surrogates, overlong forms.
  const std::pair<const char*, std::string> shapes[] = {
      {"string-null", Byte(0) + "N"},
      {"string-chunks", Byte(0) + "s" + U16(1) + "as" + U16(0) + S("bc")},
      {"string-surrogate", Byte(0) + "S" + U16(1) + "\xed\xa0\x80"},
      {"string-overlong", Byte(0) + "S" + U16(1) + "\xc0\x80"},
      {"binary-null", Byte(1) + "N"},
      {"binary-chunks", Byte(1) + "b" + U16(1) + Byte(1) + "b" + U16(0) + "B" + U16(1) + Byte(2)},
  };
  for (const auto& [name, bytes] : shapes) WriteSeed("text", name, bytes);
  WriteSeed("skip", "scalars",
            "TFNI" + U16(0) + U16(1) + "L" + U16(0) + U16(0) + U16(0) + U16(2) + "D" + U16(0x3ff0) +
                U16(0) + U16(0) + U16(0) + "d" + U16(0) + U16(0x193) + U16(0) + U16(0) + S("hi") +
                "B" + U16(1) + Byte(0));
}

// One dictionary line: the bytes as a quoted libFuzzer dictionary value.
std::string DictValue(const std::string& bytes) {
  std::string out = "\"";
  char escaped[5];
  for (const char c : bytes) {
    snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
    out += c >= 0x20 && c <= 0x7E && c != '"' && c != '\\' ? std::string(1, c) : escaped;
  }
  return out + "\"";
}

void Dictionary() {
  std::set<std::string> entries = {kReply, "Mt" + Byte(0), "l" + U16(0) + Byte(0),
                                   "l" + U16(0xffff) + U16(0xffff)};
  for (const char marker : std::string("MNSsBbVtlzILDdTF")) entries.insert(std::string(1, marker));
  for (unsigned int i = 0; i < kelo::CatalogueSize(); ++i) {
    const kelo::ClassInfo& info = *kelo::CatalogueAt(i);
    const std::string type(info.typeName, info.typeNameLength);
    entries.insert({type, "Mt" + U16(info.typeNameLength) + type,
                    "Vt" + U16(info.typeNameLength + 1) + "[" + type});
    for (unsigned int m = 0; m < info.memberCount; ++m) {
      const std::string name(info.members[m].name, info.members[m].nameLength);
      entries.insert({name, S(name)});
    }
  }
  std::ofstream dict(g_out / "kelohessian.dict", std::ios::trunc);
  dict << "# Markers and every wire name of the catalogue; written by kelo_fuzz_corpus.\n";
  for (const std::string& e : entries) dict << DictValue(e) << "\n";
  if (!dict) Die("write the dictionary");
  printf("kelo_fuzz_corpus: %d seeds and %zu dictionary entries in %s\n", g_written, entries.size(),
         g_out.string().c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: kelo_fuzz_corpus OUT\n");
    return 2;
  }
  g_out = argv[1];
  ClassSeeds();
  FaultSeeds();
  ListSeeds();
  TextSeeds();
  Dictionary();
  return 0;
}
