// Encode and decode throughput of every workload, with the heap traffic each message causes: a
// counting operator new in this program sees every allocation the library makes.
//   kelo_bench [Google Benchmark flags] | --dump DIR | --check [NAME...] |
//              --profile encode|decode NAME COUNT
// --dump writes each workload's bytes to DIR/<name>.bin (for the peers of bench/compare.sh) and
// exits.
#include <malloc.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <new>
#include <string>

#include <benchmark/benchmark.h>

#include "workloads.h"

// ---- Heap accounting ---------------------------------------------------------------------------

namespace {
// Plain counters: the benchmarks run on one thread, and atomic updates would cost the decoders
// more than the allocations they count.
unsigned long long gAllocations = 0;
long long gLive = 0;
long long gPeak = 0;

// Out of line, so that the compiler does not pair a malloc it sees with an operator delete.
__attribute__((noinline)) void* Allocate(size_t size) {
  void* p = malloc(size ? size : 1);
  if (!p) return nullptr;
  ++gAllocations;
  gLive += static_cast<long long>(malloc_usable_size(p));
  if (gLive > gPeak) gPeak = gLive;
  return p;
}
__attribute__((noinline)) void Release(void* p) {
  if (!p) return;
  gLive -= static_cast<long long>(malloc_usable_size(p));
  free(p);
}
}  // namespace

void* operator new(size_t size) {
  if (void* p = Allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) {
  if (void* p = Allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size);
}
void operator delete(void* p) noexcept {
  Release(p);
}
void operator delete[](void* p) noexcept {
  Release(p);
}
void operator delete(void* p, size_t) noexcept {
  Release(p);
}
void operator delete[](void* p, size_t) noexcept {
  Release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  Release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  Release(p);
}

namespace {

using kelobench::Workload;

// Heap figures of the loop between Start and Finish, per message.
struct HeapProbe {
  unsigned long long allocations;
  long long base;
  void Start() {
    allocations = gAllocations;
    base = gLive;
    gPeak = base;
  }
  void Finish(benchmark::State& state, const Workload& w, bool perItem) {
    const double n = static_cast<double>(state.iterations());
    const double allocs = static_cast<double>(gAllocations - allocations) / n;
    state.counters["allocs"] = allocs;
    state.counters["peak_heap"] = static_cast<double>(gPeak - base);
    if (perItem && w.items > 1) state.counters["allocs_per_item"] = allocs / w.items;
  }
};

void BM_Encode(benchmark::State& state, const Workload* w, unsigned int step) {
  const CKeloHesClass& object = kelobench::Filled(*w);
  const std::string& expected = kelobench::Bytes(*w);
  HeapProbe probe;
  probe.Start();
  for (auto _ : state) {
    CKeloOutput out(step);
    if (kelobench::Encode(*w, object, out) != 0 || out.DataSize() != expected.size()) {
      state.SkipWithError("encode failed");
      break;
    }
    benchmark::DoNotOptimize(out.Data());
  }
  probe.Finish(state, *w, false);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(expected.size()));
  state.counters["msg_bytes"] = static_cast<double>(expected.size());
}

// One output buffer for every message, emptied with SetDataSize(0): its storage is kept, so after
// the first message nothing is allocated or copied to grow it. How a sender of many messages
// should use the buffer.
void BM_EncodeReuse(benchmark::State& state, const Workload* w) {
  const CKeloHesClass& object = kelobench::Filled(*w);
  const std::string& expected = kelobench::Bytes(*w);
  CKeloOutput out(0);
  HeapProbe probe;
  probe.Start();
  for (auto _ : state) {
    out.SetDataSize(0);
    if (kelobench::Encode(*w, object, out) != 0 || out.DataSize() != expected.size()) {
      state.SkipWithError("encode failed");
      break;
    }
    benchmark::DoNotOptimize(out.Data());
  }
  probe.Finish(state, *w, false);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(expected.size()));
  state.counters["msg_bytes"] = static_cast<double>(expected.size());
}

