// Encode and decode throughput of every workload, through the classic calls and the one-call
// functions of kelo.h, with the heap traffic each message causes (a counting operator new in this
// program sees every allocation the library makes), and how the one-call encoders scale from
// 10 KB to 10 MB.
//   kelo_bench [Google Benchmark flags] | --dump DIR | --check [NAME...] |
//              --profile encode|decode NAME COUNT
// --dump writes each workload's bytes to DIR/<name>.bin (for the peers of bench/compare.sh) and
// exits.
#include <malloc.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

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

// ---- The one-call interface ---------------------------------------------------------------------
// kelo.h's encoders and DecodeReply on every workload's object. A reply workload's reply is the
// same bytes as the classic benchmarks above write and read; the others are wrapped as a reply
// ('r' 01 00 ... 'z', four bytes more) or, by EncodeCall, as a call.

// The workload's object as a reply, built once.
const std::string& ReplyBytes(const Workload& w) {
  if (w.framing == kelobench::kReply) return kelobench::Bytes(w);
  static std::map<std::string, std::string> cache;
  std::string& bytes = cache[w.name];
  if (bytes.empty()) {
    std::vector<std::uint8_t> out;
    if (!kelo::EncodeReply(kelobench::Filled(w), out)) abort();
    bytes.assign(out.begin(), out.end());
  }
  return bytes;
}

enum class Modern {
  kReply,       // EncodeReply into a fresh vector per message, beside "encode"
  kReplyReuse,  // EncodeReply into one vector for every message, beside "encode_reuse"
  kCall         // EncodeCall into a fresh vector per message
};

void BM_EncodeModern(benchmark::State& state, const Workload* w, Modern how) {
  const CKeloHesClass& object = kelobench::Filled(*w);
  const char* method = w->method ? w->method : "call";
  auto encode = [&](std::vector<std::uint8_t>& out) {
    return how == Modern::kCall ? kelo::EncodeCall(method, object, out)
                                : kelo::EncodeReply(object, out);
  };
  // One message before the loop, checked against the classic writer's bytes where they are the
  // same message; the reused vector keeps its storage from it.
  std::vector<std::uint8_t> reused;
  const std::string* classic = how != Modern::kCall             ? &ReplyBytes(*w)
                               : w->framing == kelobench::kCall ? &kelobench::Bytes(*w)
                                                                : nullptr;
  if (!encode(reused) || (classic && std::string(reused.begin(), reused.end()) != *classic)) {
    state.SkipWithError("encode failed or differs from the classic writer");
    return;
  }
  const size_t size = reused.size();
  if (how != Modern::kReplyReuse) std::vector<std::uint8_t>().swap(reused);
  HeapProbe probe;
  probe.Start();
  for (auto _ : state) {
    std::vector<std::uint8_t> fresh;
    std::vector<std::uint8_t>& out = how == Modern::kReplyReuse ? reused : fresh;
    if (!encode(out) || out.size() != size) {
      state.SkipWithError("encode failed");
      break;
    }
    benchmark::DoNotOptimize(out.data());
  }
  probe.Finish(state, *w, false);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
  state.counters["msg_bytes"] = static_cast<double>(size);
}

void BM_DecodeReply(benchmark::State& state, const Workload* w) {
  const std::string& bytes = ReplyBytes(*w);
  HeapProbe probe;
  probe.Start();
  for (auto _ : state) {
    // A fresh object per message, as in BM_Decode.
    std::unique_ptr<CKeloHesClass> object(w->create());
    if (!kelo::DecodeReply(bytes.data(), bytes.size(), *object)) {
      state.SkipWithError("decode failed");
      break;
    }
    benchmark::DoNotOptimize(object.get());
  }
  probe.Finish(state, *w, true);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(bytes.size()));
  state.counters["msg_bytes"] = static_cast<double>(bytes.size());
}

