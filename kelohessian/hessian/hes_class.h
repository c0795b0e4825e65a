/// \file
/// CKeloHesClass, the base of every structure, and its typed-map encoding. A structure is written
/// as
///
///     'M' 't' <2-byte length> <namespace '.' class name>  { 'S' <2-byte length> <member> <value> }
///     'z'
///
/// or 'N' for a null structure. Members are registered once, on first use, by the virtual
/// HashMembers; they are written in registration order and found by exact name when read.
#pragma once

#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/name.h>
#include <kelohessian/hessian/object.h>

namespace kelo {
struct ClassInfo;
struct RegistryAccess;
struct SchemaAccess;
}  // namespace kelo
namespace kelo_detail {
struct MapEngine;
}  // namespace kelo_detail

/// The base of every structure: a wire identity (Namespace and ClassName, whose type name is the
/// namespace, '.' and the class name, or the class name alone for an empty namespace) and a member
/// registry, written as a typed map. Reading first sets every nullable member null, then fills the
/// members that arrive, matched by exact name; a member the class does not register is read past
/// whole (CKeloHesSkipObject). So members absent from the wire end up null (strings, blobs,
/// structures, lists) or keep their values (booleans and numbers). A failed read leaves the members
/// filled before it with their new values and the cursor where the failure left it; a failed
/// write leaves what it wrote in the output.
///
/// Threading: a structure is used by one thread at a time. Its member registry is built by the
/// first Serialize or Deserialize of a class that registers its members itself, so even the first
/// Serialize of a const object of such a class writes to it: a const object shared between
/// threads must have been written or read once before. Generated message classes (schema/) are
/// written and read from constant descriptions and build no registry unless asked to
/// (EnsureMembers), or unless the object's class derives from the generated one.
///
/// Copying copies the null flag and the class-name check flag, never the registry: a copy
/// registers its own members on first use, and assignment keeps the target's registry.
class KELO_API CKeloHesClass : public CKeloHesObject {
 public:
  /// Not null, with an empty registry and the class-name check on.
  CKeloHesClass();
  /// Copies the null flag and the class-name check flag; the copy's registry starts empty.
  CKeloHesClass(const CKeloHesClass& other);
  /// Copies the null flag and the class-name check flag; the registry stays this object's own.
  CKeloHesClass& operator=(const CKeloHesClass& other);
  ~CKeloHesClass() override;

  /// 'N' when null, otherwise the typed map of the registered members in registration order.
  /// KELO_E_NOT_SUPPORTED for a class that does not override HashMembers, KELO_E_INVALID_STATE for
  /// one that registers no members, KELO_E_OUT_OF_RANGE for a type name over 65535 bytes,
  /// KELO_E_NO_MEMORY when the registry or the output cannot grow.
  int Serialize(CKeloOutput& out) const override;
  /// Reads 'N' (the structure becomes null, its members keep their values) or a typed map of this
  /// class's type name (any type name when the class-name check is off). On failure the error text
  /// names the member and the class around the innermost message, one clause per enclosing
  /// structure.
  int Deserialize(CKeloInputParse& parse) override;
  /// Sets the null flag; always 0.
  int SetNull(bool isNull) override;
  /// The wire namespace; empty for a type name of the class name alone.
  virtual const CKeloHesName& Namespace() const = 0;
  /// The wire class name.
  virtual const CKeloHesName& ClassName() const = 0;

  /// The first registered member (null until the registry is built); members follow through
  /// m_next in wire order. Lets tools walk the members a structure writes.
  const CKeloMemberData* FirstMember() const { return m_head; }
  /// Builds the registry when it is still empty; 0, or the code of HashMembers. A registry that a
  /// failure left partial is discarded, so the next call builds it afresh.
  int EnsureMembers() const;

 protected:
  /// Writes every registered member ('S', the name, the value); KELO_E_INVALID_STATE when none is
  /// registered. Stops at the first failure.
  virtual int SerializeMembers(CKeloOutput& out) const;
  /// Registers the members, base class first. The root registers nothing and returns
  /// KELO_E_NOT_SUPPORTED.
  virtual int HashMembers();