void BM_Decode(benchmark::State& state, const Workload* w) {
  const std::string& bytes = kelobench::Bytes(*w);
  HeapProbe probe;
  probe.Start();
  for (auto _ : state) {
    // A fresh object per message, as a client receives each reply.
    CKeloHesClass* object = w->create();
    if (kelobench::Decode(*w, bytes.data(), static_cast<unsigned int>(bytes.size()), *object) !=
        0) {
      delete object;
      state.SkipWithError("decode failed");
      break;
    }
    benchmark::DoNotOptimize(object);
    delete object;
  }
  probe.Finish(state, *w, true);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(bytes.size()));
  state.counters["msg_bytes"] = static_cast<double>(bytes.size());
}

// The same decode with glibc's malloc tuned for large trees of small blocks: no fastbins (freed
// small blocks are merged at once instead of in one pass over all of them at the next large
// request, which misses the cache on every block of a tree of tens of megabytes), no trimming of
// the heap top and no separate mappings for large blocks. What a long-running receiver of large
// messages can set with mallopt or GLIBC_TUNABLES. Registered last, since the settings stay for
// the rest of the run.
void BM_DecodeTunedMalloc(benchmark::State& state, const Workload* w) {
  mallopt(M_MXFAST, 0);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  BM_Decode(state, w);
}

// The machine's ceilings over the same bytes: a copy, and a byte-at-a-time scan through a
// dependency chain (h = h * 31 + byte) that the compiler cannot vectorise.
void BM_Memcpy(benchmark::State& state, const Workload* w) {
  const std::string& bytes = kelobench::Bytes(*w);
  std::string target(bytes.size(), '\0');
  for (auto _ : state) {
    memcpy(&target[0], bytes.data(), bytes.size());
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(bytes.size()));
}

void BM_Scan(benchmark::State& state, const Workload* w) {
  const std::string& bytes = kelobench::Bytes(*w);
  for (auto _ : state) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    unsigned int h = 0;
    for (size_t i = 0; i < n; ++i) {
      h = h * 31 + p[i];
      // Keeps the chain byte-serial: without it the compiler may unroll into a polynomial.
      benchmark::DoNotOptimize(h);
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(bytes.size()));
}

// One encode or decode outside the benchmark loop, for profilers: callgrind counts exactly the
// instructions of these two functions with --toggle-collect=kelo_profile_*.
extern "C" __attribute__((noinline)) int kelo_profile_encode(const Workload* w) {
  CKeloOutput out(0);
  return kelobench::Encode(*w, kelobench::Filled(*w), out);
}
extern "C" __attribute__((noinline)) int kelo_profile_decode(const Workload* w) {
  const std::string& bytes = kelobench::Bytes(*w);
  CKeloHesClass* object = w->create();
  const int rc =
      kelobench::Decode(*w, bytes.data(), static_cast<unsigned int>(bytes.size()), *object);
  delete object;
  return rc;
}

// --profile encode|decode NAME COUNT: COUNT messages of one workload, nothing else timed.
int Profile(const char* what, const char* name, int count) {
  const Workload* w = kelobench::FindWorkload(name);
  if (!w) {
    fprintf(stderr, "no workload %s\n", name);
    return 1;
  }
  kelobench::Bytes(*w);
  const bool encode = strcmp(what, "encode") == 0;
  for (int i = 0; i < count; ++i) {
    if ((encode ? kelo_profile_encode(w) : kelo_profile_decode(w)) != 0) return 1;
  }
  return 0;
}

// Where the object's own bytes lie inside a workload's message (behind the call or reply
// envelope), for the peers, whose decoders read a bare object.
void ObjectRange(const Workload& w, const std::string& bytes, size_t& offset, size_t& length) {
  offset = 0;
  length = bytes.size();
  if (w.framing == kelobench::kReply) {
    offset = 3;  // 'r' 01 00
    length = bytes.size() - 4;
  } else if (w.framing == kelobench::kCall) {
    offset = 6 + strlen(w.method);  // 'c' 00 01 'm' <2-byte length> <method>
    length = bytes.size() - offset - 1;
  }
}

bool WriteFile(const std::string& path, const std::string& data) {
  FILE* f = fopen(path.c_str(), "wb");
  const bool ok = f && fwrite(data.data(), 1, data.size(), f) == data.size();
  if (f && fclose(f) != 0) return false;
  if (!ok) fprintf(stderr, "cannot write %s\n", path.c_str());
  return ok;
}

