// The catalogue's former global names, as aliases of those in namespace kelo, for the code that
// has not moved to the new names yet (the kelohes tool). Not installed; new code uses kelo::.
#pragma once

#include <kelohessian/schema/catalogue.h>

using KeloClassInfo = kelo::ClassInfo;
using KeloMemberInfo = kelo::MemberInfo;
using KeloListOps = kelo::ListOps;
using TKeloMemberKind = kelo::MemberKind;
using TKeloClassKind = kelo::ClassKind;
using kelo::KELO_CLASS_MESSAGE;
using kelo::KELO_CLASS_VALUE;
using kelo::KELO_KIND_BINARY;
using kelo::KELO_KIND_BOOL;
using kelo::KELO_KIND_DATE;
using kelo::KELO_KIND_DOUBLE;
using kelo::KELO_KIND_INT16;
using kelo::KELO_KIND_INT32;
using kelo::KELO_KIND_INT64;
using kelo::KELO_KIND_INT8;
using kelo::KELO_KIND_LIST;
using kelo::KELO_KIND_MESSAGE;
using kelo::KELO_KIND_STRING;
using kelo::KELO_KIND_UINT16;
using kelo::KELO_KIND_UINT32;
using kelo::KELO_KIND_UINT64;
using kelo::KELO_KIND_UINT8;
using kelo::KELO_KIND_VALUE;

inline unsigned int KeloCatalogueSize() {
  return kelo::CatalogueSize();
}
inline const KeloClassInfo* KeloCatalogueAt(unsigned int index) {
  return kelo::CatalogueAt(index);
}
inline const KeloClassInfo* KeloCatalogueFind(const char* typeName, unsigned int length) {
  return kelo::CatalogueFind(typeName, length);
}
inline const KeloClassInfo* KeloCatalogueFind(const char* typeName) {
  return kelo::CatalogueFind(typeName);
}
inline unsigned int KeloCatalogueMemberCount(const KeloClassInfo& info) {
  return kelo::CatalogueMemberCount(info);
}
inline const KeloMemberInfo* KeloCatalogueMemberAt(const KeloClassInfo& info, unsigned int index) {
  return kelo::CatalogueMemberAt(info, index);
}
inline const char* KeloMemberKindName(TKeloMemberKind kind) {
  return kelo::MemberKindName(kind);
}
