// The value model's inside, shared by its codec (kelo/value.cpp), the envelopes that carry values
// (kelo/envelope.cpp) and nothing else. Not installed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
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
// (a call's arguments share them). Offsets in statuses are the reader's plus base.
class Decoder {
 public:
  // Throws std::bad_alloc.
  Decoder();
  // Reads the value that first begins (a token the reader just gave) into out.
  Status Read(wire::Reader& reader, const wire::Token& first, Value& out, std::size_t base = 0);
  // Reads the next value into out.
  Status ReadNext(wire::Reader& reader, Value& out, std::size_t base = 0);

 private:
  Status Slot(wire::Reader& reader, const wire::Token& token, Item& out);
  Status Text(wire::Reader& reader, const wire::Token& first, Node& node);
  Status Problem(const wire::Reader& reader);

  std::shared_ptr<Graph> graph_;
  std::vector<Node*> refs_;
  std::size_t base_ = 0;
};

// Writes values into a classic output buffer, numbering maps and lists for 'R' across every value
// it writes (a call's arguments share the numbering).
class Encoder {
 public:
  explicit Encoder(CKeloOutput& out) : writer_(out) {}
  Status Write(const Value& value);

 private:
  Status Slot(const Item& item, unsigned int depth);
  Status Text(char chunk, const std::string& text);
  Status Name(const std::string& text, std::string& scratch, wire::Name& name);

  wire::Writer<CKeloOutput> writer_;
  std::unordered_map<const Node*, std::uint32_t> written_;
  std::string scratch_;
  std::string scratch2_;
};

// The code and text of a reader's failed step.
Status ReaderProblem(const wire::Reader& reader, std::size_t base);

}  // namespace kelo::value_detail
