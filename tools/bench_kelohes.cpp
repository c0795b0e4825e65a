// How kelohes's dump and decode scale with the size of a reply: replies of about 1 to 20 MB, one
// made of many small maps (a topology response with a long list) and one of a few huge chunked
// values (a blob and a string of several megabytes). Linear work shows as a flat ns/byte column.
// Run by hand (nice -n 10 build/<dir>/tools/kelohes_bench); not part of ctest.
#include <malloc.h>
#include <stdio.h>
#include <time.h>

#include <memory>
#include <string>

#include <kelohessian/kelohessian.h>

#include "kelohes/codec.h"
#include "kelohes/dump.h"
#include "support/filler.h"
#include "support/test_support.h"

namespace {

std::string Reply(const CKeloHesClass& object) {
  CKeloOutput out(0);
  if (out.Append("r\x01\x00", 3) != 0 || object.Serialize(out) != 0 || out.Append('z') != 0)
    return std::string();
  return std::string(out.Data(), out.DataSize());
}

// A topology response whose list has enough items for about `bytes` bytes.
std::string ManyMaps(size_t bytes) {
  const kelo::ClassInfo& info = *kelo::CatalogueFind("kelo.cl.ResTopology");
  std::unique_ptr<CKeloHesClass> probe(kelotest::NewFilled(info, 1, 100));
  const size_t perItem = Reply(*probe).size() / 100;
  std::unique_ptr<CKeloHesClass> object(
      kelotest::NewFilled(info, 1, static_cast<int>(bytes / perItem)));
  return Reply(*object);
}

// A site whose body blob and name string (one third non-ASCII) fill about `bytes` bytes.
std::string HugeValues(size_t bytes) {
  const kelo::ClassInfo& info = *kelo::CatalogueFind("kelo.cl.VerSite");
  std::unique_ptr<CKeloHesClass> object(info.create());
  std::string body(bytes / 2, '\0');
  for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i * 31);
  std::u16string name;
  for (size_t i = 0; i < bytes / 4; ++i)
    name.push_back(static_cast<char16_t>(i % 3 == 0 ? 0x4E2D : 'a' + i % 26));
  for (unsigned int m = 0; m < kelo::CatalogueMemberCount(info); ++m) {
    const kelo::MemberInfo& member = *kelo::CatalogueMemberAt(info, m);
    CKeloHesObject& target = member.access(*object);
    if (member.kind == kelo::KELO_KIND_BINARY)
      static_cast<CKeloHesBinary&>(target).Copy(body.data(),
                                                static_cast<unsigned int>(body.size()));
    else if (std::string(member.name) == "name")
      static_cast<CKeloHesString&>(target).Copy(reinterpret_cast<const short*>(name.data()),
                                                static_cast<unsigned int>(name.size()));
  }
  return Reply(*object);
}

// The best of five runs in processor time, which a busy machine disturbs less than wall time.
template <class F>
double BestMs(F f) {
  double best = 1e30;
  for (int run = 0; run < 5; ++run) {
    const clock_t start = clock();
    f();
    const double ms = 1000.0 * static_cast<double>(clock() - start) / CLOCKS_PER_SEC;
    if (ms < best) best = ms;
  }
  return best;
}

void Measure(const char* shape, const char* typeName, const std::string& reply) {
  const kelo::ClassInfo& info = *kelo::CatalogueFind(typeName);
  size_t dumpSize = 0;
  const double dumpMs = BestMs([&] {
    size_t size = 0;
    const kelohes::DumpResult r =
        kelohes::Dump(reply.data(), reply.size(), false, [&](const char*, size_t n) {
          size += n;
          return true;
        });
    dumpSize = r.ok ? size : 0;
  });
  size_t jsonSize = 0;
  const double decodeMs = BestMs([&] {
    std::unique_ptr<CKeloHesClass> object(info.create());
    CKeloInput in(reply.data(), static_cast<unsigned int>(reply.size()));
    CKeloInputParse parse(in);
    jsonSize =
        KeloHessianReadResponse(*object, parse) == 0 ? kelohes::ToJson(*object, info).size() : 0;
  });
  const double mb = reply.size() / 1e6;
  printf(
      "%-10s %7.2f MB  dump %8.1f ms %6.1f ns/B (%zu B out)  decode %8.1f ms %6.1f ns/B (%zu B "
      "out)\n",
      shape, mb, dumpMs, dumpMs * 1e6 / reply.size(), dumpSize, decodeMs,
      decodeMs * 1e6 / reply.size(), jsonSize);
}

}  // namespace

int main() {
  // Keep large blocks on the heap, so that repeated runs reuse warm memory: otherwise every run
  // of the biggest sizes maps fresh pages, and the kernel's page clearing (a cost per page, far
  // above the dump's own on a virtual machine) hides how the dump itself scales.
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  for (size_t mb : {1, 2, 5, 10, 20})
    Measure("many maps", "kelo.cl.ResTopology", ManyMaps(mb << 20));
  for (size_t mb : {1, 2, 5, 10, 20})
    Measure("huge values", "kelo.cl.VerSite", HugeValues(mb << 20));
  return 0;
}
