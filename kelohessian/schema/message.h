/// \file
/// The message class family: a message class is its schema table and nothing more. A table lists
/// the members in wire order as X(member type, wire member name); the macros below turn it into
/// the class declaration and the definitions: name constants, the constant class description that
/// writing and reading walk, the member registry built on request, and the catalogue entry. The
/// data member is named after the wire member name, so the two never drift apart.
///
/// A program outside the library declares and defines its own message classes with the same
/// macros (installed with the library):
///
///     #define MY_Point_MEMBERS(X) X(CKeloHesInt32, x) X(CKeloHesString, label)
///     namespace my {
///     KELO_LOCAL_MESSAGE(Point, CKeloHesClass, MY_Point_MEMBERS)      // in a header
///     }
///     namespace my {
///     KELO_MESSAGE_DEFINE(Point, "my", CKeloHesClass, MY_Point_MEMBERS)  // in one source file
///     }
///
/// KELO_LOCAL_MESSAGE gives a class that is neither exported nor imported: right for a program,
/// and on Windows the only form that links, since KELO_API there imports from the library's DLL.
/// A shared library of the program's own exports its classes with KELO_MESSAGE_CLASS and its own
/// export macro in place of KELO_API. The wire type name is the namespace, '.', the class name,
/// or the class name alone for the namespace "". A typed list of such a class is CKeloHesArray<T>,
/// instantiated where it is used; CKeloHesArray<CKeloHesString> (CKeloHesBool, CKeloHesInt32,
/// CKeloHesInt64, CKeloHesDouble) is a list of strings (booleans, numbers), written as Java writes
/// its arrays (hessian/plain_array.h). CKeloHesAny holds any value (kelo::Value): a Java field of type
/// Object or Map<String,Object>, declared with its traits in kelo/any.h.
///
/// Copying is left to the compiler: it copies every member with its own copy rules, and the base
/// copies neither registry; it is deleted for classes that hold a typed list.
#pragma once

#include <stddef.h>

#include <new>
#include <type_traits>
#include <typeinfo>

#include <kelohessian/hessian/array.h>
#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/hes_class.h>
#include <kelohessian/hessian/object.h>
#include <kelohessian/hessian/string.h>
#include <kelohessian/schema/catalogue.h>

