// The catalogue of every message class and value class: find a class by its wire type name,
// create a default object of it, and walk its members in wire order with their wire names and
// kinds. It is constant data generated from the same schema tables as the classes themselves;
// nothing registers itself at run time.
#pragma once

#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/hes_class.h>

// What a member holds.
enum TKeloMemberKind {
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
  KELO_KIND_VALUE,    // a value class (CT_ type); `carried` says what it carries
  KELO_KIND_MESSAGE,  // a nested message; `type` is its class
  KELO_KIND_LIST      // a typed list; `type` is the item class
};

enum TKeloClassKind {
  KELO_CLASS_MESSAGE,  // members registered and written as a typed map
  KELO_CLASS_VALUE     // one unregistered "value" member, always written as a full map
};

struct KeloClassInfo;

// Item access of a typed-list member, whatever its item class.
struct KeloListOps {
  int (*count)(const CKeloHesObject& list);
  CKeloHesClass* (*at)(CKeloHesObject& list, int index);  // null outside 0..count-1
  // Appends a heap item of the list's item class; the list owns it on success (0).
  int (*add)(CKeloHesObject& list, CKeloHesClass& item);
};

struct KeloMemberInfo {
  const char* name;  // wire member name (zero-terminated)
  unsigned int nameLength;
  TKeloMemberKind kind;
  TKeloMemberKind carried;    // for KELO_KIND_VALUE: the kind of the value inside
  const KeloClassInfo* type;  // for VALUE, MESSAGE and LIST; null otherwise
  const char* cppType;        // the member's C++ type as the schema names it
  // The member object inside an object of the class that declares this member (or a subclass).
  CKeloHesObject& (*access)(CKeloHesClass& object);
  const KeloListOps* list;  // for KELO_KIND_LIST; null otherwise
};

struct KeloClassInfo {
  const char* typeName;  // wire type name, "kelo.cl.ReqConnect" (zero-terminated)
  unsigned int typeNameLength;
  const char* cppName;  // the C++ class name without its namespace, "ReqConnect"
  TKeloClassKind classKind;
  const KeloClassInfo* base;      // the envelope base whose members come first, or null
  const KeloMemberInfo* members;  // own members only, in wire order
  unsigned int memberCount;
  bool copyable;  // false for classes that hold a typed list
  // A default object allocated with new (nothrow); null when the heap is exhausted.
  CKeloHesClass* (*create)();
  // For copyable classes: a heap copy (null when the heap is exhausted), and assignment between
  // two objects of this class. Null for classes that cannot be copied.
  CKeloHesClass* (*copy)(const CKeloHesClass& source);
  void (*assign)(CKeloHesClass& target, const CKeloHesClass& source);
};

// Every class, in a fixed order: value classes, management elements and envelopes, client
// messages.
KELO_API unsigned int KeloCatalogueSize();
KELO_API const KeloClassInfo* KeloCatalogueAt(unsigned int index);
// The class of the given wire type name, or null.
KELO_API const KeloClassInfo* KeloCatalogueFind(const char* typeName, unsigned int length);
KELO_API const KeloClassInfo* KeloCatalogueFind(const char* typeName);
// All members of a class, its bases' first, in wire order.
KELO_API unsigned int KeloCatalogueMemberCount(const KeloClassInfo& info);
KELO_API const KeloMemberInfo* KeloCatalogueMemberAt(const KeloClassInfo& info, unsigned int index);
// The name a kind is printed with ("int8", "string", "value", "list", ...).
KELO_API const char* KeloMemberKindName(TKeloMemberKind kind);