 public:
  /// The constant description of the class (kelohessian/schema/catalogue.h), for tools that handle
  /// any class: a generated message class's or a value class's, inherited by a class derived from
  /// one (members it registers itself are not in it); null for a class that registers by hand.
  virtual const kelo::ClassInfo* Description() const;

 protected:
  /// Appends one registry node; KELO_E_NO_MEMORY (list unchanged) when it cannot be allocated. The
  /// node comes from the block reserved with ReserveMembers while that has room (the first node
  /// allocates the block), otherwise from a heap allocation of its own.
  int InsertMember(const CKeloHesName& name, CKeloHesObject& object);
  /// Reserves room for count registry nodes in one block, so that registering count members
  /// costs one allocation instead of count; the block is allocated with the first node. Does
  /// nothing when the registry or a reservation already exists, or for more than 65535 nodes.
  int ReserveMembers(unsigned int count);
  /// Declares that no two registered members share a name. A read then tries the member after the
  /// one it found last before searching from the first (the first match is then the only one).
  /// Any later InsertMember withdraws the declaration.
  void SetMemberNamesUnique() { m_uniqueNames = true; }

  /// Writes 'M', 't', the type name's 2-byte length and the type name; KELO_E_OUT_OF_RANGE (after
  /// 'M' 't') for a type name over 65535 bytes.
  int StartSerialize(CKeloOutput& out) const;
  /// Writes 'S', the low 16 bits of length, the name and then the object's encoding.
  int SerializeOneMember(const char* name, unsigned int length, const CKeloHesObject& object,
                         CKeloOutput& out) const;
  /// Writes the closing 'z'.
  int EndSerialize(CKeloOutput& out) const;

  /// Reads 'N' (sets the null flag) or 'M', 't' and the type name, which it checks when the
  /// class-name check is on (clears the null flag).
  int StartDeserialize(CKeloInputParse& parse);
  /// 0 when the bytes are exactly this class's type name, otherwise KELO_E_FORMAT and the text
  /// `Expected class "<expected>" but got "<received>"`.
  int VerifyExpectedClassName(CKeloInputParse& parse, const char* name, unsigned int length);
  /// Reads one member's value into object; on failure adds the clause naming the member and this
  /// class.
  int DeserializeOneMember(const char* name, unsigned int length, CKeloHesObject& object,
                           CKeloInputParse& parse);
  /// Reads the closing 'z': KELO_E_EXHAUSTED at the end of the input, KELO_E_FORMAT for any other
  /// byte.
  int EndDeserialize(CKeloInputParse& parse);
  /// Adds `class "<type name>"` to the error text.
  void AppendClassNameToError(CKeloInputParse& parse);

  /// Type name length: namespace '.' class name, or the class name alone for an empty namespace.
  unsigned int TypeNameLength() const;
  /// True when the bytes are exactly this class's type name.
  bool IsTypeName(const char* name, unsigned int length) const;

 private:
  // Lets tests and tools drive the registry operations that nothing inside the library calls.
  friend struct kelo::RegistryAccess;
  // Writes, reads and registers generated classes from their descriptions (schema/message.h).
  friend struct kelo::SchemaAccess;
  // Reads and writes the members of every structure, whatever its rows (detail/map_engine.h).
  friend struct kelo_detail::MapEngine;

  int CreateMemberHash();
  void ClearMemberHash();
  void NullifyAllMembers();
  void AppendMemberToError(const char* prefix, const char* name, unsigned int length,
                           CKeloInputParse& parse);

  // Registry fields are mutable: Serialize, though const, builds the registry on first use.
  mutable CKeloMemberData* m_head;
  mutable CKeloMemberData* m_tail;

 protected:
  /// Whether Deserialize checks the received type name; false only in CKeloHesSkipClass.
  bool m_checkClassName;

 private:
  // Fields beyond the documented layout (null flag, head, tail, class-name check) come last, so
  // that the layout a client compiled against stays the same up to here; they fill the padding
  // behind the class-name check.
  // Whether SetMemberNamesUnique holds for the registry as it is.
  mutable bool m_uniqueNames;
  // Nodes reserved by ReserveMembers: m_blockUsed of m_blockSize nodes are in the registry. The
  // block starts at m_head once its first node is in it.
  mutable unsigned short m_blockSize;
  mutable unsigned short m_blockUsed;
};