namespace kelo {

/// @cond KELO_INTERNAL
// The machinery that the macros below expand to; not for direct use.

/// 'M' 't' <2-byte length> <namespace '.' class name> and a terminating zero, built at compile
/// time from two string literals (sizes counting their terminators).
template <size_t NsSize, size_t ClsSize>
struct TypeHeader {
  static constexpr size_t kNameLength = (NsSize > 1 ? NsSize : 0) + ClsSize - 1;
  static_assert(kNameLength <= 0xFFFF, "a type name longer than 65535 bytes cannot be written");
  char bytes[4 + kNameLength + 1];
  constexpr TypeHeader(const char (&ns)[NsSize], const char (&cls)[ClsSize]) : bytes{} {
    bytes[0] = 'M';
    bytes[1] = 't';
    bytes[2] = static_cast<char>(kNameLength >> 8);
    bytes[3] = static_cast<char>(kNameLength & 0xFF);
    size_t at = 4;
    for (size_t i = 0; i + 1 < NsSize; ++i) bytes[at++] = ns[i];
    if (NsSize > 1) bytes[at++] = '.';
    for (size_t i = 0; i + 1 < ClsSize; ++i) bytes[at++] = cls[i];
  }
};

/// 'S' <2-byte length> <member name> and a terminating zero.
template <size_t NameSize>
struct MemberHeader {
  static_assert(NameSize - 1 <= 0xFFFF, "a member name longer than 65535 bytes cannot be written");
  char bytes[3 + NameSize];
  constexpr MemberHeader(const char (&name)[NameSize]) : bytes{} {
    bytes[0] = 'S';
    bytes[1] = static_cast<char>((NameSize - 1) >> 8);
    bytes[2] = static_cast<char>((NameSize - 1) & 0xFF);
    for (size_t i = 0; i + 1 < NameSize; ++i) bytes[3 + i] = name[i];
  }
};

/// True for a class with a constant description (declared with the schema macros).
template <class T, class = void>
struct HasClassInfo : std::false_type {};
template <class T>
struct HasClassInfo<T, std::void_t<decltype(&T::mClassInfo)>> : std::is_base_of<CKeloHesObject, T> {
};

/// The class description of T, or null when T has none (a misuse refused by the static_assert of
/// AsMemberObject or CKeloHesArray; the null only keeps that assertion the one error reported).
template <class T>
constexpr const ClassInfo* ClassInfoOf() {
  if constexpr (HasClassInfo<T>::value) {
    return &T::mClassInfo;
  } else {
    return nullptr;
  }
}

/// Member kinds, worked out from the member's C++ type.
template <class T, class Enable = void>
struct MemberTraits {  ///< a nested message
  static constexpr MemberKind kind = KELO_KIND_MESSAGE;
  static constexpr MemberKind carried = KELO_KIND_MESSAGE;
  static constexpr const ClassInfo* type = ClassInfoOf<T>();
  static constexpr const ListOps* list = nullptr;
};

/// The list operations of CKeloHesArray<T>; none for an item type that CKeloHesArray itself
/// refuses with a static_assert.
template <class T, bool Valid = (IsListItem<T>::value && HasClassInfo<T>::value)>
struct ListOpsOf {
  static constexpr const ListOps* list = nullptr;
};
template <class T>
struct ListOpsOf<T, true> {
  static constexpr ListOps ops = {
      [](const CKeloHesObject& list) { return static_cast<const CKeloHesArray<T>&>(list).Count(); },
      [](CKeloHesObject& list, int index) -> CKeloHesClass* {
        return static_cast<CKeloHesArray<T>&>(list).GetAt(index);
      },
      [](CKeloHesObject& list, CKeloHesClass& item) {
        return static_cast<CKeloHesArray<T>&>(list).Add(static_cast<T&>(item));
      }};
  static constexpr const ListOps* list = &ops;
};

template <class T>
struct MemberTraits<CKeloHesArray<T>> {
  static constexpr MemberKind kind = KELO_KIND_LIST;
  static constexpr MemberKind carried = KELO_KIND_LIST;
  static constexpr const ClassInfo* type = ClassInfoOf<T>();
  static constexpr const ListOps* list = ListOpsOf<T>::list;
};

/// A member as the object the registry and the description hand out. Every member passes through
/// here, so its static_assert is where a member of the wrong type is refused; past it the function
/// still compiles, so that no second error follows.
template <class T>
CKeloHesObject& AsMemberObject(T& member) {
  // The one error a member of any other type gives: here rather than in MemberTraits, whose
  // members the compiler would then drop and report missing one by one.
  static_assert(std::is_base_of<CKeloHesObject, T>::value &&
                    (MemberTraits<T>::kind != KELO_KIND_MESSAGE || HasClassInfo<T>::value),
                "a schema member must be a Hessian value: CKeloHesInt8/16/32/64, "
                "CKeloHesUInt8/16/32/64, CKeloHesBool, CKeloHesDouble, CKeloHesDate, "
                "CKeloHesString, CKeloHesBinary, a value class, a message class declared with "
                "KELO_MESSAGE or KELO_LOCAL_MESSAGE, CKeloHesArray<message class>, or "
                "CKeloHesArray of CKeloHesString, CKeloHesBool, CKeloHesInt32, CKeloHesInt64 or "
                "CKeloHesDouble, or CKeloHesAny for any value; "
                "for a C++ int write X(CKeloHesInt32, name); a class registered by hand "
                "cannot be a member, declare it with the macros");
  if constexpr (std::is_base_of<CKeloHesObject, T>::value) {
    return member;
  } else {
    return *reinterpret_cast<CKeloHesObject*>(&member);
  }
}

#define KELO_SCALAR_TRAITS(Type, Kind)                \
  template <>                                         \
  struct MemberTraits<Type> {                         \
    static constexpr MemberKind kind = Kind;          \
    static constexpr MemberKind carried = Kind;       \
    static constexpr const ClassInfo* type = nullptr; \
    static constexpr const ListOps* list = nullptr;   \
  };
KELO_SCALAR_TRAITS(CKeloHesInt8, KELO_KIND_INT8)
KELO_SCALAR_TRAITS(CKeloHesUInt8, KELO_KIND_UINT8)
KELO_SCALAR_TRAITS(CKeloHesInt16, KELO_KIND_INT16)
KELO_SCALAR_TRAITS(CKeloHesUInt16, KELO_KIND_UINT16)
KELO_SCALAR_TRAITS(CKeloHesInt32, KELO_KIND_INT32)
KELO_SCALAR_TRAITS(CKeloHesUInt32, KELO_KIND_UINT32)
KELO_SCALAR_TRAITS(CKeloHesInt64, KELO_KIND_INT64)
KELO_SCALAR_TRAITS(CKeloHesUInt64, KELO_KIND_UINT64)
KELO_SCALAR_TRAITS(CKeloHesBool, KELO_KIND_BOOL)
KELO_SCALAR_TRAITS(CKeloHesDouble, KELO_KIND_DOUBLE)
KELO_SCALAR_TRAITS(CKeloHesDate, KELO_KIND_DATE)
KELO_SCALAR_TRAITS(CKeloHesString, KELO_KIND_STRING)
KELO_SCALAR_TRAITS(CKeloHesBinary, KELO_KIND_BINARY)
#undef KELO_SCALAR_TRAITS

/// A list of strings, booleans or numbers names the kind of its items.
#define KELO_PLAIN_LIST_TRAITS(Item, Kind)                   \
  template <>                                                \
  struct MemberTraits<CKeloHesArray<Item>> {                 \
    static constexpr MemberKind kind = KELO_KIND_PLAIN_LIST; \
    static constexpr MemberKind carried = Kind;              \
    static constexpr const ClassInfo* type = nullptr;        \
    static constexpr const ListOps* list = nullptr;          \
  };
KELO_PLAIN_LIST_TRAITS(CKeloHesString, KELO_KIND_STRING)
KELO_PLAIN_LIST_TRAITS(CKeloHesBool, KELO_KIND_BOOL)
KELO_PLAIN_LIST_TRAITS(CKeloHesInt32, KELO_KIND_INT32)
KELO_PLAIN_LIST_TRAITS(CKeloHesInt64, KELO_KIND_INT64)
KELO_PLAIN_LIST_TRAITS(CKeloHesDouble, KELO_KIND_DOUBLE)
#undef KELO_PLAIN_LIST_TRAITS

/// A value class (a CT_ type) names the value object it carries.
template <class T>
struct MemberTraits<T, std::void_t<typename T::ValueObject>> {
  static constexpr MemberKind kind = KELO_KIND_VALUE;
  static constexpr MemberKind carried = MemberTraits<typename T::ValueObject>::kind;
  static constexpr const ClassInfo* type = &T::mClassInfo;
  static constexpr const ListOps* list = nullptr;
};

/// Copy and assignment through the catalogue, for the classes that allow them.
template <class T, bool Copyable = std::is_copy_constructible<T>::value>
struct CopyOps {
  static constexpr CKeloHesClass* (*copy)(const CKeloHesClass&) = nullptr;
  static constexpr void (*assign)(CKeloHesClass&, const CKeloHesClass&) = nullptr;
};
template <class T>
struct CopyOps<T, true> {
  static CKeloHesClass* Copy(const CKeloHesClass& source) {
    return new (std::nothrow) T(static_cast<const T&>(source));
  }
  static void Assign(CKeloHesClass& target, const CKeloHesClass& source) {
    static_cast<T&>(target) = static_cast<const T&>(source);
  }
  static constexpr CKeloHesClass* (*copy)(const CKeloHesClass&) = &Copy;
  static constexpr void (*assign)(CKeloHesClass&, const CKeloHesClass&) = &Assign;
};

/// The description of the envelope base whose members come first, or null for CKeloHesClass.
template <class Base>
struct BaseInfo {
  static constexpr const ClassInfo* info = &Base::mClassInfo;
};
template <>
struct BaseInfo<CKeloHesClass> {
  static constexpr const ClassInfo* info = nullptr;
};

/// True when no two members of the class and its envelope bases share a wire name.
KELO_API bool MemberNamesUnique(const ClassInfo& info);

/// An object of a generated class written and read through its description, without a registry,
/// by the engine of every structure. `uniqueNames` is MemberNamesUnique of the description: a read
/// then tries the row after the one found last first (the first match being the only one).
struct KELO_API SchemaAccess {
  static int Write(const CKeloHesClass& object, const ClassInfo& info, CKeloOutput& out);
  static int Read(CKeloHesClass& object, const ClassInfo& info, bool uniqueNames,
                  CKeloInputParse& parse);
  /// HashMembers of a generated class: registers its rows, its envelope bases' first, in one block.
  static int Register(CKeloHesClass& object, const ClassInfo& info, bool uniqueNames);
};

/// @endcond

}  // namespace kelo

