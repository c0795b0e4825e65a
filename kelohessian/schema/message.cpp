// What the generated message classes share beyond their own definitions.
#include <kelohessian/schema/message.h>

#include <string.h>

namespace kelo {

namespace {

bool SameName(const MemberInfo& row, const char* name, unsigned int length) {
  return row.nameLength == length &&
         (length == 0 || (row.name[0] == name[0] && memcmp(row.name, name, length) == 0));
}

}  // namespace

bool MemberNamesUnique(const ClassInfo& info) {
  for (const ClassInfo* a = &info; a; a = a->base) {
    for (unsigned int i = 0; i < a->memberCount; ++i) {
      const MemberInfo& m = a->members[i];
      for (const ClassInfo* b = a; b; b = b->base) {
        for (unsigned int j = b == a ? i + 1 : 0; j < b->memberCount; ++j) {
          if (SameName(b->members[j], m.name, m.nameLength)) return false;
        }
      }
    }
  }
  return true;
}

}  // namespace kelo
