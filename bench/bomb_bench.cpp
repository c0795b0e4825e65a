// Time per byte of every construct that repeats on the wire, read at 10 KB, 1 MB and 10 MB: a
// reader that is linear in the input shows the same nanoseconds per byte at every size, one that
// is quadratic shows them grow a hundredfold from one size to the next.
//   kelo_bench_bombs [--markdown FILE] [Google Benchmark flags]
// With --markdown the table of ns/byte per shape and size, and the ratio of the largest to the
// smallest, is written to FILE (bench/compare.sh appends it to bench/RESULTS.md).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <kelohessian/kelohessian.h>

namespace {

std::string U16(unsigned int n) {
  return std::string{static_cast<char>((n >> 8) & 0xFF), static_cast<char>(n & 0xFF)};
}
std::string U32(unsigned int n) {
  return U16(n >> 16) + U16(n & 0xFFFF);
}
std::string Named(const char* marker, const std::string& name) {
  return marker + U16(static_cast<unsigned int>(name.size())) + name;
}
std::string MapHeader(const std::string& type) {
  return Named("Mt", type);
}
std::string Member(const std::string& name) {
  return Named("S", name);
}
std::string ListHeader(const std::string& itemType, unsigned int count) {
  return Named("Vt", "[" + itemType) + "l" + U32(count);
}

// One shape: the reply class it is read into, and the bytes of a reply whose repeated part is
// repeated until the reply weighs about `size` bytes.
struct Shape {
  const char* name;
  const char* type;
  std::string head;    // reply opening, map header and the member holding the repeats
  std::string repeat;  // the piece repeated
  std::string tail;    // what closes the repeats, the map and the reply
  // For a list, the count of the list header is patched to the number of repeats at this offset.
  size_t countAt;
};

std::vector<Shape> Shapes() {
  const std::string reply = std::string("r\x01\x00", 3);
  const std::string server = MapHeader("CommEngine.VKAP_IE_ServerInfo");
  const std::string header = MapHeader("kelo.cl.Header");
  const std::string unknown = header + Member("unknown");
  const std::string list = ListHeader("x", 0);
  const std::string partitions = MapHeader("kelo.cl.CommCacheRes") + Member("partitionElemRes") +
                                 ListHeader("kelo.cl.ResPartition", 0);
  return {
      {"blob, empty chunks", "CommEngine.VKAP_IE_ServerInfo",
       reply + server + Member("m_serverVersion"), std::string("b\0\0", 3),
       std::string("B\0\0zz", 5), 0},
      {"blob, 1-byte chunks", "CommEngine.VKAP_IE_ServerInfo",
       reply + server + Member("m_serverVersion"), std::string("b\0\1x", 4),
       std::string("B\0\0zz", 5), 0},
      {"string, empty chunks (skipped)", "kelo.cl.Header", reply + unknown, std::string("s\0\0", 3),
       std::string("S\0\0zz", 5), 0},
      {"string, 1-char chunks (skipped)", "kelo.cl.Header", reply + unknown,
       std::string("s\0\1x", 4), std::string("S\0\0zz", 5), 0},
      {"list items (skipped)", "kelo.cl.Header", reply + unknown + list, "N", "zzz",
       reply.size() + unknown.size() + list.size() - 4},
      {"map entries (skipped)", "kelo.cl.Header", reply + unknown + MapHeader("x"),
       Member("q") + "I" + U32(1), "zzz", 0},
      {"unknown members", "kelo.cl.Header", reply + header, Member("q") + "I" + U32(1), "zz", 0},
      {"repeated known member", "kelo.cl.Header", reply + header, Member("cnc") + "I" + U32(1),
       "zz", 0},
      {"known list items", "kelo.cl.CommCacheRes", reply + partitions,
       MapHeader("kelo.cl.ResPartition") + Member("pidName") + Named("S", "p") + "z", "zzz",
       reply.size() + partitions.size() - 4},
  };
}

std::string Build(const Shape& shape, size_t size) {
  const size_t fixed = shape.head.size() + shape.tail.size();
  const size_t n = size > fixed ? (size - fixed) / shape.repeat.size() : 1;
  std::string bytes = shape.head;
  bytes.reserve(fixed + n * shape.repeat.size());
  for (size_t i = 0; i < n; ++i) bytes += shape.repeat;
  bytes += shape.tail;
  if (shape.countAt) bytes.replace(shape.countAt, 4, U32(static_cast<unsigned int>(n)));
  return bytes;
}

void BM_Bomb(benchmark::State& state, const Shape* shape, size_t size) {
  const std::string bytes = Build(*shape, size);
  const kelo::ClassInfo* info = kelo::CatalogueFind(shape->type);
  for (auto _ : state) {
    std::unique_ptr<CKeloHesClass> object(info->create());
    CKeloInput in(bytes.data(), static_cast<unsigned int>(bytes.size()));
    CKeloInputParse parse(in);
    if (KeloHessianReadResponse(*object, parse) != 0 || in.GetNumExtracted() != bytes.size()) {
      state.SkipWithError("the reply was not read whole");
      break;
    }
    benchmark::DoNotOptimize(object.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(bytes.size()));
}

const size_t kSizes[] = {10 * 1000, 1000 * 1000, 10 * 1000 * 1000};
const char* const kSizeNames[] = {"10 KB", "1 MB", "10 MB"};

// Collects ns per byte of every run beside the usual console output.
class TableReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> nsPerByte;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const auto bytes = run.counters.find("bytes_per_second");
      if (run.error_occurred || bytes == run.counters.end() || bytes->second.value <= 0) continue;
      nsPerByte[run.benchmark_name()] = 1e9 / bytes->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

std::string RunName(const Shape& shape, size_t s) {
  return std::string("bomb/") + shape.name + "/" + kSizeNames[s];
}

bool WriteTable(const char* path, const std::vector<Shape>& shapes, const TableReporter& r) {
  FILE* f = std::fopen(path, "w");
  if (!f) return false;
  std::fprintf(f,
               "| repeated construct | 10 KB ns/B | 1 MB ns/B | 10 MB ns/B | 10 MB / 10 KB |\n"
               "| --- | ---: | ---: | ---: | ---: |\n");
  for (const Shape& shape : shapes) {
    double ns[3] = {0, 0, 0};
    for (size_t s = 0; s < 3; ++s) {
      const auto found = r.nsPerByte.find(RunName(shape, s));
      if (found != r.nsPerByte.end()) ns[s] = found->second;
    }
    std::fprintf(f, "| %s | %.2f | %.2f | %.2f | %.2f |\n", shape.name, ns[0], ns[1], ns[2],
                 ns[0] > 0 ? ns[2] / ns[0] : 0.0);
  }
  return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const char* markdown = nullptr;
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--markdown") == 0 && i + 1 < argc) {
      markdown = argv[++i];
    } else {
      args.push_back(argv[i]);
    }
  }
  int count = static_cast<int>(args.size());
  const std::vector<Shape> shapes = Shapes();
  for (const Shape& shape : shapes)
    for (size_t s = 0; s < 3; ++s)
      benchmark::RegisterBenchmark(RunName(shape, s).c_str(), BM_Bomb, &shape, kSizes[s])
          ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&count, args.data());
  TableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  if (markdown && !WriteTable(markdown, shapes, reporter)) {
    std::fprintf(stderr, "cannot write %s\n", markdown);
    return 1;
  }
  return 0;
}
