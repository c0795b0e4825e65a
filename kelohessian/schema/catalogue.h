/// \file
/// Constant descriptions of message classes and value classes: wire names, member rows in wire
/// order with their member header bytes ('S', 2-byte length, name) worked out at compile time,
/// kinds and accessors; and the catalogue of every class of the library, found by wire type name.
/// All of it is constant data generated from the schema tables; nothing registers at run time.
#pragma once

#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/hes_class.h>

namespace kelo {

/// What a member holds.
enum MemberKind {
  KELO_KIND_INT8,
  KELO_KIND_UINT8,
  KELO_KIND_INT16,
  KELO_KIND_UINT16,
  KELO_KIND_INT32,
  KELO_KIND_UINT32,
  KELO_KIND_INT64,
  KELO_KIND_UINT64,
  KELO_KIND_BOOL,
  KELO_KIND_DOUBLE,
  KELO_KIND_DATE,
  KELO_KIND_STRING,
  KELO_KIND_BINARY,
  KELO_KIND_VALUE,    ///< a value class (CT_ type); `carried` says what it carries
  KELO_KIND_MESSAGE,  ///< a nested message; `type` is its class
  KELO_KIND_LIST,     ///< a typed list; `type` is the item class
  /// A list of strings, booleans, 32- or 64-bit integers or doubles (CKeloHesPlainArrayBase);
  /// `carried` is the item kind (KELO_KIND_STRING, KELO_KIND_BOOL, KELO_KIND_INT32,
  /// KELO_KIND_INT64 or KELO_KIND_DOUBLE), `type` and `list` are null.
  KELO_KIND_PLAIN_LIST,
  /// Any value (CKeloHesAny, a Java Object or Map<String,Object>); `type` and `list` are null.
  KELO_KIND_ANY
};

/// What a class is.
enum ClassKind {
  KELO_CLASS_MESSAGE,  ///< members written as a typed map from the class description
  KELO_CLASS_VALUE     ///< one unregistered "value" member, always written as a full map
};

struct ClassInfo;

/// Item access of a typed-list member, whatever its item class.
struct ListOps {
  /// The number of items of the list.
  int (*count)(const CKeloHesObject& list);
  CKeloHesClass* (*at)(CKeloHesObject& list, int index);  ///< null outside 0..count-1
  /// Appends a heap item of the list's item class; the list owns it on success (0).
  int (*add)(CKeloHesObject& list, CKeloHesClass& item);
};

/// One member of a class description: its wire name, what it holds, and how to reach it.
struct MemberInfo {
  const char* name;         ///< wire member name (zero-terminated)
  unsigned int nameLength;  ///< bytes of the name, without the terminator
  MemberKind kind;          ///< what the member holds
  MemberKind carried;       ///< for VALUE: the kind of the value inside; PLAIN_LIST: of the items
  const ClassInfo* type;    ///< for VALUE, MESSAGE and LIST; null otherwise
  const char* cppType;      ///< the member's C++ type as the schema names it
  /// The member object inside an object of the class that declares this member (or a subclass).
  CKeloHesObject& (*access)(CKeloHesClass& object);
  const ListOps* list;  ///< for KELO_KIND_LIST; null otherwise
  /// 'S', the name length in 2 bytes (most significant first) and the name: what precedes the
  /// member's value on the wire. `name` points into it.
  const char* header;
  unsigned int headerLength;  ///< bytes of `header`: 3 plus the name's length
  /// For a member of a message class: its offset in an object of the class that declares it,
  /// which starts at the same address as its CKeloHesClass part (single inheritance). What the
  /// generated reader uses instead of calling `access`. 0 for the "value" of a value class.
  unsigned int offset;
  /// `name` as the constant that the registry built from the rows refers to.
  CKeloHesName wireName;
};

/// The constant description of a message or value class: what writing and reading walk, and what
/// tools, tests and fuzzers use to handle any class. Constant data, initialised before any code
/// runs; never changes.
struct ClassInfo {
  const char* typeName;         ///< wire type name, "kelo.cl.ReqConnect" (zero-terminated)
  unsigned int typeNameLength;  ///< bytes of the type name, without the terminator
  const char* cppName;          ///< the C++ class name without its namespace, "ReqConnect"
  ClassKind classKind;          ///< a message class or a value class
  const ClassInfo* base;        ///< the envelope base whose members come first, or null
  const MemberInfo* members;    ///< own members only, in wire order, then an empty row
  unsigned int memberCount;     ///< own members only; CatalogueMemberCount counts the bases' too
  bool copyable;                ///< false for classes that hold a typed list
  /// A default object allocated with new (nothrow); null when the heap is exhausted.
  CKeloHesClass* (*create)();
  /// For copyable classes: a heap copy (null when the heap is exhausted), and assignment between
  /// two objects of this class. Null for classes that cannot be copied.
  CKeloHesClass* (*copy)(const CKeloHesClass& source);
  /// Assigns source to target, both of this class (see `copy`).
  void (*assign)(CKeloHesClass& target, const CKeloHesClass& source);
  /// 'M', 't', the type name length in 2 bytes and the type name: how a non-null map of this class
  /// opens on the wire. `typeName` points into it.
  const char* typeHeader;
  unsigned int typeHeaderLength;  ///< bytes of `typeHeader`: 4 plus the type name's length
};

/// Every class of the library, in a fixed order: value classes, management elements and
/// envelopes, client messages (each subsystem in the order of its class list).
KELO_API unsigned int CatalogueSize();
/// The class at index, or null from CatalogueSize() on.
KELO_API const ClassInfo* CatalogueAt(unsigned int index);
/// The class of the given wire type name, or null.
KELO_API const ClassInfo* CatalogueFind(const char* typeName, unsigned int length);
/// The class of the given zero-terminated wire type name, or null.
KELO_API const ClassInfo* CatalogueFind(const char* typeName);
/// All members of a class, its bases' first, in wire order.
KELO_API unsigned int CatalogueMemberCount(const ClassInfo& info);
/// The member at index of that order, or null from CatalogueMemberCount() on.
KELO_API const MemberInfo* CatalogueMemberAt(const ClassInfo& info, unsigned int index);
/// The name a kind is printed with ("int8", "string", "value", "list", "any", ...); both kinds of
/// list are "list".
KELO_API const char* MemberKindName(MemberKind kind);

}  // namespace kelo
