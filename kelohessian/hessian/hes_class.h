// CKeloHesClass, the base of every structure, and its typed-map encoding:
//   'M' 't' <2-byte length> <namespace '.' class name>  { 'S' <2-byte length> <member> <value> }
//   'z'
// or 'N' for a null structure. Members are registered once, on first use, by the virtual
// HashMembers; they are written in registration order and found by exact name when read.
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

// Threading: a structure is used by one thread at a time. Its member registry is built by the
// first Serialize or Deserialize of a class that registers its members itself, so even the first
// Serialize of a const object of such a class writes to it: a const object shared between
// threads must have been written or read once before. Generated message classes (schema/) are
// written and read from constant descriptions and build no registry unless asked to
// (EnsureMembers), or unless the object's class derives from the generated one.
//
// Copying copies the null flag and the class-name check flag, never the registry: a copy
// registers its own members on first use, and assignment keeps the target's registry.
class KELO_API CKeloHesClass : public CKeloHesObject {
 public:
  CKeloHesClass();
  CKeloHesClass(const CKeloHesClass& other);
  CKeloHesClass& operator=(const CKeloHesClass& other);
  ~CKeloHesClass() override;

  int Serialize(CKeloOutput& out) const override;
  int Deserialize(CKeloInputParse& parse) override;
  int SetNull(bool isNull) override;
  virtual const CKeloHesName& Namespace() const = 0;
  virtual const CKeloHesName& ClassName() const = 0;

  // The first registered member (null until the registry is built); members follow through
  // m_next in wire order. Lets tools walk the members a structure writes.
  const CKeloMemberData* FirstMember() const { return m_head; }
  // Builds the registry when it is still empty; 0, or the code of HashMembers.
  int EnsureMembers() const;

 protected:
  virtual int SerializeMembers(CKeloOutput& out) const;
  // Registers the members, base class first. The root registers nothing and returns
  // KELO_E_NOT_SUPPORTED.
  virtual int HashMembers();

 public:
  // The constant description of the class (kelohessian/schema/catalogue.h), for tools that handle
  // any class: a generated message class's or a value class's, inherited by a class derived from
  // one (members it registers itself are not in it); null for a class that registers by hand.
  virtual const kelo::ClassInfo* Description() const;

 protected:
  // Appends one registry node; KELO_E_NO_MEMORY (list unchanged) when it cannot be allocated. The
  // node comes from the block reserved with ReserveMembers while that has room (the first node
  // allocates the block), otherwise from a heap allocation of its own.
  int InsertMember(const CKeloHesName& name, CKeloHesObject& object);
  // Reserves room for count registry nodes in one block, so that registering count members
  // costs one allocation instead of count; the block is allocated with the first node. Does
  // nothing when the registry or a reservation already exists, or for more than 65535 nodes.
  int ReserveMembers(unsigned int count);
  // Declares that no two registered members share a name. A read then tries the member after the
  // one it found last before searching from the first (the first match is then the only one).
  // Any later InsertMember withdraws the declaration.
  void SetMemberNamesUnique() { m_uniqueNames = true; }

  int StartSerialize(CKeloOutput& out) const;
  int SerializeOneMember(const char* name, unsigned int length, const CKeloHesObject& object,
                         CKeloOutput& out) const;
  int EndSerialize(CKeloOutput& out) const;

  int StartDeserialize(CKeloInputParse& parse);
  int VerifyExpectedClassName(CKeloInputParse& parse, const char* name, unsigned int length);
  int DeserializeOneMember(const char* name, unsigned int length, CKeloHesObject& object,
                           CKeloInputParse& parse);
  int EndDeserialize(CKeloInputParse& parse);
  void AppendClassNameToError(CKeloInputParse& parse);

  // Type name length: namespace '.' class name, or the class name alone for an empty namespace.
  unsigned int TypeNameLength() const;
  // True when the bytes are exactly this class's type name.
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
  // Whether Deserialize checks the received type name; false only in CKeloHesSkipClass.
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