#define KELO_NO_EXTRA

// The generated constructors and destructors are called from many places (nested members, the
// catalogue's create, lists); kept out of line, each exists once.
#if defined(__GNUC__)
#define KELO_NOINLINE __attribute__((noinline))
#else
#define KELO_NOINLINE
#endif

// offsetof of a member of a message class: the classes are polymorphic, so not standard-layout,
// which makes offsetof conditionally supported; GCC and Clang support it for single non-virtual
// inheritance, as here, and warn all the same.
#if defined(__GNUC__)
#define KELO_OFFSETOF_BEGIN \
  _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Winvalid-offsetof\"")
#define KELO_OFFSETOF_END _Pragma("GCC diagnostic pop")
#else
#define KELO_OFFSETOF_BEGIN
#define KELO_OFFSETOF_END
#endif

#define KELO_MEMBER_FIELD(Type, name) Type name; /**< The wire member `name`. */

/// Declares a message class Cls with base Base (CKeloHesClass or an envelope base), the members
/// of the table MEMBERS and EXTRA (declarations added to the public section), marked Api.
/// Serialize and Deserialize walk the constant description when the object's dynamic class is
/// Cls itself; a class derived from it (which may override HashMembers or SerializeMembers) is
/// written and read through its member registry, as CKeloHesClass does it.
#define KELO_MESSAGE_CLASS(Api, Cls, Base, MEMBERS, EXTRA) \
  class Api Cls : public Base {                            \
   public:                                                 \
    /** The wire namespace; empty for none. */             \
    static const CKeloHesName mNamespace;                  \
    /** The wire class name, the C++ class name. */        \
    static const CKeloHesName mClassName;                  \
    /** The constant description of the class. */          \
    static const ::kelo::ClassInfo mClassInfo;             \
    /** Numbers 0; strings, blobs null; lists empty. */    \
    KELO_NOINLINE Cls();                                   \
    KELO_NOINLINE ~Cls() override;                         \
    const CKeloHesName& Namespace() const override;        \
    const CKeloHesName& ClassName() const override;        \
    int Serialize(CKeloOutput& out) const override;        \
    int Deserialize(CKeloInputParse& parse) override;      \
    const ::kelo::ClassInfo* Description() const override; \
    EXTRA                                                  \
    MEMBERS(KELO_MEMBER_FIELD)                             \
                                                           \
   protected:                                              \
    int HashMembers() override;                            \
  };

