// Writes the seed corpus of every fuzz target and the fuzzing dictionary, both from the
// catalogue, with our own encoder: OUT/<target>/<seed> files and OUT/kelohessian.dict.
//   kelo_fuzz_corpus OUT
// Seeds: a filled and a default message of every catalogue class (as a reply, as a bare map and
// inside a skip run), every typed-list member with items, and strings and blobs of every shape.
// The dictionary holds the markers and every wire name: type headers, list item types and member
// headers, so a fuzzer can splice them without discovering them byte by byte.
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

void WriteSeed(const char* target, const std::string& name, const std::string& bytes) {
  const fs::path dir = g_out / target;
  fs::create_directories(dir);
  std::ofstream file(dir / name, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) {
    fprintf(stderr, "kelo_fuzz_corpus: cannot write %s/%s\n", target, name.c_str());
    exit(1);
  }
  ++g_written;
}

// A string literal with every byte, embedded zeros included.
template <size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

std::string Selector(unsigned int index) {
  return std::string(1, static_cast<char>(index & 0xFF));
}

std::string U16(unsigned int n) {
  return std::string{static_cast<char>((n >> 8) & 0xFF), static_cast<char>(n & 0xFF)};
}

// The encoding of an object; a write failure of our own filled objects is a bug.
std::string MustEncode(const CKeloHesObject& object, const char* what) {
  std::string bytes;
  if (kelofuzz::Encode(object, bytes) != 0) {
    fprintf(stderr, "kelo_fuzz_corpus: cannot encode %s\n", what);
    exit(1);
  }
  return bytes;
}

void ClassSeeds() {
  for (unsigned int i = 0; i < kelo::CatalogueSize(); ++i) {
    const kelo::ClassInfo& info = *kelo::CatalogueAt(i);
    std::unique_ptr<CKeloHesClass> empty(info.create());
    std::unique_ptr<CKeloHesClass> one(kelotest::NewFilled(info, i + 1, 1));
    std::unique_ptr<CKeloHesClass> two(kelotest::NewFilled(info, i + 7, 2));
    const std::string name = info.cppName;
    const std::string maps[] = {MustEncode(*empty, info.typeName), MustEncode(*one, info.typeName),
                                MustEncode(*two, info.typeName)};
    const char* variant[] = {"-default", "-filled1", "-filled2"};
    for (int v = 0; v < 3; ++v) {
      WriteSeed("reply", name + variant[v], Selector(i) + Bytes("r\x01\x00") + maps[v] + "z");
      WriteSeed("roundtrip", name + variant[v], Selector(i) + maps[v]);
      WriteSeed("onecall", name + variant[v] + "-reply",
                Selector(2 * i) + Bytes("r\x01\x00") + maps[v] + "z");
      // A call of two arguments, behind a header.
      WriteSeed("onecall", name + variant[v] + "-call",
                Selector(2 * i + 1) + Bytes("c\x00\x01H\x00\x01hI\x00\x00\x00\x01m\x00\x01m") +
                    maps[v] + maps[0] + "z");
    }
    WriteSeed("skip", name, maps[2] + "N" + maps[0]);
  }
}

void FaultSeeds() {
  std::vector<std::uint8_t> fault;
  if (!kelo::EncodeFault("ServiceException", "Z\xC3\xBCrich", fault)) {
    fprintf(stderr, "kelo_fuzz_corpus: cannot encode a fault\n");
    exit(1);
  }
  WriteSeed("onecall", "fault", Selector(0) + std::string(fault.begin(), fault.end()));
  // A fault whose detail holds what Java sends: a typed map, a list without length, 'R'.
  WriteSeed("onecall", "fault-detail",
            Selector(0) + Bytes("r\x01\x00"
                                "fS\x00\x04"
                                "codeS\x00\x01"
                                "CS\x00\x06"
                                "detail"
                                "Mt\x00\x01"
                                "XS\x00\x01"
                                "cR\x00\x00\x00\x00"
                                "S\x00\x01"
                                "s"
                                "Vt\x00\x01"
                                "[I\x00\x00\x00\x01"
                                "zz"
                                "S\x00\x07"
                                "messageS\x00\x01"
                                "mzz"));
}

void ListSeeds() {
  for (unsigned int j = 0; j < kelofuzz::ListMemberCount(); ++j) {
    const kelofuzz::ListMember lm = kelofuzz::ListMemberAt(j);
    std::unique_ptr<CKeloHesClass> owner(kelotest::NewFilled(*lm.owner, j + 3, 2));
    const std::string list = MustEncode(lm.member->access(*owner), lm.member->name);
    const std::string name = std::string(lm.owner->cppName) + "." + lm.member->name;
    WriteSeed("list", name, Selector(j) + list);
    // Two items written as 'N': each still becomes a default object.
    // 'V' 't' <2-byte length> <item type>, then the count.
    const size_t typeEnd =
        4 + ((static_cast<unsigned char>(list[2]) << 8) | static_cast<unsigned char>(list[3]));
    const std::string nulls = list.substr(0, typeEnd) + Bytes("l\x00\x00\x00\x02NNz");
    WriteSeed("list", name + "-nulls", Selector(j) + nulls);
    WriteSeed("skip", name, list);
  }
  WriteSeed("list", "skiplist",
            Selector(kelofuzz::ListMemberCount()) +
                Bytes("Vt\x00\x04[anyl\x00\x00\x00\x03NI\x00\x00\x00\x01S\x00\x01xz"));
}

