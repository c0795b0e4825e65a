// The message class family: a message class is its schema table and nothing more. A table lists
// the members in wire order as X(member type, wire member name); KELO_MESSAGE turns it into the
// class declaration, and KELO_MESSAGE_IMPL (in the library's sources) into the name constants,
// the registration and the catalogue entry. The data member is named after the wire member name,
// so the two never drift apart.
//
// Copying is left to the compiler: it copies every member with its own copy rules, and the base
// copies neither registry; it is deleted for classes that hold a typed list.
#pragma once

#include <new>
#include <type_traits>

#include <kelohessian/commengine/catalogue.h>
#include <kelohessian/hessian/array.h>
#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/hes_class.h>
#include <kelohessian/hessian/string.h>
#include <kelohessian/types/domain_types.h>

#define KELO_MEMBER_FIELD(Type, name) Type name;

// Declares a message class Cls with base Base (CKeloHesClass or an envelope base) and the
// members of the table MEMBERS.
#define KELO_MESSAGE(Cls, Base, MEMBERS) KELO_MESSAGE_WITH(Cls, Base, MEMBERS, KELO_NO_EXTRA)
#define KELO_NO_EXTRA
// The same, with EXTRA (a macro expanding to declarations) added to the public section.
#define KELO_MESSAGE_WITH(Cls, Base, MEMBERS, EXTRA) \
  KELO_MESSAGE_CLASS(KELO_API, Cls, Base, MEMBERS, EXTRA)
// A message class of a program outside the library (its tests): neither exported nor imported,
// since a Windows DLL import of a class the DLL does not hold cannot link.
#define KELO_LOCAL_MESSAGE(Cls, Base, MEMBERS) \
  KELO_MESSAGE_CLASS(, Cls, Base, MEMBERS, KELO_NO_EXTRA)
#define KELO_MESSAGE_CLASS(Api, Cls, Base, MEMBERS, EXTRA) \
  class Api Cls : public Base {                            \
   public:                                                 \
    static const CKeloHesName mNamespace;                  \
    static const CKeloHesName mClassName;                  \
    static const KeloClassInfo mClassInfo;                 \
    Cls();                                                 \
    ~Cls() override;                                       \
    const CKeloHesName& Namespace() const override;        \
    const CKeloHesName& ClassName() const override;        \
    EXTRA                                                  \
    MEMBERS(KELO_MEMBER_FIELD)                             \
                                                           \
   protected:                                              \
    int HashMembers() override;                            \
  };

// Member kinds, worked out from the member's C++ type.
template <class T, class Enable = void>
struct KeloMemberTraits {  // a nested message
  static constexpr TKeloMemberKind kind = KELO_KIND_MESSAGE;
  static constexpr TKeloMemberKind carried = KELO_KIND_MESSAGE;
  static constexpr const KeloClassInfo* type = &T::mClassInfo;
  static constexpr const KeloListOps* list = nullptr;
};

#define KELO_SCALAR_TRAITS(Type, Kind)                    \
  template <>                                             \
  struct KeloMemberTraits<Type> {                         \
    static constexpr TKeloMemberKind kind = Kind;         \
    static constexpr TKeloMemberKind carried = Kind;      \
    static constexpr const KeloClassInfo* type = nullptr; \
    static constexpr const KeloListOps* list = nullptr;   \
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

template <class T>
struct KeloMemberTraits<
    T, typename std::enable_if<std::is_base_of<VarantoTypes::CKeloValueClass, T>::value>::type> {
  static constexpr TKeloMemberKind kind = KELO_KIND_VALUE;
  static constexpr TKeloMemberKind carried = KeloMemberTraits<typename T::ValueObject>::kind;
  static constexpr const KeloClassInfo* type = &T::mClassInfo;
  static constexpr const KeloListOps* list = nullptr;
};

template <class T>
struct KeloMemberTraits<CKeloHesArray<T>> {
  static constexpr TKeloMemberKind kind = KELO_KIND_LIST;
  static constexpr TKeloMemberKind carried = KELO_KIND_LIST;
  static constexpr const KeloClassInfo* type = &T::mClassInfo;
  static constexpr KeloListOps ops = {
      [](const CKeloHesObject& list) { return static_cast<const CKeloHesArray<T>&>(list).Count(); },
      [](CKeloHesObject& list, int index) -> CKeloHesClass* {
        return static_cast<CKeloHesArray<T>&>(list).GetAt(index);
      },
      [](CKeloHesObject& list, CKeloHesClass& item) {
        return static_cast<CKeloHesArray<T>&>(list).Add(static_cast<T&>(item));
      }};
  static constexpr const KeloListOps* list = &ops;
};

// Copy and assignment through the catalogue, for the classes that allow them.
template <class T, bool Copyable = std::is_copy_constructible<T>::value>
struct KeloCopyOps {
  static constexpr CKeloHesClass* (*copy)(const CKeloHesClass&) = nullptr;
  static constexpr void (*assign)(CKeloHesClass&, const CKeloHesClass&) = nullptr;
};
template <class T>
struct KeloCopyOps<T, true> {
  static CKeloHesClass* Copy(const CKeloHesClass& source) {
    return new (std::nothrow) T(static_cast<const T&>(source));
  }
  static void Assign(CKeloHesClass& target, const CKeloHesClass& source) {
    static_cast<T&>(target) = static_cast<const T&>(source);
  }
  static constexpr CKeloHesClass* (*copy)(const CKeloHesClass&) = &Copy;
  static constexpr void (*assign)(CKeloHesClass&, const CKeloHesClass&) = &Assign;
};