// Writes DIR/<name>.bin (the message), DIR/<name>.rec (the object as a record of the Java peer:
// 'o', 2-byte type name length, type name, 4-byte length, bytes) and DIR/workloads.tsv.
int Dump(const char* dir) {
  std::string manifest = "# name\ttype\tbytes\tobject_offset\tobject_length\titems\n";
  for (const Workload& w : kelobench::Workloads()) {
    const std::string& bytes = kelobench::Bytes(w);
    size_t offset, length;
    ObjectRange(w, bytes, offset, length);
    const std::string type = w.typeName;
    std::string record(1, 'o');
    record += static_cast<char>(type.size() >> 8);
    record += static_cast<char>(type.size() & 0xFF);
    record += type;
    for (int shift = 24; shift >= 0; shift -= 8)
      record += static_cast<char>((length >> shift) & 0xFF);
    record.append(bytes, offset, length);
    const std::string base = std::string(dir) + "/" + w.name;
    if (!WriteFile(base + ".bin", bytes) || !WriteFile(base + ".rec", record)) return 1;
    char line[256];
    snprintf(line, sizeof line, "%s\t%s\t%zu\t%zu\t%zu\t%d\n", w.name, w.typeName, bytes.size(),
             offset, length, w.items);
    manifest += line;
  }
  if (!WriteFile(std::string(dir) + "/workloads.tsv", manifest)) return 1;
  fputs(manifest.c_str(), stdout);
  return 0;
}

// --check [NAME...]: decodes each workload's message into a fresh object, encodes that again
// and compares the bytes; exit status 1 on the first difference or failure.
int Check(int argc, char** argv) {
  int failures = 0;
  for (const Workload& w : kelobench::Workloads()) {
    bool wanted = argc == 0;
    for (int i = 0; i < argc; ++i) wanted = wanted || strcmp(argv[i], w.name) == 0;
    if (!wanted) continue;
    const std::string& bytes = kelobench::Bytes(w);
    std::unique_ptr<CKeloHesClass> object(w.create());
    CKeloOutput out(0);
    int rc = kelobench::Decode(w, bytes.data(), static_cast<unsigned int>(bytes.size()), *object);
    if (rc == 0) rc = kelobench::Encode(w, *object, out);
    const bool same = rc == 0 && std::string(out.Data(), out.DataSize()) == bytes;
    printf("%-18s %10zu bytes  %s\n", w.name, bytes.size(),
           same ? "decoded and re-encoded to the same bytes" : "MISMATCH");
    if (!same) ++failures;
  }
  return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && strcmp(argv[1], "--check") == 0) return Check(argc - 2, argv + 2);
  if (argc == 3 && strcmp(argv[1], "--dump") == 0) return Dump(argv[2]);
  if (argc == 5 && strcmp(argv[1], "--profile") == 0)
    return Profile(argv[2], argv[3], atoi(argv[4]));
  for (const Workload& w : kelobench::Workloads()) {
    benchmark::RegisterBenchmark((std::string("encode/") + w.name).c_str(), BM_Encode, &w, 0u);
    benchmark::RegisterBenchmark((std::string("encode_reuse/") + w.name).c_str(), BM_EncodeReuse,
                                 &w);
    benchmark::RegisterBenchmark((std::string("decode/") + w.name).c_str(), BM_Decode, &w);
  }
  // What the default growth step of 512 bytes costs a 10 MB message: a copy of everything
  // written so far every 512 bytes.
  benchmark::RegisterBenchmark("encode_step512/restopo_10000", BM_Encode,
                               kelobench::FindWorkload("restopo_10000"), 512u)
      ->Iterations(1);
  for (const Workload& w : kelobench::Workloads()) {
    benchmark::RegisterBenchmark((std::string("memcpy/") + w.name).c_str(), BM_Memcpy, &w);
    benchmark::RegisterBenchmark((std::string("scan/") + w.name).c_str(), BM_Scan, &w);
  }
  for (const char* name : {"restopo_100", "restopo_10000"}) {
    benchmark::RegisterBenchmark((std::string("decode_tunedmalloc/") + name).c_str(),
                                 BM_DecodeTunedMalloc, kelobench::FindWorkload(name));
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
