// The library-side half of the message class family: what KELO_MESSAGE_IMPL generates from a
// schema table. Not installed.
#pragma once

#include <string.h>

#include <new>
#include <type_traits>

#include <kelohessian/commengine/message.h>

#define KELO_MEMBER_NAME(Type, name) CKeloHesName(#name, sizeof(#name) - 1),
#define KELO_MEMBER_INSERT(Type, name) \
  if (int keloRc_ = InsertMember(keloNames_[keloIndex_++], name); keloRc_ != 0) return keloRc_;
#define KELO_MEMBER_INFO(Type, name)                                 \
  KeloMemberInfo{#name,                                              \
                 sizeof(#name) - 1,                                  \
                 KeloMemberTraits<Type>::kind,                       \
                 KeloMemberTraits<Type>::carried,                    \
                 KeloMemberTraits<Type>::type,                       \
                 #Type,                                              \
                 [](CKeloHesClass& keloObject_) -> CKeloHesObject& { \
                   return static_cast<Self&>(keloObject_).name;      \
                 },                                                  \
                 KeloMemberTraits<Type>::list},

// Defines what KELO_MESSAGE declared. WireNs is the wire namespace ("kelo.cl", "services", ...),
// written once per class; the wire class name is the C++ class name.
template <class Base>
struct KeloBaseInfo {
  static constexpr const KeloClassInfo* info = &Base::mClassInfo;
};
template <>
struct KeloBaseInfo<CKeloHesClass> {
  static constexpr const KeloClassInfo* info = nullptr;
};

// Members a class registers, its envelope bases' included: the size of its registry block.
inline unsigned int KeloRegistrySize(const KeloClassInfo* info) {
  unsigned int count = 0;
  for (; info; info = info->base) count += info->memberCount;
  return count;
}

// True when no two members of the class and its envelope bases share a wire name; worked out
// once per class.
inline bool KeloMemberNamesUnique(const KeloClassInfo* info) {
  for (const KeloClassInfo* a = info; a; a = a->base) {
    for (unsigned int i = 0; i < a->memberCount; ++i) {
      const KeloMemberInfo& m = a->members[i];
      for (const KeloClassInfo* b = a; b; b = b->base) {
        for (unsigned int j = b == a ? i + 1 : 0; j < b->memberCount; ++j) {
          const KeloMemberInfo& o = b->members[j];
          if (o.nameLength == m.nameLength && memcmp(o.name, m.name, m.nameLength) == 0)
            return false;
        }
      }
    }
  }
  return true;
}

#define KELO_MESSAGE_IMPL(Cls, WireNs, Base, MEMBERS)                                         \
  namespace {                                                                                 \
  struct KeloSchema_##Cls {                                                                   \
    typedef Cls Self;                                                                         \
    static constexpr CKeloHesName names[] = {MEMBERS(KELO_MEMBER_NAME) CKeloHesName()};       \
    static constexpr KeloMemberInfo members[] = {MEMBERS(KELO_MEMBER_INFO) KeloMemberInfo{}}; \
  };                                                                                          \
  }                                                                                           \
  const CKeloHesName Cls::mNamespace(WireNs, sizeof(WireNs) - 1);                             \
  const CKeloHesName Cls::mClassName(#Cls, sizeof(#Cls) - 1);                                 \
  const KeloClassInfo Cls::mClassInfo = {                                                     \
      WireNs "." #Cls,                                                                        \
      sizeof(WireNs "." #Cls) - 1,                                                            \
      #Cls,                                                                                   \
      KELO_CLASS_MESSAGE,                                                                     \
      KeloBaseInfo<Base>::info,                                                               \
      KeloSchema_##Cls::members,                                                              \
      sizeof(KeloSchema_##Cls::members) / sizeof(KeloMemberInfo) - 1,                         \
      std::is_copy_constructible<Cls>::value,                                                 \
      []() -> CKeloHesClass* { return new (std::nothrow) Cls(); },                            \
      KeloCopyOps<Cls>::copy,                                                                 \
      KeloCopyOps<Cls>::assign};                                                              \
  Cls::Cls() {}                                                                               \
  Cls::~Cls() {}                                                                              \
  const CKeloHesName& Cls::Namespace() const {                                                \
    return mNamespace;                                                                        \
  }                                                                                           \
  const CKeloHesName& Cls::ClassName() const {                                                \
    return mClassName;                                                                        \
  }                                                                                           \
  int Cls::HashMembers() {                                                                    \
    /* Unique names are declared only for a registry of exactly these members. */             \
    const bool keloFresh_ = FirstMember() == nullptr;                                         \
    /* One block for all nodes; a base's HashMembers finds it reserved. */                    \
    const int keloReserved_ = ReserveMembers(KeloRegistrySize(&mClassInfo));                  \
    if (keloReserved_ != 0) return keloReserved_;                                             \
    /* An envelope base registers its members first; the root has none to register. */        \
    if (!std::is_same<Base, CKeloHesClass>::value) {                                          \
      if (int keloRc_ = Base::HashMembers(); keloRc_ != 0) return keloRc_;                    \
    }                                                                                         \
    const CKeloHesName* keloNames_ = KeloSchema_##Cls::names;                                 \
    unsigned int keloIndex_ = 0;                                                              \
    MEMBERS(KELO_MEMBER_INSERT)                                                               \
    static const bool keloUnique_ = KeloMemberNamesUnique(&mClassInfo);                       \
    if (keloUnique_ && keloFresh_) SetMemberNamesUnique();                                    \
    return 0;                                                                                 \
  }