/// A class of the library (exported).
#define KELO_MESSAGE(Cls, Base, MEMBERS) \
  KELO_MESSAGE_CLASS(KELO_API, Cls, Base, MEMBERS, KELO_NO_EXTRA)
/// A class of a program outside the library: neither exported nor imported.
#define KELO_LOCAL_MESSAGE(Cls, Base, MEMBERS) \
  KELO_MESSAGE_CLASS(, Cls, Base, MEMBERS, KELO_NO_EXTRA)

#define KELO_MEMBER_HEADER(Type, name) \
  static constexpr ::kelo::MemberHeader<sizeof(#name)> header_##name{#name};
#define KELO_MEMBER_INFO(Type, name)                                                        \
  ::kelo::MemberInfo{header_##name.bytes + 3,                                               \
                     sizeof(#name) - 1,                                                     \
                     ::kelo::MemberTraits<Type>::kind,                                      \
                     ::kelo::MemberTraits<Type>::carried,                                   \
                     ::kelo::MemberTraits<Type>::type,                                      \
                     #Type,                                                                 \
                     [](CKeloHesClass& keloObject_) -> CKeloHesObject& {                    \
                       return ::kelo::AsMemberObject(static_cast<Self&>(keloObject_).name); \
                     },                                                                     \
                     ::kelo::MemberTraits<Type>::list,                                      \
                     header_##name.bytes,                                                   \
                     sizeof(#name) + 2,                                                     \
                     static_cast<unsigned int>(offsetof(Self, name)),                       \
                     CKeloHesName(header_##name.bytes + 3, sizeof(#name) - 1)},

/// Defines what KELO_MESSAGE_CLASS declared, in the namespace of the class. WireNs is the wire
/// namespace ("kelo.cl", "services", or "" for none), written once per class; the wire class name
/// is the C++ class name.
#define KELO_MESSAGE_DEFINE(Cls, WireNs, Base, MEMBERS)                                           \
  namespace {                                                                                     \
  struct KeloSchema_##Cls {                                                                       \
    typedef Cls Self;                                                                             \
    MEMBERS(KELO_MEMBER_HEADER)                                                                   \
    static constexpr ::kelo::TypeHeader<sizeof(WireNs), sizeof(#Cls)> typeHeader{WireNs, #Cls};   \
    KELO_OFFSETOF_BEGIN                                                                           \
    static constexpr ::kelo::MemberInfo members[] = {                                             \
        MEMBERS(KELO_MEMBER_INFO)::kelo::MemberInfo{}};                                           \
    KELO_OFFSETOF_END                                                                             \
  };                                                                                              \
  }                                                                                               \
  const CKeloHesName Cls::mNamespace(WireNs, sizeof(WireNs) - 1);                                 \
  const CKeloHesName Cls::mClassName(#Cls, sizeof(#Cls) - 1);                                     \
  const ::kelo::ClassInfo Cls::mClassInfo = {                                                     \
      KeloSchema_##Cls::typeHeader.bytes + 4,                                                     \
      static_cast<unsigned int>(KeloSchema_##Cls::typeHeader.kNameLength),                        \
      #Cls,                                                                                       \
      ::kelo::KELO_CLASS_MESSAGE,                                                                 \
      ::kelo::BaseInfo<Base>::info,                                                               \
      KeloSchema_##Cls::members,                                                                  \
      sizeof(KeloSchema_##Cls::members) / sizeof(::kelo::MemberInfo) - 1,                         \
      std::is_copy_constructible<Cls>::value,                                                     \
      []() -> CKeloHesClass* { return new (std::nothrow) Cls(); },                                \
      ::kelo::CopyOps<Cls>::copy,                                                                 \
      ::kelo::CopyOps<Cls>::assign,                                                               \
      KeloSchema_##Cls::typeHeader.bytes,                                                         \
      static_cast<unsigned int>(KeloSchema_##Cls::typeHeader.kNameLength + 4)};                   \
  Cls::Cls() {}                                                                                   \
  Cls::~Cls() {}                                                                                  \
  const CKeloHesName& Cls::Namespace() const {                                                    \
    return mNamespace;                                                                            \
  }                                                                                               \
  const CKeloHesName& Cls::ClassName() const {                                                    \
    return mClassName;                                                                            \
  }                                                                                               \
  int Cls::Serialize(CKeloOutput& out) const {                                                    \
    if (typeid(*this) != typeid(Cls)) return CKeloHesClass::Serialize(out);                       \
    return ::kelo::SchemaAccess::Write(*this, mClassInfo, out);                                   \
  }                                                                                               \
  int Cls::Deserialize(CKeloInputParse& parse) {                                                  \
    if (typeid(*this) != typeid(Cls)) return CKeloHesClass::Deserialize(parse);                   \
    static const bool keloUnique_ = ::kelo::MemberNamesUnique(mClassInfo);                        \
    return ::kelo::SchemaAccess::Read(*this, mClassInfo, keloUnique_, parse);                     \
  }                                                                                               \
  const ::kelo::ClassInfo* Cls::Description() const {                                             \
    return &mClassInfo;                                                                           \
  }                                                                                               \
  /* The registry, built only when a caller asks for it or a derived class is written or read. */ \
  int Cls::HashMembers() {                                                                        \
    static const bool keloUnique_ = ::kelo::MemberNamesUnique(mClassInfo);                        \
    return ::kelo::SchemaAccess::Register(*this, mClassInfo, keloUnique_);                        \
  }

/// Subsystem class lists. Each row X(C++ namespace, class, base, wire namespace, shape) names one
/// message class whose member table is the macro KELO_<class>_MEMBERS. The shape says what else
/// the row brings: PLAIN nothing; ITEM an exported typed list CKeloHesArray<class>; ITEM_EXTRA
/// that and the declarations of KELO_<class>_EXTRA. The rows are in declaration order (a class
/// after every class it holds). KELO_DECLARE_LISTED expands a row into the declaration (in a
/// header), KELO_DEFINE_LISTED into the definitions (in one source file of the library).
#define KELO_SHAPE_EXTRA_PLAIN(Cls) KELO_NO_EXTRA
#define KELO_SHAPE_EXTRA_ITEM(Cls) KELO_NO_EXTRA
#define KELO_SHAPE_EXTRA_ITEM_EXTRA(Cls) KELO_##Cls##_EXTRA
#define KELO_SHAPE_DECLARE_PLAIN(T)
#define KELO_SHAPE_DECLARE_ITEM(T) KELO_DECLARE_ARRAY(T)
#define KELO_SHAPE_DECLARE_ITEM_EXTRA(T) KELO_DECLARE_ARRAY(T)
#define KELO_SHAPE_DEFINE_PLAIN(T)
#define KELO_SHAPE_DEFINE_ITEM(T) KELO_DEFINE_ARRAY(T)
#define KELO_SHAPE_DEFINE_ITEM_EXTRA(T) KELO_DEFINE_ARRAY(T)

/// Declares the message class of one class-list row, and the exported list of an ITEM row.
#define KELO_DECLARE_LISTED(CppNs, Cls, Base, WireNs, Shape)                                   \
  namespace CppNs {                                                                            \
  KELO_MESSAGE_CLASS(KELO_API, Cls, Base, KELO_##Cls##_MEMBERS, KELO_SHAPE_EXTRA_##Shape(Cls)) \
  }                                                                                            \
  KELO_SHAPE_DECLARE_##Shape(CppNs::Cls)

/// Defines the message class of one class-list row, and the exported list of an ITEM row.
#define KELO_DEFINE_LISTED(CppNs, Cls, Base, WireNs, Shape)      \
  KELO_SHAPE_DEFINE_##Shape(CppNs::Cls) namespace CppNs {        \
    KELO_MESSAGE_DEFINE(Cls, WireNs, Base, KELO_##Cls##_MEMBERS) \
  }
