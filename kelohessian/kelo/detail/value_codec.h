// The value model's inside, shared by its codec (kelo/value.cpp), the envelopes that carry values
// (kelo/envelope.cpp) and nothing else. Not installed.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <kelohessian/hessian/output.h>
#include <kelohessian/kelo/status.h>
#include <kelohessian/value.h>
#include <kelohessian/wire/reader.h>
#include <kelohessian/wire/writer.h>

namespace kelo::value_detail {

// What a list or map item stores: the kind and the scalar or node, as a Value without its graph.
struct Item {
  Value::Kind kind = Value::Kind::Null;
  union {
    bool b;
    std::int32_t i;
    std::int64_t l;
    double d;
    Node* node;
  };
  Item() : l(0) {}
};

// Whether a list carries an 'l' length, and which.
enum class Length : unsigned char {
  kNone,   // no 'l'
  kCount,  // 'l' with the item count
  kFixed,  // 'l' with `length`, which differs from the item count (as read from the wire)
};

// A string, XML, blob or remote (text), or a list or map (items; a map's keys and values
// alternate). 64 bytes.
struct Node {
  Value::Kind kind = Value::Kind::Null;
  bool typed = false;
  Length lengthMode = Length::kNone;
  // A list or map: whether an item of some list or map holds it (placed), and whether more than
  // one may (shared: an 'R' read to it, or placed twice; never cleared). The writer numbers every
  // map and list but looks up only a shared node and the one it starts from, since any other is
  // met once.
  bool placed = false;
  bool shared = false;
  std::int32_t length = 0;  // kFixed: the 'l' length; a remote: the bytes of the type in text
  std::string text;         // content; a list's or map's type; a remote's type and then its url
  std::vector<Item> items;
};

// The owner of nodes that can reach one another (see Value). Nodes are allocated in blocks that
// double in size: a decode makes few allocations, and freeing walks the blocks, never the links.
struct Graph {
  struct Block {
    std::unique_ptr<Node[]> nodes;
    std::size_t used = 0;
    std::size_t capacity = 0;
  };
  std::vector<Block> blocks;
  std::size_t count = 0;           // nodes in use, for joining the smaller graph to the larger
  std::shared_ptr<Graph> forward;  // once joined: the graph that now owns the nodes

  // A new node of kind; throws std::bad_alloc.
  Node* New(Value::Kind kind);
};

struct Access {
  static Item ItemOf(const Value& v) {
    Item item;
    item.kind = v.kind_;
    static_assert(sizeof v.scalar_ == sizeof item.l, "a scalar is 8 bytes");
    std::memcpy(&item.l, &v.scalar_, sizeof item.l);
    return item;
  }
  // Makes v a null whose construction ran out of memory.
  static void Fail(Value& v);
  static Value ValueOf(const Item& item, const std::shared_ptr<Graph>& graph) noexcept {
    Value v;
    v.kind_ = item.kind;
    std::memcpy(&v.scalar_, &item.l, sizeof item.l);
    if (item.kind >= Value::Kind::String) v.graph_ = graph;
    return v;
  }
  static Node* NodeOf(const Value& v) {
    return v.kind_ >= Value::Kind::String ? v.scalar_.node : nullptr;
  }
  static const std::shared_ptr<Graph>& GraphOf(const Value& v) { return v.Root(); }
};

// Reads values from a wire reader into one graph, keeping the maps and lists seen so far for 'R'
// (a call's arguments, a message's members of any value, share them). Offsets in statuses are the
// reader's plus base.
class Decoder {
 public:
  // Throws std::bad_alloc.
  Decoder();
  // Counts the maps and lists read outside the values (the class objects around them) up to
  // total: they take numbers, but an 'R' to one of them is refused. Throws std::bad_alloc.
  void Number(std::size_t total) {
    if (total > refs_.size()) refs_.resize(total, nullptr);
  }
  // The maps and lists numbered so far, inside the values and outside.
  std::size_t numbered() const { return refs_.size(); }
  // Reads the value that first begins (a token the reader just gave) into out.
  Status Read(wire::Reader& reader, const wire::Token& first, Value& out, std::size_t base = 0);
  // Reads the next value into out.
  Status ReadNext(wire::Reader& reader, Value& out, std::size_t base = 0);

 private:
  // The steps return 0 or a code, the status of a failure kept in error_: a Status per item
  // would cost more than reading the item.
  int Slot(wire::Reader& reader, const wire::Token& token, Item& out);
  int Text(wire::Reader& reader, const wire::Token& first, Node& node);
  Status Problem(const wire::Reader& reader);
  int Fail(Status status);