// ---- Any value ----------------------------------------------------------------------------------
// The generic reader and writer on a workload's bytes: DecodeValue (DecodeReply of a Value for a
// reply) into a fresh tree per message, the job Java's readObject() does into generic maps; and
// EncodeValue (EncodeReply) of that tree into a fresh vector, checked against the bytes.

kelo::Status DecodeAny(const Workload& w, const std::string& bytes, kelo::Value& value) {
  return w.framing == kelobench::kReply ? kelo::DecodeReply(bytes.data(), bytes.size(), value)
                                        : kelo::DecodeValue(bytes.data(), bytes.size(), value);
}

void BM_DecodeValue(benchmark::State& state, const Workload* w) {
  const std::string& bytes = kelobench::Bytes(*w);
  HeapProbe probe;
  probe.Start();
  for (auto _ : state) {
    kelo::Value value;
    if (!DecodeAny(*w, bytes, value)) {
      state.SkipWithError("decode failed");
      break;
    }
    benchmark::DoNotOptimize(value);
  }
  probe.Finish(state, *w, true);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(bytes.size()));
  state.counters["msg_bytes"] = static_cast<double>(bytes.size());
}

void BM_EncodeValue(benchmark::State& state, const Workload* w) {
  const std::string& bytes = kelobench::Bytes(*w);
  kelo::Value value;
  if (!DecodeAny(*w, bytes, value)) {
    state.SkipWithError("decode failed");
    return;
  }
  HeapProbe probe;
  probe.Start();
  for (auto _ : state) {
    std::vector<std::uint8_t> out;
    const kelo::Status s = w->framing == kelobench::kReply ? kelo::EncodeReply(value, out)
                                                           : kelo::EncodeValue(value, out);
    if (!s || out.size() != bytes.size()) {
      state.SkipWithError("encode failed");
      break;
    }
    benchmark::DoNotOptimize(out.data());
  }
  probe.Finish(state, *w, false);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(bytes.size()));
  state.counters["msg_bytes"] = static_cast<double>(bytes.size());
}

// ---- Scaling of the one-call encoders -----------------------------------------------------------
// Each encoder on messages of about 10 KB, 1 MB and 10 MB, into a fresh vector per message, so
// that the vector grows from nothing every time: linear work keeps the MB/s of the three sizes
// level. Calls and replies carry a topology response; a fault carries a message of that size.
// glibc is told to keep freed memory (no trimming of the heap top, no separate mappings for large
// blocks): otherwise each 10 MB message gets pages fresh from the system, whose first touch costs
// more than the encoding on a virtual machine (about 12 microseconds a page on ours), while 10 KB
// messages reuse the heap. Registered last, as the settings stay for the rest of the run.

const size_t kScalingSizes[] = {10u << 10, 1u << 20, 10u << 20};

// A topology response of about `bytes` bytes, built once per size.
const CKeloHesClass& TopologyOfSize(size_t bytes) {
  static std::map<size_t, std::unique_ptr<CKeloHesClass>> cache;
  std::unique_ptr<CKeloHesClass>& slot = cache[bytes];
  if (!slot) {
    const size_t one = kelobench::Bytes(*kelobench::FindWorkload("restopo_1")).size();
    const size_t hundred = kelobench::Bytes(*kelobench::FindWorkload("restopo_100")).size();
    const size_t perAp = (hundred - one) / 99;
    const size_t fixed = one - perAp;
    slot.reset(kelobench::BuildTopology(
        bytes > fixed + perAp ? static_cast<int>((bytes - fixed) / perAp) : 1));
  }
  return *slot;
}

// `bytes` bytes of UTF-8 in several scripts, cut at a character boundary.
std::string TextOfSize(size_t bytes) {
  static const char* const kPieces[] = {
      "Z\xC3\xBCrich ", "\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1 ", "Krak\xC3\xB3w ",
      "\xE6\x9D\xB1\xE4\xBA\xAC ", "no such partition "};
  std::string text;
  for (int i = 0; text.size() < bytes; ++i) text += kPieces[i % 5];
  while (text.size() > bytes || (static_cast<unsigned char>(text[text.size() - 1]) & 0x80))
    text.pop_back();
  return text;
}

