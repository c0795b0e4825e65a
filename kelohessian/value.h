/// \file
/// kelo::Value, any Hessian 1.0 value as a tree (a graph, when maps and lists are shared), and the
/// functions that read and write it: one bare value, a reply, a call of any number of arguments,
/// and the conversion between a map and a class of the catalogue or of a program.
///
/// Reading keeps what the wire says, so that writing a value read from Caucho's Java writer gives
/// the same bytes again: type names (an empty 't' included), whether a list carried an 'l' length,
/// the order of map entries and keys of any kind, dates, XML, remote objects and nulls inside
/// lists. An 'R' reads as the very node it refers to, and writing a node a second time in one
/// message writes 'R' with the index Java gives it (maps and lists numbered in order of
/// appearance), so shared and cyclic graphs round-trip byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <kelohessian/hessian/export.h>
#include <kelohessian/kelo/status.h>

class CKeloHesClass;

namespace kelo {

/// How deeply maps and lists may nest in a Value that is read or written, the outermost being
/// level 1. Deeper input is refused with KELO_E_NOT_SUPPORTED; so is writing (or printing as
/// JSON) a Value built deeper than this.
inline constexpr unsigned int kMaxValueDepth = 256;

namespace value_detail {
struct Node;
struct Graph;
struct Access;
}  // namespace value_detail

/// Any Hessian 1.0 value. Scalars (null, booleans, numbers, dates) and texts (strings, XML, blobs,
/// remote objects) behave as values; lists and maps are nodes that copies of a Value share, as
/// Java objects are shared: `Value b = a; b.Push(1);` changes the list that `a` shows too.
///
/// Ownership: the nodes that can reach one another belong to one graph, which frees them all when
/// the last Value that refers into it is gone; links between nodes do not count. So cycles (from
/// an 'R' to an enclosing map, or a list pushed into itself) are freed like anything else, and
/// freeing never recurses. Putting a node of one graph into a node of another joins the two graphs
/// for good. The price: a node that is removed from its parent (Set, Clear) lives as long as its
/// graph does, so a graph that is edited for a long time keeps what it dropped.
///
/// Nothing here throws. A constructor or factory that runs out of memory gives a null whose ok()
/// is false; the functions that change a Value return KELO_E_NO_MEMORY when they run out of
/// memory, are called on such a value or given one, and so does every encoder given one. Values that share nodes must not
/// be changed from two threads at once; reading from many threads is safe.
class KELO_API Value {
 public:
  /// What a value is.
  enum class Kind { Null, Bool, Int, Long, Double, Date, String, Xml, Binary, List, Map, Remote };

  /// A null.
  Value() noexcept;
  /// A null.
  Value(std::nullptr_t) noexcept;  // NOLINT: a null converts implicitly, as in JSON libraries
  /// 'T' or 'F'.
  Value(bool v) noexcept;  // NOLINT
  /// 'I', a 32-bit integer.
  Value(std::int32_t v) noexcept;  // NOLINT
  /// 'L', a 64-bit integer.
  Value(std::int64_t v) noexcept;  // NOLINT
  /// 'D', a double.
  Value(double v) noexcept;  // NOLINT
  /// 'S', a string of UTF-8 text (checked when it is written: invalid UTF-8 is KELO_E_FORMAT).
  Value(std::string_view utf8) noexcept;  // NOLINT
  /// 'S' (see above); a null pointer gives an empty string.
  Value(const char* utf8) noexcept;  // NOLINT

  /// 'd', a date: milliseconds since 1970-01-01 UTC.
  static Value Date(std::int64_t millisSinceEpoch) noexcept;
  /// 'B', a blob of size bytes copied from data.
  static Value Binary(const void* data, std::size_t size) noexcept;
  /// 'X', XML as UTF-8 text.
  static Value Xml(std::string_view utf8) noexcept;
  /// 'r' 't' type 'S' url, a remote object.
  static Value Remote(std::string_view type, std::string_view url) noexcept;
  /// An empty list ('V'), typed when type is not empty, written with an 'l' length that follows
  /// its item count (see set_sized).
  static Value List(std::string_view type = {}) noexcept;
  /// An empty map ('M'), typed when type is not empty (see SetType for an empty 't').
  static Value Map(std::string_view type = {}) noexcept;

  /// What the value is; Kind::Null for a value whose construction ran out of memory.
  Kind kind() const noexcept;
  /// False for a value whose construction ran out of memory (it reads as a null).
  bool ok() const noexcept { return !failed_; }

