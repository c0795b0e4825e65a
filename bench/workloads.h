// The benchmark workloads: messages built by the library's own encoder from deterministic,
// realistic values, so that no message file needs to be kept in the tree.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <kelohessian/kelohessian.h>

namespace kelobench {

// How a workload's bytes are framed, and so how they are decoded.
enum Framing {
  kReply,  // 'r' 01 00 <response> 'z': KeloHessianReadResponse
  kCall,   // 'c' 00 01 'm' <method> <request> 'z': KeloHessianBuildRequest
  kBare    // the object's own Serialize, nothing around it
};

struct Workload {
  const char* name;
  Framing framing;
  const char* method;          // for kCall
  const char* typeName;        // wire type name of the top object (for the peers)
  int items;                   // access points (restopo_*) or records, for per-item figures
  CKeloHesClass* (*create)();  // an empty object of the top class
  CKeloHesClass* (*build)();   // the filled object
};

// Every workload, in report order.
const std::vector<Workload>& Workloads();
const Workload* FindWorkload(const std::string& name);

// The filled object of a workload, built once and kept for the run.
const CKeloHesClass& Filled(const Workload& w);
// The workload's bytes as a peer receives them, built once and kept for the run.
const std::string& Bytes(const Workload& w);

// A topology response (the object of the restopo_* workloads) with aps access points.
CKeloHesClass* BuildTopology(int aps);

// Encodes the filled object as the workload frames it (KeloHessianBuildRequest for a call, the
// object's Serialize for the rest); 0 or the library's code.
int Encode(const Workload& w, const CKeloHesClass& object, CKeloOutput& out);
// Decodes bytes of the workload into object; 0 or the library's code.
int Decode(const Workload& w, const char* data, unsigned int size, CKeloHesClass& object);

}  // namespace kelobench
