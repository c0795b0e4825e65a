// kelo::Value: the value model (nodes owned by graphs), its equality, and its codec over the wire
// reader and writer.
#include <kelohessian/value.h>

#include <string.h>

#include <algorithm>
#include <exception>
#include <set>
#include <utility>

#include <kelohessian/hessian/detail/numbering.h>
#include <kelohessian/hessian/detail/vector_output.h>
#include <kelohessian/kelo/detail/face.h>
#include <kelohessian/kelo/detail/value_codec.h>
#include <kelohessian/wire/utf8.h>

namespace kelo {

using value_detail::Access;
using value_detail::Graph;
using value_detail::Item;
using value_detail::Length;
using value_detail::Node;

// ---- Graphs -------------------------------------------------------------------------------------

namespace value_detail {

Node* Graph::New(Value::Kind kind) {
  if (blocks.empty() || blocks.back().used == blocks.back().capacity) {
    const std::size_t capacity =
        blocks.empty() ? 1 : std::min<std::size_t>(blocks.back().capacity * 2, 4096);
    Block block;
    block.nodes.reset(new Node[capacity]);
    block.capacity = capacity;
    blocks.push_back(std::move(block));
  }
  Node* node = &blocks.back().nodes[blocks.back().used++];
  node->kind = kind;
  ++count;
  return node;
}

}  // namespace value_detail

namespace {

using Kind = Value::Kind;

bool HasNode(Kind kind) {
  return kind >= Kind::String;
}

// A value holding one new node of kind in a graph of its own; a failed value when memory runs out.
template <class Fill>
Value Make(Kind kind, Fill&& fill) noexcept {
  try {
    auto graph = std::make_shared<Graph>();
    Node* node = graph->New(kind);
    fill(*node);
    Item item;
    item.kind = kind;
    item.node = node;
    return Access::ValueOf(item, graph);
  } catch (const std::exception&) {
    Value failed;
    Access::Fail(failed);
    return failed;
  }
}

}  // namespace

namespace value_detail {
void Access::Fail(Value& v) {
  v = Value();
  v.failed_ = true;
}
}  // namespace value_detail

// ---- Value --------------------------------------------------------------------------------------

Value::Value() noexcept {
  scalar_.l = 0;
}
Value::Value(std::nullptr_t) noexcept : Value() {}
Value::Value(bool v) noexcept : Value() {
  kind_ = Kind::Bool;
  scalar_.b = v;
}
Value::Value(std::int32_t v) noexcept : Value() {
  kind_ = Kind::Int;
  scalar_.i = v;
}
Value::Value(std::int64_t v) noexcept : Value() {
  kind_ = Kind::Long;
  scalar_.l = v;
}
Value::Value(double v) noexcept : Value() {
  kind_ = Kind::Double;
  scalar_.d = v;
}
Value::Value(std::string_view utf8) noexcept
    : Value(Make(Kind::String, [&](Node& n) { n.text.assign(utf8.data(), utf8.size()); })) {}
Value::Value(const char* utf8) noexcept : Value(std::string_view(utf8 ? utf8 : "")) {}

Value Value::Date(std::int64_t millis) noexcept {
  Value v(millis);
  v.kind_ = Kind::Date;
  return v;
}
Value Value::Binary(const void* data, std::size_t size) noexcept {
  return Make(Kind::Binary, [&](Node& n) {
    if (data && size) n.text.assign(static_cast<const char*>(data), size);
  });
}
Value Value::Xml(std::string_view utf8) noexcept {
  return Make(Kind::Xml, [&](Node& n) { n.text.assign(utf8.data(), utf8.size()); });
}
Value Value::Remote(std::string_view type, std::string_view url) noexcept {
  return Make(Kind::Remote, [&](Node& n) {
    n.text.reserve(type.size() + url.size());
    n.text.append(type.data(), type.size()).append(url.data(), url.size());
    n.length = static_cast<std::int32_t>(type.size());
    n.typed = true;
  });
}
Value Value::List(std::string_view type) noexcept {
  return Make(Kind::List, [&](Node& n) {
    n.text.assign(type.data(), type.size());
    n.typed = !type.empty();
    n.lengthMode = Length::kCount;
  });
}
Value Value::Map(std::string_view type) noexcept {
  return Make(Kind::Map, [&](Node& n) {
    n.text.assign(type.data(), type.size());
    n.typed = !type.empty();
  });
}

Value::Kind Value::kind() const noexcept {
  return kind_;
}

bool Value::as_bool(bool fallback) const noexcept {
  return is_bool() ? scalar_.b : fallback;
}
std::int32_t Value::as_int(std::int32_t fallback) const noexcept {
  return is_int() ? scalar_.i : fallback;
}
std::int64_t Value::as_long(std::int64_t fallback) const noexcept {
  return is_long() ? scalar_.l : is_int() ? scalar_.i : fallback;
}
double Value::as_double(double fallback) const noexcept {
  if (is_double()) return scalar_.d;
  if (is_integer()) return static_cast<double>(as_long());
  return fallback;
}
std::int64_t Value::as_date(std::int64_t fallback) const noexcept {
  return is_date() ? scalar_.l : fallback;
}
std::string_view Value::as_string(std::string_view fallback) const noexcept {
  switch (kind_) {
    case Kind::String:
    case Kind::Xml:
    case Kind::Binary:
      return scalar_.node->text;
    case Kind::Remote:
      return std::string_view(scalar_.node->text)
          .substr(static_cast<std::size_t>(scalar_.node->length));
    default:
      return fallback;
  }
}

std::string_view Value::type() const noexcept {
  if (is_list() || is_map()) return scalar_.node->text;
  if (is_remote())
    return std::string_view(scalar_.node->text)
        .substr(0, static_cast<std::size_t>(scalar_.node->length));
  return {};
}
bool Value::typed() const noexcept {
  return (is_list() || is_map() || is_remote()) && scalar_.node->typed;
}
Status Value::SetType(std::string_view type, bool typed) {
  if (failed_) return Status(KELO_E_NO_MEMORY);
  if (!is_list() && !is_map()) return Status(KELO_E_INVALID_STATE);
  return face::Guard(nullptr, [&] {
    scalar_.node->text.assign(typed ? type : std::string_view());
    scalar_.node->typed = typed;
    return Status();
  });
}

std::size_t Value::size() const noexcept {
  if (is_list()) return scalar_.node->items.size();
  if (is_map()) return scalar_.node->items.size() / 2;
  return 0;
}

Value Value::operator[](std::size_t index) const noexcept {
  if (!is_list() || index >= scalar_.node->items.size()) return Value();
  return Access::ValueOf(scalar_.node->items[index], Root());
}

const std::shared_ptr<Graph>& Value::Root() const noexcept {
  const std::shared_ptr<Graph>* graph = &graph_;
  while (*graph && (*graph)->forward) graph = &(*graph)->forward;
  return *graph;
}

// Room for more elements in v, growing its capacity geometrically: reserving exactly what the next
// append needs would copy the whole vector on every append, the square of its length in all.
template <class Vector>
void Room(Vector& v, std::size_t more) {
  if (v.capacity() - v.size() < more) v.reserve(std::max(v.size() + more, 2 * v.capacity()));
}

// Makes the item's nodes reachable from this value's graph: the smaller graph's blocks move to the
// larger one, and the smaller forwards to it (values that still name it keep it, and through it
// the larger, alive). Joining by size keeps the forward chains logarithmically short.
Status Value::Join(const Value& item) {
  if (item.failed_) return Status(KELO_E_NO_MEMORY);
  if (!HasNode(item.kind_)) return Status();
  const std::shared_ptr<Graph> mine = Root();
  const std::shared_ptr<Graph> theirs = item.Root();
  if (mine == theirs) return Status();
  const bool intoMine = mine->count >= theirs->count;
  const std::shared_ptr<Graph>& to = intoMine ? mine : theirs;
  const std::shared_ptr<Graph>& from = intoMine ? theirs : mine;
  return face::Guard(nullptr, [&] {
    Room(to->blocks, from->blocks.size());
    for (auto& block : from->blocks) to->blocks.push_back(std::move(block));
    from->blocks.clear();
    to->count += from->count;
    from->count = 0;
    from->forward = to;
    graph_ = to;
    return Status();
  });
}

Status Value::Push(const Value& item) {
  if (failed_) return Status(KELO_E_NO_MEMORY);
  if (!is_list()) return Status(KELO_E_INVALID_STATE);
  return face::Guard(nullptr, [&] {
    Room(scalar_.node->items, 1);
    if (Status s = Join(item); !s) return s;
    scalar_.node->items.push_back(Access::ItemOf(item));
    value_detail::Place(scalar_.node->items.back());
    return Status();
  });
}

Status Value::Set(std::size_t index, const Value& item) {
  if (failed_) return Status(KELO_E_NO_MEMORY);
  if (!is_list()) return Status(KELO_E_INVALID_STATE);
  if (index >= scalar_.node->items.size()) return Status(KELO_E_OUT_OF_RANGE);
  if (Status s = Join(item); !s) return s;
  scalar_.node->items[index] = Access::ItemOf(item);
  value_detail::Place(scalar_.node->items[index]);
  return Status();
}

Status Value::Clear() {
  if (failed_) return Status(KELO_E_NO_MEMORY);
  if (!is_list() && !is_map()) return Status(KELO_E_INVALID_STATE);
  scalar_.node->items.clear();
  return Status();
}

bool Value::sized() const noexcept {
  return is_list() && scalar_.node->lengthMode != Length::kNone;
}
Status Value::set_sized(bool sized) {
  if (failed_) return Status(KELO_E_NO_MEMORY);
  if (!is_list()) return Status(KELO_E_INVALID_STATE);
  scalar_.node->lengthMode = sized ? Length::kCount : Length::kNone;
  return Status();
}
Status Value::set_wire_length(std::int32_t length) {
  if (failed_) return Status(KELO_E_NO_MEMORY);
  if (!is_list()) return Status(KELO_E_INVALID_STATE);
  scalar_.node->lengthMode = Length::kFixed;
  scalar_.node->length = length;
  return Status();
}
std::int64_t Value::wire_length() const noexcept {
  if (!is_list()) return -1;
  switch (scalar_.node->lengthMode) {
    case Length::kNone:
      return -1;
    case Length::kCount:
      return static_cast<std::int64_t>(scalar_.node->items.size());
    case Length::kFixed:
      break;
  }
  return scalar_.node->length;
}

Status Value::Append(const Value& key, const Value& value) {
  if (failed_) return Status(KELO_E_NO_MEMORY);
  if (!is_map()) return Status(KELO_E_INVALID_STATE);
  return face::Guard(nullptr, [&] {
    Room(scalar_.node->items, 2);
    if (Status s = Join(key); !s) return s;
    if (Status s = Join(value); !s) return s;
    scalar_.node->items.push_back(Access::ItemOf(key));
    scalar_.node->items.push_back(Access::ItemOf(value));
    value_detail::Place(scalar_.node->items[scalar_.node->items.size() - 2]);
    value_detail::Place(scalar_.node->items.back());
    return Status();
  });
}

Status Value::Insert(const Value& key, const Value& value) {
  if (failed_) return Status(KELO_E_NO_MEMORY);
  if (!is_map()) return Status(KELO_E_INVALID_STATE);
  std::vector<Item>& items = scalar_.node->items;
  const std::shared_ptr<Graph>& graph = Root();
  for (std::size_t i = 0; i < items.size(); i += 2) {
    if (Access::ValueOf(items[i], graph) == key) {
      if (Status s = Join(value); !s) return s;
      scalar_.node->items[i + 1] = Access::ItemOf(value);
      value_detail::Place(scalar_.node->items[i + 1]);
      return Status();
    }
  }
  return Append(key, value);
}

std::optional<Value> Value::Find(const Value& key) const {
  if (!is_map()) return std::nullopt;
  const std::vector<Item>& items = scalar_.node->items;
  const std::shared_ptr<Graph>& graph = Root();
  for (std::size_t i = 0; i < items.size(); i += 2) {
    if (Access::ValueOf(items[i], graph) == key) return Access::ValueOf(items[i + 1], graph);
  }
  return std::nullopt;
}

Value Value::get(std::string_view key) const {
  if (!is_map()) return Value();
  const std::vector<Item>& items = scalar_.node->items;
  for (std::size_t i = 0; i < items.size(); i += 2) {
    if (items[i].kind == Kind::String && items[i].node->text == key)
      return Access::ValueOf(items[i + 1], Root());
  }
  return Value();
}

Value Value::key_at(std::size_t index) const noexcept {
  if (index >= size() || !is_map()) return Value();
  return Access::ValueOf(scalar_.node->items[2 * index], Root());
}
Value Value::value_at(std::size_t index) const noexcept {
  if (index >= size() || !is_map()) return Value();
  return Access::ValueOf(scalar_.node->items[2 * index + 1], Root());
}

bool Value::same(const Value& other) const noexcept {
  if (kind_ != other.kind_) return false;
  if (is_list() || is_map()) return scalar_.node == other.scalar_.node;
  return *this == other;
}

// ---- Equality -----------------------------------------------------------------------------------

namespace {

std::int64_t WireLength(const Node& n) {
  if (n.kind != Kind::List || n.lengthMode == Length::kNone) return -1;
  return n.lengthMode == Length::kCount ? static_cast<std::int64_t>(n.items.size()) : n.length;
}

// Compares two items; a pair of lists or maps is queued for a later look (once per pair: a pair
// assumed equal while it is compared is what makes cycles end).
bool SameItem(const Item& a, const Item& b, std::vector<std::pair<const Node*, const Node*>>& queue,
              std::set<std::pair<const Node*, const Node*>>& seen) {
  if (a.kind != b.kind) return false;
  switch (a.kind) {
    case Kind::Null:
      return true;
    case Kind::Bool:
      return a.b == b.b;
    case Kind::Int:
      return a.i == b.i;
    case Kind::Long:
    case Kind::Date:
    case Kind::Double:
      return a.l == b.l;  // doubles by their bits
    case Kind::String:
    case Kind::Xml:
    case Kind::Binary:
    case Kind::Remote:
      return a.node->length == b.node->length && a.node->text == b.node->text;
    case Kind::List:
    case Kind::Map: {
      if (a.node == b.node) return true;
      const Node& x = *a.node;
      const Node& y = *b.node;
      if (x.typed != y.typed || x.text != y.text || x.items.size() != y.items.size()) return false;
      if (WireLength(x) != WireLength(y)) return false;
      if (seen.insert({a.node, b.node}).second) queue.push_back({a.node, b.node});
      return true;
    }
  }
  return false;
}

}  // namespace

bool operator==(const Value& a, const Value& b) noexcept {
  try {
    std::vector<std::pair<const Node*, const Node*>> queue;
    std::set<std::pair<const Node*, const Node*>> seen;
    if (!SameItem(Access::ItemOf(a), Access::ItemOf(b), queue, seen)) return false;
    while (!queue.empty()) {
      const auto [x, y] = queue.back();
      queue.pop_back();
      for (std::size_t i = 0; i < x->items.size(); ++i) {
        if (!SameItem(x->items[i], y->items[i], queue, seen)) return false;
      }
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// ---- Reading ------------------------------------------------------------------------------------

namespace value_detail {

namespace {

// Wire text as standard UTF-8: surrogate pairs joined, a lone surrogate U+FFFD, overlong forms
// shortened.
void Standard(std::string& s, std::size_t units) {
  if (wire::WireIsStandard(reinterpret_cast<const unsigned char*>(s.data()), s.size())) return;
  std::vector<unsigned short> buffer(units);
  std::size_t consumed = 0;
  std::size_t decoded = 0;
  wire::DecodeUtf8(reinterpret_cast<const unsigned char*>(s.data()), s.size(), units, buffer.data(),
                   &consumed, &decoded);
  std::string out;
  out.reserve(s.size());
  face::AppendUnits(out, buffer.data(), decoded);
  s.swap(out);
}

}  // namespace

Status ReaderProblem(const wire::Reader& reader, std::size_t base) {
  const std::size_t at = reader.problemOffset() + base;
  std::string text = wire::ProblemText(reader.problem());
  switch (reader.problem()) {
    case wire::Problem::kEnd:
      return Status(KELO_E_EXHAUSTED, std::move(text), at);
    case wire::Problem::kTooDeep:
      return Status(
          KELO_E_NOT_SUPPORTED,
          text + ": maps and lists nest at most " + std::to_string(kMaxValueDepth) + " deep", at);
    case wire::Problem::kUtf8:
      return Status(KELO_E_FORMAT, text + ": " + wire::Utf8Message(reader.utf8()), at);
    default:
      return Status(KELO_E_FORMAT, std::move(text), at);
  }
}

Decoder::Decoder() : graph_(std::make_shared<Graph>()) {}

Status Decoder::Problem(const wire::Reader& reader) {
  return ReaderProblem(reader, base_);
}

Status Decoder::ReadNext(wire::Reader& reader, Value& out, std::size_t base) {
  wire::Token token;
  if (!reader.Next(token)) return ReaderProblem(reader, base);
  return Read(reader, token, out, base);
}

Status Decoder::Read(wire::Reader& reader, const wire::Token& first, Value& out, std::size_t base) {
  base_ = base;
  Item item;
  if (const int rc = Slot(reader, first, item); rc)
    return rc == error_.code() ? error_ : Status(rc);
  out = Access::ValueOf(item, graph_);
  return Status();
}

int Decoder::Fail(Status status) {
  error_ = std::move(status);
  return error_.code();
}

int Decoder::Text(wire::Reader& reader, const wire::Token& first, Node& node) {
  if (first.last) {
    node.text.assign(first.text, first.size);
    if (first.kind != wire::Kind::kBinary) Standard(node.text, first.units);
    return KELO_OK;
  }
  std::size_t units = 0;
  wire::Token token = first;
  for (;;) {
    node.text.append(token.text, token.size);
    units += token.units;
    if (token.last) break;
    if (!reader.Next(token)) return Fail(Problem(reader));
  }
  if (first.kind != wire::Kind::kBinary) Standard(node.text, units);
  return KELO_OK;
}

int Decoder::Slot(wire::Reader& reader, const wire::Token& token, Item& out) {
  switch (token.kind) {
    case wire::Kind::kNull:
      out.kind = Kind::Null;
      return KELO_OK;
    case wire::Kind::kTrue:
    case wire::Kind::kFalse:
      out.kind = Kind::Bool;
      out.b = token.kind == wire::Kind::kTrue;
      return KELO_OK;
    case wire::Kind::kInt:
      out.kind = Kind::Int;
      out.i = static_cast<std::int32_t>(token.integer);
      return KELO_OK;
    case wire::Kind::kLong:
    case wire::Kind::kDate:
      out.kind = token.kind == wire::Kind::kLong ? Kind::Long : Kind::Date;
      out.l = token.integer;
      return KELO_OK;
    case wire::Kind::kDouble:
      out.kind = Kind::Double;
      out.d = token.real;
      return KELO_OK;
    case wire::Kind::kRef:
      if (static_cast<std::uint64_t>(token.integer) >= refs_.size())
        return Fail(Status(KELO_E_FORMAT,
                           "'R' refers to map or list " + std::to_string(token.integer) +
                               ", but only " + std::to_string(refs_.size()) + " came before it",
                           token.offset + base_));
      out.node = refs_[static_cast<std::size_t>(token.integer)];
      if (!out.node)
        return Fail(Status(KELO_E_FORMAT,
                           "'R' refers to map or list " + std::to_string(token.integer) +
                               ", which was not read as a value",
                           token.offset + base_));
      out.kind = out.node->kind;
      out.node->shared = true;
      return KELO_OK;
    case wire::Kind::kString:
    case wire::Kind::kXml:
    case wire::Kind::kBinary: {
      out.kind = token.kind == wire::Kind::kString ? Kind::String
                 : token.kind == wire::Kind::kXml  ? Kind::Xml
                                                   : Kind::Binary;
      Node* node = graph_->New(out.kind);
      out.node = node;
      return Text(reader, token, *node);
    }
    case wire::Kind::kRemote: {
      Node* node = graph_->New(Kind::Remote);
      out.kind = Kind::Remote;
      out.node = node;
      node->text.assign(token.text, token.size);
      Standard(node->text, token.units);
      std::string url(token.url, token.urlSize);
      Standard(url, url.size());
      node->length = static_cast<std::int32_t>(node->text.size());
      node->text += url;
      node->typed = true;
      return KELO_OK;
    }
    case wire::Kind::kMap:
    case wire::Kind::kList: {
      const bool list = token.kind == wire::Kind::kList;
      Node* node = graph_->New(list ? Kind::List : Kind::Map);
      out.kind = node->kind;
      out.node = node;
      refs_.push_back(node);  // numbered before its contents, as Java numbers it
      if (token.typed) {
        node->text.assign(token.text, token.size);
        Standard(node->text, token.units);
        node->typed = true;
      }
      const std::size_t mark = pending_.size();
      wire::Token next;
      for (;;) {
        if (!reader.Next(next)) return Fail(Problem(reader));
        if (next.kind == wire::Kind::kEnd) break;
        Item item;
        if (int rc = Slot(reader, next, item); rc) return rc;
        Place(item);
        pending_.push_back(item);
        if (list) continue;
        if (!reader.Next(next)) return Fail(Problem(reader));
        if (next.kind == wire::Kind::kEnd)
          return Fail(Status(KELO_E_FORMAT, "a map key without a value", next.offset + base_));
        if (int rc = Slot(reader, next, item); rc) return rc;
        Place(item);
        pending_.push_back(item);
      }
      node->items.assign(pending_.begin() + static_cast<std::ptrdiff_t>(mark), pending_.end());
      pending_.resize(mark);
      if (list && token.sized) {
        const bool count = static_cast<std::uint64_t>(token.integer) == node->items.size();
        node->lengthMode = count ? Length::kCount : Length::kFixed;
        node->length = static_cast<std::int32_t>(token.integer);
      }
      return KELO_OK;
    }
    default:
      return Fail(Status(KELO_E_FORMAT,
                         token.kind == wire::Kind::kEnd ? "a 'z' where a value should begin"
                                                        : "a byte that cannot begin a value here",
                         token.offset + base_));
  }
}

// ---- Writing ------------------------------------------------------------------------------------

namespace {

// Java's chunk: 32,768 units of a string, bytes of a blob.
constexpr std::size_t kChunk = 0x8000;

}  // namespace

namespace {

// The table index of node among 2^bits slots: the top bits of a multiplicative hash of the
// pointer (nodes are 64 bytes apart in their blocks).
std::size_t Home(const Node* node, unsigned int bits) {
  const std::uint64_t h = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(node) >> 6) *
                          0x9E3779B97F4A7C15ull;
  return static_cast<std::size_t>(h >> (64 - bits));
}

}  // namespace

std::pair<std::uint32_t, bool> Numbers::Find(const Node* node, std::uint32_t number) {
  if (2 * (static_cast<std::size_t>(count_) + 1) > slots_.size()) {
    std::vector<Slot> old(slots_.size() ? 2 * slots_.size() : 256);
    old.swap(slots_);
    bits_ = slots_.size() == 256 ? 8 : bits_ + 1;
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
      if (!slot.node) continue;
      std::size_t i = Home(slot.node, bits_);
      while (slots_[i].node) i = (i + 1) & mask;
      slots_[i] = slot;
    }
  }
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = Home(node, bits_);
  for (; slots_[i].node; i = (i + 1) & mask) {
    if (slots_[i].node == node) return {slots_[i].number, true};
  }
  slots_[i] = Slot{node, number};
  ++count_;
  return {number, false};
}

// Text as the wire carries it: its bytes (in wire, or text itself when it needs no change) and its
// length in units. A character above U+FFFF becomes two surrogate units of 3 bytes each.
static int WireText(const std::string& text, std::string& scratch, const std::string*& wire,
                    std::size_t& units, Status& error) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  std::size_t i = 0;
  // ASCII eight bytes at a time, then byte by byte.
  for (std::uint64_t word; i + 8 <= n; i += 8) {
    memcpy(&word, s + i, 8);
    if (word & 0x8080808080808080ull) break;
  }
  while (i < n && s[i] < 0x80) ++i;
  units = i;
  wire = &text;
  if (i == n) return KELO_OK;
  bool four = false;
  for (std::size_t at = i; at < n; at = i) {
    std::uint32_t cp = 0;
    if (const wire::TextStatus t = wire::NextChar(s, n, &i, &cp); t != wire::kTextOk)
      return (error = Status(KELO_E_FORMAT,
                             std::string("a string that is not UTF-8: ") + wire::TextMessage(t) +
                                 " at byte " + std::to_string(at),
                             0))
          .code();
    units += cp > 0xFFFF ? 2 : 1;
    four = four || cp > 0xFFFF;
  }
  if (!four) return KELO_OK;
  scratch.clear();
  scratch.reserve(n + n / 2);
  for (i = 0; i < n;) {
    std::uint32_t cp = 0;
    wire::NextChar(s, n, &i, &cp);
    char bytes[6];
    scratch.append(bytes, wire::PutWireChar(cp, bytes));
  }
  wire = &scratch;
  return KELO_OK;
}

int Encoder::Fail(Status status) {
  error_ = std::move(status);
  return error_.code();
}

int Encoder::Name(const std::string& text, std::string& scratch, wire::Name& name) {
  const std::string* bytes = nullptr;
  std::size_t units = 0;
  if (int rc = WireText(text, scratch, bytes, units, error_); rc) return rc;
  if (units > 0xFFFF)
    return Fail(Status(KELO_E_OUT_OF_RANGE, "a type name longer than 65535 units", 0));
  name = wire::Name{bytes->data(), bytes->size(), static_cast<unsigned int>(units)};
  return KELO_OK;
}

// Chunks as Java cuts them: 32,768 units each while more than that remain, one fewer when the
// last would be the high half of a surrogate pair; then the final chunk.
int Encoder::Text(char chunk, const std::string& text) {
  const char last = static_cast<char>(chunk & ~0x20);
  if (chunk == 'b') {
    std::size_t at = 0;
    for (; text.size() - at > kChunk; at += kChunk) {
      if (int rc = writer_.Chunk('b', text.data() + at, kChunk, kChunk); rc) return rc;
    }
    const std::size_t rest = text.size() - at;
    return writer_.Chunk('B', text.data() + at, rest, static_cast<unsigned int>(rest));
  }
  const std::string* bytes = nullptr;
  std::size_t units = 0;
  if (int rc = WireText(text, scratch_, bytes, units, error_); rc) return rc;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes->data());
  std::size_t at = 0;
  const bool ascii = units == bytes->size();
  while (units > kChunk) {
    std::size_t take = kChunk;
    const std::size_t size = ascii ? kChunk : wire::WireSpanKeepingPairs(p + at, kChunk, &take);
    if (int rc = writer_.Chunk(chunk, bytes->data() + at, size, static_cast<unsigned int>(take));
        rc)
      return rc;
    at += size;
    units -= take;
  }
  return writer_.Chunk(last, bytes->data() + at, bytes->size() - at,
                       static_cast<unsigned int>(units));
}

bool Encoder::IsRoot(const Node* node) const {
  // Past a few roots, every placed node is looked up: a call of many arguments stays linear.
  return roots_.size() > 8 || std::find(roots_.begin(), roots_.end(), node) != roots_.end();
}

Status Encoder::Write(const Value& value) {
  if (!value.ok()) return Status(KELO_E_NO_MEMORY);
  if (value.is_list() || value.is_map()) roots_.push_back(Access::NodeOf(value));
  const int rc = Slot(Access::ItemOf(value), 1);
  return rc == error_.code() ? error_ : Status(rc);
}

int Encoder::Slot(const Item& item, unsigned int depth) {
  switch (item.kind) {
    case Kind::Null:
      return writer_.Null();
    case Kind::Bool:
      return writer_.Bool(item.b);
    case Kind::Int:
      return writer_.Int(item.i);
    case Kind::Long:
      return writer_.Long(item.l);
    case Kind::Double:
      return writer_.Double(item.d);
    case Kind::Date:
      return writer_.Date(item.l);
    case Kind::String:
      return Text('s', item.node->text);
    case Kind::Xml:
      return Text('x', item.node->text);
    case Kind::Binary:
      return Text('b', item.node->text);
    case Kind::Remote: {
      const Node& n = *item.node;
      const std::string type = n.text.substr(0, static_cast<std::size_t>(n.length));
      const std::string url = n.text.substr(static_cast<std::size_t>(n.length));
      wire::Name typeName{};
      wire::Name urlName{};
      if (int rc = Name(type, scratch_, typeName); rc) return rc;
      if (int rc = Name(url, scratch2_, urlName); rc) return rc;
      return writer_.Remote(typeName, urlName);
    }
    case Kind::List:
    case Kind::Map:
      break;
  }
  const Node& n = *item.node;
  // A node that is not shared is met once, unless it is one of the values written (the root of a
  // cycle through a single parent, or a call's argument held by a later one).
  if (n.shared || depth == 1 || (n.placed && IsRoot(&n))) {
    const auto [number, seen] = written_.Find(&n, next_);
    if (seen) return writer_.Ref(number);
  }
  ++next_;
  if (depth > kMaxValueDepth)
    return Fail(Status(KELO_E_NOT_SUPPORTED,
                       "maps and lists nested deeper than " + std::to_string(kMaxValueDepth), 0));
  wire::Name type{};
  if (n.typed) {
    if (int rc = Name(n.text, scratch_, type); rc) return rc;
  }
  int rc;
  if (n.kind == Kind::Map) {
    rc = writer_.Map(n.typed ? &type : nullptr);
  } else {
    const std::int32_t length =
        n.lengthMode == Length::kFixed ? n.length : static_cast<std::int32_t>(n.items.size());
    rc = writer_.List(n.typed ? &type : nullptr, n.lengthMode == Length::kNone ? nullptr : &length);
  }
  if (rc) return rc;
  for (const Item& inner : n.items) {
    if (int rc = Slot(inner, depth + 1); rc) return rc;
  }
  return writer_.End();
}

// ---- Values inside messages of classes ---------------------------------------------------------

Status ReadInMessage(CKeloInputParse& parse, Value& out) {
  CKeloInput& in = parse.Input();
  const unsigned int at = in.GetNumExtracted();
  const unsigned int left = in.GetTotalSize() - at;
  const char* bytes = nullptr;
  if (left) in.GetDataAt(bytes, at, left);
  struct Values : kelo_detail::MessageValues {
    Decoder decoder;
  };
  kelo_detail::MessageValues*& values = kelo_detail::Numbering::Values(parse);
  if (!values) values = new Values();
  Decoder* decoder = &static_cast<Values*>(values)->decoder;
  decoder->Number(kelo_detail::Numbering::Read(parse));
  wire::Reader reader(bytes, left, kMaxValueDepth);
  const Status s = decoder->ReadNext(reader, out, at);
  const char* taken;
  in.Extract(taken, static_cast<unsigned int>(reader.offset()));
  kelo_detail::Numbering::Read(parse) = static_cast<unsigned int>(decoder->numbered());
  return s.ok() ? Status(KELO_OK, in.GetNumExtracted()) : s;
}

int WriteInMessage(const Value& value, CKeloOutput& out) {
  std::vector<std::uint8_t> bytes;
  Encoder encoder(bytes);
  encoder.Number(kelo_detail::Numbering::Written(out));
  const Status s = encoder.Finish(encoder.Write(value));
  if (!s) return s.code();
  if (bytes.size() > 0xFFFFFFFFu) return KELO_E_NO_MEMORY;
  if (int rc = out.Append(reinterpret_cast<const char*>(bytes.data()),
                          static_cast<unsigned int>(bytes.size()));
      rc != 0)
    return rc;
  kelo_detail::Numbering::Written(out) = encoder.numbered();
  return KELO_OK;
}

}  // namespace value_detail

// ---- One bare value -----------------------------------------------------------------------------

Status DecodeValue(const void* data, std::size_t size, Value& out) {
  return face::Guard(nullptr, [&] {
    if (int rc = face::RangeCheck(data, size); rc != 0) return Status(rc);
    wire::Reader reader(data, size, kMaxValueDepth);
    value_detail::Decoder decoder;
    Value value;
    if (Status s = decoder.ReadNext(reader, value); !s) return s;
    if (reader.left())
      return Status(KELO_E_FORMAT, std::to_string(reader.left()) + " bytes follow the value",
                    reader.offset());
    out = std::move(value);
    return Status(KELO_OK, reader.offset());
  });
}

Status EncodeValue(const Value& value, std::vector<std::uint8_t>& out) {
  return face::Guard(&out, [&] {
    value_detail::Encoder encoder(out);
    return encoder.Finish(encoder.Write(value));
  });
}

}  // namespace kelo