  /// Kind checks.
  /// @{
  bool is_null() const noexcept { return kind() == Kind::Null; }
  bool is_bool() const noexcept { return kind() == Kind::Bool; }
  bool is_int() const noexcept { return kind() == Kind::Int; }
  bool is_long() const noexcept { return kind() == Kind::Long; }
  bool is_double() const noexcept { return kind() == Kind::Double; }
  bool is_date() const noexcept { return kind() == Kind::Date; }
  bool is_string() const noexcept { return kind() == Kind::String; }
  bool is_xml() const noexcept { return kind() == Kind::Xml; }
  bool is_binary() const noexcept { return kind() == Kind::Binary; }
  bool is_list() const noexcept { return kind() == Kind::List; }
  bool is_map() const noexcept { return kind() == Kind::Map; }
  bool is_remote() const noexcept { return kind() == Kind::Remote; }
  /// Int or Long.
  bool is_integer() const noexcept { return is_int() || is_long(); }
  /// @}

  /// Typed access that never fails: the value when it has that kind, otherwise fallback.
  /// @{
  bool as_bool(bool fallback = false) const noexcept;
  /// An Int.
  std::int32_t as_int(std::int32_t fallback = 0) const noexcept;
  /// An Int or a Long.
  std::int64_t as_long(std::int64_t fallback = 0) const noexcept;
  /// A Double, Int or Long (the last two converted).
  double as_double(double fallback = 0) const noexcept;
  /// A Date's milliseconds since 1970.
  std::int64_t as_date(std::int64_t fallback = 0) const noexcept;
  /// The UTF-8 text of a String or Xml, the bytes of a Binary, a Remote's URL. The view lives as
  /// long as the value or a copy of it.
  std::string_view as_string(std::string_view fallback = {}) const noexcept;
  /// @}
  /// A pointer to the bool, 32-bit or 64-bit integer, double or date the value holds, or null when
  /// the kind differs (an Int is not a Long here).
  /// @{
  const bool* if_bool() const noexcept { return is_bool() ? &scalar_.b : nullptr; }
  const std::int32_t* if_int() const noexcept { return is_int() ? &scalar_.i : nullptr; }
  const std::int64_t* if_long() const noexcept { return is_long() ? &scalar_.l : nullptr; }
  const double* if_double() const noexcept { return is_double() ? &scalar_.d : nullptr; }
  const std::int64_t* if_date() const noexcept { return is_date() ? &scalar_.l : nullptr; }
  /// @}

  /// The type name of a list, map or remote object; empty when it has none.
  std::string_view type() const noexcept;
  /// Whether a list or map carries a 't' type name, possibly empty (a remote always does).
  bool typed() const noexcept;
  /// Gives a list or map the type name type (typed false: none, not even an empty one).
  /// KELO_E_INVALID_STATE for any other kind.
  Status SetType(std::string_view type, bool typed = true);

  /// Items of a list, entries of a map; 0 for anything else.
  std::size_t size() const noexcept;
  /// size() == 0.
  bool empty() const noexcept { return size() == 0; }

  /// A list's item at index, a null beyond the end or for any other kind. The item shares the
  /// node when it is a list or map.
  Value operator[](std::size_t index) const noexcept;
  /// Appends a copy of item to a list (a list or map item is shared, not copied).
  /// KELO_E_INVALID_STATE when this is not a list.
  Status Push(const Value& item);
  /// Replaces a list's item at index (KELO_E_OUT_OF_RANGE beyond the end).
  Status Set(std::size_t index, const Value& item);
  /// Removes every item of a list or entry of a map.
  Status Clear();
  /// Whether a list carries an 'l' length on the wire. A list read from the wire keeps what it
  /// carried; one made with List() carries its item count.
  bool sized() const noexcept;
  /// Whether to write an 'l' length, which is then the item count.
  Status set_sized(bool sized);
  /// Writes the 'l' length length whatever the items are (as a list read from the wire keeps a
  /// length that differs from its items).
  Status set_wire_length(std::int32_t length);
  /// The 'l' length a list carries: usually its item count; what the wire said when that differs
  /// from the items read; -1 when it carries none or is not a list.
  std::int64_t wire_length() const noexcept;

