// Moving objects through an out-of-process Hessian peer (the Java or the hessian.js program of
// interop/): a batch of records goes to the peer in one file, the peer's answers come back in
// another, so one peer start serves many objects. The record layouts are described in
// interop/README.md ("Record files").
#pragma once

#include <string>
#include <vector>

namespace kelointerop {

// What the peer writes back around the object it read.
enum PeerFrame : char {
  kPlainObject = 'o',  // the object alone
  kReply = 'r',        // a reply: 'r' <version bytes> object 'z'
  kCall = 'c',         // a call of method "roundtrip" with the object as its one argument
  kFault = 'f'         // (Java only) reads a fault reply and answers "code\nmessage"
};

struct PeerRecord {
  PeerFrame frame;
  std::string type;   // wire type name of the object's class
  std::string bytes;  // Hessian bytes of one object
};

struct PeerAnswer {
  bool ok;            // false: the peer could not read or write this record
  std::string bytes;  // what the peer wrote, or its error text
};

bool ReadFile(const std::string& path, std::string& content);
bool WriteFile(const std::string& path, const std::string& content);

std::string EncodeRecords(const std::vector<PeerRecord>& records);
bool DecodeRecords(const std::string& content, std::vector<PeerRecord>& records);

// Writes records to <work>.in, runs `<command> roundtrip <work>.in <work>.out` through the shell
// and reads the answers, one per record. False with error set when the peer fails as a whole.
bool RunPeer(const std::string& command, const std::string& work,
             const std::vector<PeerRecord>& records, std::vector<PeerAnswer>& answers,
             std::string& error);

}  // namespace kelointerop