void TextSeeds() {
  struct Sample {
    const char* name;
    std::string bytes;
  };
  std::u16string texts[] = {u"", u"a", u"Caf\u00e9 \u20ac\u4e2d", std::u16string(300, u'x'),
                            u"\u0000\u007f\u0080\u07ff\u0800\uffff"};
  int n = 0;
  for (const std::u16string& t : texts) {
    CKeloHesString s;
    s.Copy(reinterpret_cast<const short*>(t.data()), static_cast<unsigned int>(t.size()));
    WriteSeed("text", "string-" + std::to_string(n++), Selector(0) + MustEncode(s, "string"));
  }
  const Sample strings[] = {
      {"string-null", "N"},
      {"string-chunks", Bytes("s\x00\x01"
                              "as\x00\x00S\x00\x02"
                              "bc")},
      {"string-surrogate", Bytes("S\x00\x01\xed\xa0\x80")},
      {"string-overlong", Bytes("S\x00\x01\xc0\x80")},
  };
  for (const Sample& s : strings) WriteSeed("text", s.name, Selector(0) + s.bytes);
  const std::string blobs[] = {std::string(), std::string("\x00\x01\xfe\xff", 4),
                               std::string(1000, '\x5a')};
  n = 0;
  for (const std::string& b : blobs) {
    CKeloHesBinary blob;
    blob.Copy(b.data(), static_cast<unsigned int>(b.size()));
    WriteSeed("text", "binary-" + std::to_string(n++), Selector(1) + MustEncode(blob, "binary"));
  }
  WriteSeed("text", "binary-null", Selector(1) + "N");
  WriteSeed("text", "binary-chunks",
            Selector(1) + Bytes("b\x00\x01\x01"
                                "b\x00\x00"
                                "B\x00\x01\x02"));
  WriteSeed("skip", "scalars",
            Bytes("TFNI\x00\x00\x00\x01L\x00\x00\x00\x00\x00\x00\x00\x02"
                  "D\x3f\xf0\x00\x00\x00\x00\x00\x00"
                  "d\x00\x00\x01\x93\x00\x00\x00\x00"
                  "S\x00\x02hi"
                  "B\x00\x01\x00"));
}

// One dictionary line: the bytes as a quoted libFuzzer dictionary value.
std::string DictValue(const std::string& bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (const char c : bytes) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u <= 0x7E && c != '"' && c != '\\') {
      out.push_back(c);
    } else {
      out += "\\x";
      out.push_back(kHex[u >> 4]);
      out.push_back(kHex[u & 15]);
    }
  }
  return out + "\"";
}

void Dictionary() {
  std::set<std::string> entries = {"M",
                                   "N",
                                   "S",
                                   "s",
                                   "B",
                                   "b",
                                   "V",
                                   "t",
                                   "l",
                                   "z",
                                   "I",
                                   "L",
                                   "D",
                                   "d",
                                   "T",
                                   "F",
                                   Bytes("r\x01\x00"),
                                   Bytes("Mt\x00"),
                                   Bytes("l\x00\x00\x00"),
                                   Bytes("l\xff\xff\xff\xff")};
  for (unsigned int i = 0; i < kelo::CatalogueSize(); ++i) {
    const kelo::ClassInfo& info = *kelo::CatalogueAt(i);
    const std::string type(info.typeName, info.typeNameLength);
    entries.insert(type);
    entries.insert("Mt" + U16(info.typeNameLength) + type);
    entries.insert("Vt" + U16(info.typeNameLength + 1) + "[" + type);
    for (unsigned int m = 0; m < info.memberCount; ++m) {
      const kelo::MemberInfo& member = info.members[m];
      const std::string name(member.name, member.nameLength);
      entries.insert(name);
      entries.insert("S" + U16(member.nameLength) + name);
    }
  }
  std::ofstream dict(g_out / "kelohessian.dict", std::ios::trunc);
  dict << "# Markers and every wire name of the catalogue; written by kelo_fuzz_corpus.\n";
  for (const std::string& e : entries) dict << DictValue(e) << "\n";
  if (!dict) {
    fprintf(stderr, "kelo_fuzz_corpus: cannot write the dictionary\n");
    exit(1);
  }
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