  /// Sets the value of key in a map: replaces the value of the first entry whose key equals key
  /// (operator==), or appends an entry. Keys of any kind. KELO_E_INVALID_STATE when this is not a
  /// map. Takes time linear in the entries.
  Status Insert(const Value& key, const Value& value);
  /// Appends an entry without looking for key, as a map read from the wire keeps every entry.
  Status Append(const Value& key, const Value& value);
  /// The value of the first entry whose key equals key, or nothing (also when this is not a map).
  std::optional<Value> Find(const Value& key) const;
  /// The value of the entry with the string key, or a null when there is none.
  Value get(std::string_view key) const;
  /// Whether a map has an entry for key.
  bool contains(const Value& key) const { return Find(key).has_value(); }
  /// A map's key and value at position index, in order; nulls beyond the end.
  /// @{
  Value key_at(std::size_t index) const noexcept;
  Value value_at(std::size_t index) const noexcept;
  /// @}

  /// The identity of a list or map node, the same for every Value that shares it; null for any
  /// other kind.
  const void* id() const noexcept { return is_list() || is_map() ? scalar_.node : nullptr; }
  /// True when both are the same list or map node (not merely equal), or equal scalars or texts.
  bool same(const Value& other) const noexcept;
  /// Deep equality: the same kind and contents, lists and maps item by item (with their type
  /// names, typed flags and 'l' lengths), cycles followed as far as they agree. An Int never
  /// equals a Long, nor a Date a Long. Doubles compare by their bits (NaN equals itself). Out of
  /// memory while comparing large cyclic graphs it answers false.
  friend KELO_API bool operator==(const Value& a, const Value& b) noexcept;
  /// Not operator==.
  friend bool operator!=(const Value& a, const Value& b) noexcept { return !(a == b); }

 private:
  friend struct value_detail::Access;

  // The kind and the scalar or node: what a list or map item stores (16 bytes).
  union Scalar {
    bool b;
    std::int32_t i;
    std::int64_t l;  // Long, Date
    double d;
    value_detail::Node* node;  // String, Xml, Binary, Remote, List, Map
  };
  const std::shared_ptr<value_detail::Graph>& Root() const noexcept;
  Status Join(const Value& item);

  Kind kind_ = Kind::Null;
  bool failed_ = false;
  Scalar scalar_{};
  // The graph the node belongs to (or was joined from); empty for scalars.
  std::shared_ptr<value_detail::Graph> graph_;
};

/// Reads one bare value that makes up the whole input (bytes after it: KELO_E_FORMAT). Maps and
/// lists nest at most kMaxValueDepth deep (KELO_E_NOT_SUPPORTED); an input that ends early is
/// KELO_E_EXHAUSTED; a wrong marker, text that is not UTF-8 or an 'R' to an index no map or list
/// has yet is KELO_E_FORMAT, each with offset() at the byte at fault. On failure out is left
/// alone. Memory is linear in the input (see SECURITY.md for the bound).
KELO_API Status DecodeValue(const void* data, std::size_t size, Value& out);
/// Writes one bare value as Java writes it (strings and blobs in chunks of 32,768 units, a
/// character above U+FFFF as a surrogate pair); replaces the contents of out, empty on failure.
/// KELO_E_FORMAT for a string that is not UTF-8, KELO_E_NOT_SUPPORTED for nesting deeper than
/// kMaxValueDepth, KELO_E_OUT_OF_RANGE for a type name beyond 65,535 units.
KELO_API Status EncodeValue(const Value& value, std::vector<std::uint8_t>& out);

/// Reads a reply 'r' 01 00 \<result\> 'z' holding any value; headers before it are read past. A
/// fault reply gives is_fault() with its code and message, and leaves result alone.
KELO_API Status DecodeReply(const void* data, std::size_t size, Value& result);
/// 'r' 01 00, the value, 'z'.
KELO_API Status EncodeReply(const Value& result, std::vector<std::uint8_t>& out);
/// 'c' 00 01 'm' \<method\> and every argument in order (none at all, too), then 'z': the header
/// the classic framing writes. References are numbered across the arguments, as Java does.
KELO_API Status EncodeCall(std::string_view method, const std::vector<Value>& args,
                           std::vector<std::uint8_t>& out);

/// A class (of the catalogue or a program's own) as the map its bytes make: type name, members in
/// wire order, lists of classes as typed lists.
KELO_API Status FromClass(const CKeloHesClass& object, Value& out);
/// Fills a class from a map, as if the map's bytes were read into it: the members it names are
/// set, the others keep their values. Fails as DecodeReply does when the map does not fit the class
/// (a member of another kind, or a type name that is not the class's).
KELO_API Status ToClass(const Value& map, CKeloHesClass& object);

}  // namespace kelo
