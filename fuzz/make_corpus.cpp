// kelo_fuzz_corpus OUT writes the seed corpus of every fuzz target, OUT/<target>/<seed>: default
// and filled objects of every class (reply, bare map, call, skip run), every typed-list member,
// strings and blobs of every shape, and a fault; between them every marker and every wire name
// (type headers, list item types, member headers) a fuzzer may splice.
#include <stdio.h>

#include <filesystem>
#include <fstream>
#include <memory>
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

// Every class as a reply, a bare map, a call and in a skip run; and a fault.
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
  // A fault whose detail holds what Java sends: a typed map, a list without length, 'R'.
  WriteSeed("onecall", "fault-detail",
            Byte(0) + kReply + "f" + S("code") + S("C") + S("detail") + "Mt" + U16(1) + "X" +
                S("c") + "R" + U16(0) + U16(0) + S("s") + "Vt" + U16(1) + "[I" + U16(0) + U16(1) +
                "zz" + S("message") + S("m") + "zz");
}

void ListSeeds() {
  const std::vector<kelofuzz::ListMember>& lists = kelofuzz::ListMembers();
  for (unsigned int j = 0; j < lists.size(); ++j) {
    const kelofuzz::ListMember lm = lists[j];
    std::unique_ptr<CKeloHesClass> owner(kelotest::NewFilled(*lm.owner, j + 3, 2));
    const std::string list = MustEncode(lm.member->access(*owner), lm.member->name);
    const std::string name = std::string(lm.owner->cppName) + "." + lm.member->name;
    WriteSeed("list", name, Byte(j) + list);
    // The same list head ('V' 't' <length> <item type>) with two items written as 'N'.
    const size_t typeEnd =
        4 + (static_cast<unsigned char>(list[2]) << 8 | static_cast<unsigned char>(list[3]));
    WriteSeed("list", name + "-nulls",
              Byte(j) + list.substr(0, typeEnd) + "l" + U16(0) + U16(2) + "NNz");
  }
  WriteSeed("list", "skiplist",
            Byte(static_cast<unsigned int>(lists.size())) + "Vt" + U16(4) + "[anyl" + U16(0) +
                U16(3) + "NI" + U16(0) + U16(1) + S("x") + "z");
}

// Strings (selector 0) and blobs (1) written out by the wire rules: 'S' and 'B' with a 16-bit
// count of UTF-16 units or bytes, 'N', and what our writer never sends: an encoded surrogate and
// an overlong form (chunks are in the regression files).
void TextSeeds() {
  const std::pair<const char*, std::string> shapes[] = {
      {"string-empty", Byte(0) + S("")},
      {"string-300", Byte(0) + S(std::string(300, 'x'))},
      {"string-bmp", Byte(0) + "S" + U16(7) + "Caf\xc3\xa9 \xe2\x82\xac\xe4\xb8\xad"},
      {"string-edges",  // U+0000, U+007F, U+0080, U+07FF, U+0800, U+FFFF
       Byte(0) + "S" + U16(6) + std::string("\0\x7f\xc2\x80\xdf\xbf\xe0\xa0\x80\xef\xbf\xbf", 12)},
      {"string-null", Byte(0) + "N"},
      {"string-surrogate", Byte(0) + "S" + U16(1) + "\xed\xa0\x80"},
      {"string-overlong", Byte(0) + "S" + U16(1) + "\xc0\x80"},
      {"binary-empty", Byte(1) + "B" + U16(0)},
      {"binary-4", Byte(1) + "B" + U16(4) + std::string("\0\1\xfe\xff", 4)},
      {"binary-1000", Byte(1) + "B" + U16(1000) + std::string(1000, 'Z')},
      {"binary-null", Byte(1) + "N"},
  };
  for (const auto& [name, bytes] : shapes) WriteSeed("text", name, bytes);
}

// Values of every kind (what Java writes for shared and cyclic graphs included), and their JSON.
void ValueSeeds() {
  const std::pair<const char*, std::string> values[] = {
      {"scalars", "Vl" + U16(0) + U16(5) + "NTI" + U16(0) + U16(7) + "d" + std::string(8, '\1') +
                      "D" + std::string(8, '\x40') + "z"},
      {"shared", "Vl" + U16(0) + U16(2) + "Mt" + U16(0) + "S" + U16(1) + "kS" + U16(1) + "vz" +
                     "R" + U16(0) + U16(1) + "z"},
      {"self", "Mt" + U16(4) + "Node" + "S" + U16(4) + "next" + "R" + U16(0) + U16(0) + "z"},
  };
  for (const auto& [name, bytes] : values) WriteSeed("value", name, bytes);
  const std::pair<const char*, std::string> texts[] = {
      {"kinds", R"([null, true, -1, 2.5, "\u00e9", {"$long": "-9223372036854775808"},)"
                R"( {"$date": 0}, {"$xml": "<a/>"}, {"$binary": "00ff"},)"
                R"( {"$double": "NaN"}, {"$remote": "T", "url": "u"}])"},
      {"graph", R"({"$type": "T", "a": [{"$ref": 0}, {"$ref": 1}],)"
                R"( "b": {"$map": [[1, 2]]}, "c": {"$type": "[int", "$length": 3, "$list": []}})"},
  };
  for (const auto& [name, text] : texts) WriteSeed("valuejson", name, text);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: kelo_fuzz_corpus OUT\n");
    return 2;
  }
  g_out = argv[1];
  ClassSeeds();
  ListSeeds();
  TextSeeds();
  ValueSeeds();
  printf("kelo_fuzz_corpus: %d seeds in %s\n", g_written, g_out.string().c_str());
  return 0;
}
