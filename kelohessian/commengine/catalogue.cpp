// The catalogue: one constant table of every class, built from the per-subsystem class lists.
#include <kelohessian/commengine/catalogue.h>

#include <string.h>

#include <kelohessian/client/detail/class_list.h>
#include <kelohessian/commengine/detail/class_list.h>
#include <kelohessian/types/detail/class_list.h>

namespace {

#define KELO_VALUE_ENTRY(Cls, Base, Object) &VarantoTypes::Cls::mClassInfo,
#define KELO_CLASS_ENTRY(Cls) &Cls::mClassInfo,

const KeloClassInfo* const kClasses[] = {KELO_VALUE_TYPES(KELO_VALUE_ENTRY) KELO_COMMENGINE_CLASSES(
    KELO_CLASS_ENTRY) KELO_CLIENT_CLASSES(KELO_CLASS_ENTRY)};

#undef KELO_VALUE_ENTRY
#undef KELO_CLASS_ENTRY

const unsigned int kClassCount = sizeof(kClasses) / sizeof(kClasses[0]);

}  // namespace

unsigned int KeloCatalogueSize() {
  return kClassCount;
}

const KeloClassInfo* KeloCatalogueAt(unsigned int index) {
  return index < kClassCount ? kClasses[index] : nullptr;
}

const KeloClassInfo* KeloCatalogueFind(const char* typeName, unsigned int length) {
  if (!typeName) return nullptr;
  for (const KeloClassInfo* info : kClasses) {
    if (info->typeNameLength == length && memcmp(info->typeName, typeName, length) == 0)
      return info;
  }
  return nullptr;
}

const KeloClassInfo* KeloCatalogueFind(const char* typeName) {
  return typeName ? KeloCatalogueFind(typeName, static_cast<unsigned int>(strlen(typeName)))
                  : nullptr;
}

unsigned int KeloCatalogueMemberCount(const KeloClassInfo& info) {
  return (info.base ? KeloCatalogueMemberCount(*info.base) : 0) + info.memberCount;
}

const KeloMemberInfo* KeloCatalogueMemberAt(const KeloClassInfo& info, unsigned int index) {
  const unsigned int inherited = info.base ? KeloCatalogueMemberCount(*info.base) : 0;
  if (index < inherited) return KeloCatalogueMemberAt(*info.base, index);
  index -= inherited;
  return index < info.memberCount ? &info.members[index] : nullptr;
}

const char* KeloMemberKindName(TKeloMemberKind kind) {
  static const char* const kNames[] = {"int8",   "uint8",  "int16",   "uint16", "int32", "uint32",
                                       "int64",  "uint64", "bool",    "double", "date",  "string",
                                       "binary", "value",  "message", "list"};
  const unsigned int index = static_cast<unsigned int>(kind);
  return index < sizeof(kNames) / sizeof(kNames[0]) ? kNames[index] : "unknown";
}
