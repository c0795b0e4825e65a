// Measures the worst peak heap that a reply can cause per byte of input. For every typed-list
// member of the catalogue it reads a message whose list holds N items written as 'N' and as
// empty maps of the item class (each item still becomes a full default object), and it reads the
// cheap shapes of the codec core: skipped lists, strings of one-character chunks, blobs. It
// prints the peak heap (allocator rounding included) per input byte of each, worst first.
//   kelo_bench_amplification [ITEMS]       (default 20000 items per list)
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <kelohessian/kelohessian.h>

#include "support/heap.h"

namespace {

namespace heap = kelotest::heap;

std::string U16(unsigned int n) {
  return std::string{static_cast<char>((n >> 8) & 0xFF), static_cast<char>(n & 0xFF)};
}
std::string U32(unsigned int n) {
  return U16(n >> 16) + U16(n & 0xFFFF);
}
std::string MapHeader(const kelo::ClassInfo& info) {
  return "Mt" + U16(info.typeNameLength) + std::string(info.typeName, info.typeNameLength);
}
std::string Member(const char* name, unsigned int length) {
  return "S" + U16(length) + std::string(name, length);
}

struct Row {
  std::string what;
  size_t input;
  size_t peak;
  int rc;
  double PerByte() const { return static_cast<double>(peak) / static_cast<double>(input); }
};

// Reads a reply into a fresh object of the class and returns the peak heap over what was live
// before the object was created.
Row Measure(const std::string& what, const kelo::ClassInfo& info, const std::string& map) {
  const std::string reply = std::string("r\x01\x00", 3) + map + "z";
  const size_t base = heap::liveBytes;
  heap::StartCounting();
  int rc;
  {
    std::unique_ptr<CKeloHesClass> object(info.create());
    CKeloInput in(reply.data(), static_cast<unsigned int>(reply.size()));
    CKeloInputParse parse(in);
    rc = KeloHessianReadResponse(*object, parse);
  }
  return Row{what, reply.size(), heap::peakBytes - base, rc};
}

}  // namespace

int main(int argc, char** argv) {
  const unsigned int items = argc > 1 ? static_cast<unsigned int>(atoi(argv[1])) : 20000;
  std::vector<Row> rows;
  // Every typed-list member, each once: own members of each class only.
  for (unsigned int c = 0; c < kelo::CatalogueSize(); ++c) {
    const kelo::ClassInfo& owner = *kelo::CatalogueAt(c);
    for (unsigned int m = 0; m < owner.memberCount; ++m) {
      const kelo::MemberInfo& member = owner.members[m];
      if (member.kind != kelo::KELO_KIND_LIST) continue;
      const kelo::ClassInfo& item = *member.type;
      const std::string head = MapHeader(owner) + Member(member.name, member.nameLength) + "Vt" +
                               U16(item.typeNameLength + 1) + "[" +
                               std::string(item.typeName, item.typeNameLength) + "l" + U32(items);
      const std::string name = std::string(owner.cppName) + "." + member.name;
      rows.push_back(Measure(name + ": 'N' items", owner, head + std::string(items, 'N') + "zz"));
      std::string maps;
      for (unsigned int i = 0; i < items; ++i) maps += MapHeader(item) + "z";
      rows.push_back(Measure(name + ": empty maps", owner, head + maps + "zz"));
    }
  }
  // The cheap shapes, inside an unknown member of the smallest message.
  const kelo::ClassInfo& header = *kelo::CatalogueFind("kelo.cl.Header");
  const std::string unknown = MapHeader(header) + Member("unknown", 7);
  rows.push_back(
      Measure("skipped list of 'N' items", header,
              unknown + "Vt" + U16(2) + "[x" + "l" + U32(items) + std::string(items, 'N') + "zz"));
  std::string chunks;
  for (unsigned int i = 0; i < items; ++i) chunks += std::string("s\x00\x01x", 4);
  rows.push_back(Measure("skipped string of 1-char chunks", header,
                         unknown + chunks + std::string("S\x00\x00", 3) + "z"));
  rows.push_back(Measure("skipped string, 1 byte per char", header,
                         unknown + "S" + U16(60000) + std::string(60000, 'x') + "z"));
  rows.push_back(
      Measure("skipped blob", header, unknown + "B" + U16(60000) + std::string(60000, 'x') + "z"));

  std::sort(rows.begin(), rows.end(),
            [](const Row& a, const Row& b) { return a.PerByte() > b.PerByte(); });
  printf("%-52s %10s %12s %10s  %s\n", "reply shape", "input B", "peak heap B", "B/byte", "rc");
  for (const Row& r : rows)
    printf("%-52s %10zu %12zu %10.1f  %d\n", r.what.c_str(), r.input, r.peak, r.PerByte(), r.rc);
  return 0;
}
