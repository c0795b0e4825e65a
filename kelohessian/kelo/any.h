/// \file
/// A member that holds any Hessian value: what a Java class declares as `Object`,
/// `Map<String,Object>` or `List<Object>`, declared in a schema table as X(CKeloHesAny, name).
#pragma once

#include <utility>

#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/object.h>
#include <kelohessian/schema/message.h>
#include <kelohessian/value.h>

/// A member holding a kelo::Value (kelohessian/value.h), written and read by the value codec: what
/// the wire says is kept as DecodeValue keeps it (type names, 'l' lengths, map order, keys of any
/// kind), and a value written from it gives the same bytes back.
///
/// Null: a new member holds null; IsNull() is true exactly while the value is null (written 'N').
/// SetNull(true) makes it null; SetNull(false) on a null member is KELO_E_NOT_SUPPORTED, since
/// there is no value to make non-null.
///
/// References ('R'): Java numbers every map, list and object of a message in order, the objects of
/// the classes around the member included, and so does this member, counting from the maps and
/// lists written or read before it in the message (the buffer's count, which a call starts from
/// 0). Inside the member, a shared map or list is written once and then as 'R', and cycles
/// round-trip. Reading, an 'R' may reach a map or list of any member of any value read earlier
/// from the same parse context (until its Reset()): the two then hold the same node. An 'R' to an
/// object read into a class, or skipped, is KELO_E_FORMAT ("'R' refers to map or list 0, which was
/// not read as a value"). Two members that hold the same node are written as two copies: the
/// sharing of one message's members survives a read but not a write.
///
/// Copies share the value's nodes, as copies of a kelo::Value do.
class KELO_API CKeloHesAny : public CKeloHesObject {
 public:
  /// Holds null.
  CKeloHesAny() { m_null = true; }
  /// Holds the value.
  CKeloHesAny(kelo::Value value) : m_value(std::move(value)) { m_null = m_value.is_null(); }
  /// Holds the other's value, sharing its nodes.
  CKeloHesAny(const CKeloHesAny& other) = default;
  /// Holds the other's value, sharing its nodes.
  CKeloHesAny& operator=(const CKeloHesAny& other) = default;
  ~CKeloHesAny() override;
  /// Holds the value.
  CKeloHesAny& operator=(kelo::Value value) {
    Set(std::move(value));
    return *this;
  }

  /// The value held. A list or map held is edited through a copy of it, which shares its nodes.
  const kelo::Value& Get() const { return m_value; }
  /// Holds the value.
  void Set(kelo::Value value) {
    m_value = std::move(value);
    m_null = m_value.is_null();
  }

  /// The value as EncodeValue writes it; KELO_E_NO_MEMORY, KELO_E_OUT_OF_RANGE or
  /// KELO_E_NOT_SUPPORTED as EncodeValue fails, with what was appended cut back.
  int Serialize(CKeloOutput& out) const override;
  /// Reads one value of any kind. On failure the value held is unchanged, the cursor stands where
  /// the reader stopped and the parse context holds the value reader's text.
  int Deserialize(CKeloInputParse& parse) override;
  int SetNull(bool isNull) override;

 private:
  kelo::Value m_value;
};

namespace kelo {
/// @cond KELO_INTERNAL
template <>
struct MemberTraits<CKeloHesAny> {
  static constexpr MemberKind kind = KELO_KIND_ANY;
  static constexpr MemberKind carried = KELO_KIND_ANY;
  static constexpr const ClassInfo* type = nullptr;
  static constexpr const ListOps* list = nullptr;
};
/// @endcond
}  // namespace kelo