  Status error_;

  std::shared_ptr<Graph> graph_;
  std::vector<Node*> refs_;  // null for a map or list outside the values
  // The items of the maps and lists being read, innermost last: each node takes its own from the
  // top when it closes, in one allocation of the exact size.
  std::vector<Item> pending_;
  std::size_t base_ = 0;
};

// The numbers given to the maps and lists written so far: open addressing over a power-of-two
// table, so that a message of many nodes numbers each without an allocation of its own.
class Numbers {
 public:
  // The number of node, and true, if it has one; else gives it number and false.
  std::pair<std::uint32_t, bool> Find(const Node* node, std::uint32_t number);

 private:
  struct Slot {
    const Node* node = nullptr;
    std::uint32_t number = 0;
  };
  std::vector<Slot> slots_;
  std::uint32_t count_ = 0;
  unsigned int bits_ = 0;  // slots_ holds 2^bits_ slots
};

// Writes values into a classic output buffer, numbering maps and lists for 'R' across every value
// it writes (a call's arguments share the numbering).
// Where the value writer puts its bytes: into a standard vector whose size runs ahead of the bytes
// written (doubling), so that an append is a compare and a copy; Finish cuts it to what was
// written. Throws std::bad_alloc, which the entry points turn into KELO_E_NO_MEMORY.
class VectorSink {
 public:
  explicit VectorSink(std::vector<std::uint8_t>& out) : out_(out) { out_.clear(); }
  int Append(const char* bytes, unsigned int length) {
    if (out_.size() - size_ < length) Grow(length);
    std::memcpy(out_.data() + size_, bytes, length);
    size_ += length;
    return 0;
  }
  // Keeps what was written (ok) or nothing.
  void Finish(bool ok) { out_.resize(ok ? size_ : 0); }

 private:
  void Grow(std::size_t length) {
    out_.resize(std::max(size_ + length, std::max<std::size_t>(2 * out_.size(), 256)));
  }

  std::vector<std::uint8_t>& out_;
  std::size_t size_ = 0;
};

// Records that item is now held by a list or map.
inline void Place(const Item& item) {
  if (item.kind != Value::Kind::List && item.kind != Value::Kind::Map) return;
  if (item.node->placed) item.node->shared = true;
  item.node->placed = true;
}

class Encoder {
 public:
  // Empties out, then writes into it; Finish keeps what was written.
  explicit Encoder(std::vector<std::uint8_t>& out) : sink_(out), writer_(sink_) {}
  Status Write(const Value& value);
  // Numbers the maps and lists written from next on: a value inside a message follows the maps and
  // lists written before it.
  void Number(std::uint32_t next) { next_ = next; }
  // The number of the next map or list written.
  std::uint32_t numbered() const { return next_; }
  // The writer, for the envelope around the values.
  wire::Writer<VectorSink>& writer() { return writer_; }
  // Cuts the vector to the bytes written, or empties it when status failed; returns status.
  Status Finish(Status status) {
    sink_.Finish(status.ok());
    return status;
  }

 private:
  // As the decoder's: 0 or a code, the status of a failure with a text in error_.
  int Slot(const Item& item, unsigned int depth);
  int Text(char chunk, const std::string& text);
  int Name(const std::string& text, std::string& scratch, wire::Name& name);
  int Fail(Status status);
  bool IsRoot(const Node* node) const;

  Status error_;
  std::vector<const Node*> roots_;  // the lists and maps given to Write

  VectorSink sink_;
  wire::Writer<VectorSink> writer_;
  Numbers written_;
  std::uint32_t next_ = 0;  // the number of the next map or list written
  std::string scratch_;
  std::string scratch2_;
};

// The code and text of a reader's failed step.
Status ReaderProblem(const wire::Reader& reader, std::size_t base);

// A value inside a message of classes: a member of any value, or a call's argument read as one.
// Reads the value at parse's cursor with the decoder of parse's message (made on first use), which
// numbers it after the maps and lists read before it, and moves the cursor past it (on failure, to
// where the reader stopped). Throws std::bad_alloc.
Status ReadInMessage(CKeloInputParse& parse, Value& out);
// Appends value to out, numbered after the maps and lists written there before it: 0, or the
// encoder's code with out unchanged. Throws std::bad_alloc.
int WriteInMessage(const Value& value, CKeloOutput& out);

}  // namespace kelo::value_detail