// kClassic is the classic writer's reply into a fresh CKeloOutput(0), for reference: what the
// memory system costs a larger message (its object tree and its output no longer fit the caches)
// shows in it too.
enum class Encoder { kCall, kReply, kFault, kClassic };

void BM_Scaling(benchmark::State& state, Encoder encoder, size_t bytes) {
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  const CKeloHesClass* topology = encoder == Encoder::kFault ? nullptr : &TopologyOfSize(bytes);
  const std::string text = encoder == Encoder::kFault ? TextOfSize(bytes) : std::string();
  // One message in memory of its own, freed again; its size, or 0 when it failed.
  auto encode = [&]() -> size_t {
    if (encoder == Encoder::kClassic) {
      CKeloOutput out(0);
      const bool ok = out.Append("r\x01\x00", 3) == 0 &&
                      static_cast<const CKeloHesObject&>(*topology).Serialize(out) == 0 &&
                      out.Append('z') == 0;
      benchmark::DoNotOptimize(out.Data());
      return ok ? out.DataSize() : 0;
    }
    std::vector<std::uint8_t> out;
    const kelo::Status s =
        encoder == Encoder::kCall    ? kelo::EncodeCall("getTopology", *topology, out)
        : encoder == Encoder::kReply ? kelo::EncodeReply(*topology, out)
                                     : kelo::EncodeFault("ServiceException", text, out);
    benchmark::DoNotOptimize(out.data());
    return s ? out.size() : 0;
  };
  // One message before the loop, so that the heap holds the memory the loop's messages reuse.
  const size_t size = encode();
  for (auto _ : state) {
    if (size == 0 || encode() != size) {
      state.SkipWithError("encode failed");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
  state.counters["msg_bytes"] = static_cast<double>(size);
}

// The machine's ceilings over the same bytes: a copy, and a byte-at-a-time scan through the
// cheapest dependency chain there is (s += byte, one add per byte), kept from being vectorised.
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
    unsigned int s = 0;
    for (size_t i = 0; i < n; ++i) {
      s += p[i];
      // Keeps the chain byte-serial: without it the compiler adds 16 or 32 bytes at a time.
      benchmark::DoNotOptimize(s);
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
  for (const Workload& w : kelobench::Workloads()) {
    benchmark::RegisterBenchmark((std::string("encode_reply/") + w.name).c_str(), BM_EncodeModern,
                                 &w, Modern::kReply);
    benchmark::RegisterBenchmark((std::string("encode_reply_reuse/") + w.name).c_str(),
                                 BM_EncodeModern, &w, Modern::kReplyReuse);
    benchmark::RegisterBenchmark((std::string("encode_call/") + w.name).c_str(), BM_EncodeModern,
                                 &w, Modern::kCall);
    benchmark::RegisterBenchmark((std::string("decode_reply/") + w.name).c_str(), BM_DecodeReply,
                                 &w);
  }
  for (const char* name : {"restopo_100", "restopo_10000"}) {
    const Workload* w = kelobench::FindWorkload(name);
    benchmark::RegisterBenchmark((std::string("decode_value/") + name).c_str(), BM_DecodeValue, w);
    benchmark::RegisterBenchmark((std::string("encode_value/") + name).c_str(), BM_EncodeValue, w);
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
  const struct {
    const char* name;
    Encoder encoder;
  } encoders[] = {{"encode_call", Encoder::kCall},
                  {"encode_reply", Encoder::kReply},
                  {"encode_fault", Encoder::kFault},
                  {"classic_reply", Encoder::kClassic}};
  for (const auto& e : encoders) {
    for (size_t bytes : kScalingSizes) {
      const std::string size = bytes < (1u << 20) ? std::to_string(bytes >> 10) + "KB"
                                                  : std::to_string(bytes >> 20) + "MB";
      benchmark::RegisterBenchmark(("scaling/" + std::string(e.name) + "/" + size).c_str(),
                                   BM_Scaling, e.encoder, bytes);
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
