// Member walks over class descriptions; the table of every class is assembled in
// kelohessian/catalogue.cpp, above the subsystems that define the classes.
#include <kelohessian/schema/catalogue.h>

namespace kelo {

unsigned int CatalogueMemberCount(const ClassInfo& info) {
  return (info.base ? CatalogueMemberCount(*info.base) : 0) + info.memberCount;
}

const MemberInfo* CatalogueMemberAt(const ClassInfo& info, unsigned int index) {
  const unsigned int inherited = info.base ? CatalogueMemberCount(*info.base) : 0;
  if (index < inherited) return CatalogueMemberAt(*info.base, index);
  index -= inherited;
  return index < info.memberCount ? &info.members[index] : nullptr;
}

const char* MemberKindName(MemberKind kind) {
  static const char* const kNames[] = {"int8",   "uint8",  "int16",   "uint16", "int32", "uint32",
                                       "int64",  "uint64", "bool",    "double", "date",  "string",
                                       "binary", "value",  "message", "list",   "list",  "any"};
  const unsigned int index = static_cast<unsigned int>(kind);
  return index < sizeof(kNames) / sizeof(kNames[0]) ? kNames[index] : "unknown";
}

}  // namespace kelo
