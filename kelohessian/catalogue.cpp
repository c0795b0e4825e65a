// The catalogue: one constant table of every class, assembled from the class lists of the
// subsystems. It sits above all of them, so that no include runs upward.
#include <string.h>

#include <kelohessian/client/client.h>
#include <kelohessian/commengine/commengine.h>
#include <kelohessian/schema/catalogue.h>
#include <kelohessian/types/detail/class_list.h>

namespace kelo {

namespace {

#define KELO_VALUE_ENTRY(Cls, Base, Object) &VarantoTypes::Cls::mClassInfo,
#define KELO_CLASS_ENTRY(CppNs, Cls, Base, WireNs, Shape) &CppNs::Cls::mClassInfo,

const ClassInfo* const kClasses[] = {KELO_VALUE_TYPES(KELO_VALUE_ENTRY) KELO_COMMENGINE_CLASSES(
    KELO_CLASS_ENTRY) KELO_CLIENT_CLASSES(KELO_CLASS_ENTRY)};

#undef KELO_VALUE_ENTRY
#undef KELO_CLASS_ENTRY

const unsigned int kClassCount = sizeof(kClasses) / sizeof(kClasses[0]);

}  // namespace

unsigned int CatalogueSize() {
  return kClassCount;
}

const ClassInfo* CatalogueAt(unsigned int index) {
  return index < kClassCount ? kClasses[index] : nullptr;
}

const ClassInfo* CatalogueFind(const char* typeName, unsigned int length) {
  if (!typeName) return nullptr;
  for (const ClassInfo* info : kClasses) {
    if (info->typeNameLength == length && memcmp(info->typeName, typeName, length) == 0)
      return info;
  }
  return nullptr;
}

const ClassInfo* CatalogueFind(const char* typeName) {
  return typeName ? CatalogueFind(typeName, static_cast<unsigned int>(strlen(typeName))) : nullptr;
}

}  // namespace kelo
