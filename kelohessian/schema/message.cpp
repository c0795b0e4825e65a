// Generated message classes through their constant descriptions: the rows that the engine
// (hessian/detail/map_engine.h) reads and writes, and the registry built from them on request.
#include <kelohessian/schema/message.h>

#include <kelohessian/hessian/detail/map_engine.h>

using kelo_detail::MapEngine;

namespace kelo {

namespace {

// A generated class's rows, its envelope bases' first; each member at its row's offset in the
// object (writing passes a const object through here: it only calls Serialize, which is const).
class DescriptionRows {
 public:
  struct Row {
    const MemberInfo* member;  // null past the last row
    const MemberInfo* end;     // past the rows of the class that declares the member
    const ClassInfo* owner;    // that class
  };

  DescriptionRows(const CKeloHesClass* object, const ClassInfo& info, bool unique)
      : object_(reinterpret_cast<char*>(const_cast<CKeloHesClass*>(object))),
        top_(&info),
        unique_(unique) {
    const ClassInfo* bottom = &info;
    while (bottom->base) bottom = bottom->base;
    first_ = Enter(bottom);
  }

  Row First() const { return first_; }
  Row Next(Row row) const { return ++row.member != row.end ? row : Enter(Above(row.owner)); }
  bool End(const Row& row) const { return row.member == nullptr; }
  bool Named(const Row& row, const char* name, unsigned int length) const {
    return kelo_detail::SameName(row.member->name, row.member->nameLength, name, length);
  }
  CKeloHesObject& Object(const Row& row) const {
    return *reinterpret_cast<CKeloHesObject*>(object_ + row.member->offset);
  }
  // Strings, blobs, and value classes, messages and lists (the last kinds); numbers and booleans
  // refuse SetNull and keep their values.
  bool Nullable(const Row& row) const {
    const MemberKind kind = row.member->kind;
    return kind == KELO_KIND_STRING || kind == KELO_KIND_BINARY || kind >= KELO_KIND_VALUE;
  }
  int WriteHeader(const Row& row, CKeloOutput& out) const {
    return out.Append(row.member->header, row.member->headerLength);
  }
  bool Unique() const { return unique_; }

 private:
  // The class whose envelope base is info; null above the object's class.
  const ClassInfo* Above(const ClassInfo* info) const {
    const ClassInfo* above = info == top_ ? nullptr : top_;
    while (above && above->base != info) above = above->base;
    return above;
  }
  // The first row of info or of the nearest class above it with rows; past the end for none.
  Row Enter(const ClassInfo* info) const {
    while (info && info->memberCount == 0) info = Above(info);
    return info ? Row{info->members, info->members + info->memberCount, info} : Row{};
  }

  char* object_;
  const ClassInfo* top_;
  bool unique_;
  Row first_;
};

}  // namespace

bool MemberNamesUnique(const ClassInfo& info) {
  const DescriptionRows rows(nullptr, info, false);
  for (DescriptionRows::Row a = rows.First(); !rows.End(a); a = rows.Next(a)) {
    for (DescriptionRows::Row b = rows.Next(a); !rows.End(b); b = rows.Next(b)) {
      if (rows.Named(b, a.member->name, a.member->nameLength)) return false;
    }
  }
  return true;
}

int SchemaAccess::Write(const CKeloHesClass& object, const ClassInfo& info, CKeloOutput& out) {
  if (object.IsNull()) return out.Append('N');
  if (int rc = out.Append(info.typeHeader, info.typeHeaderLength); rc != 0) return rc;
  if (int rc = MapEngine::Write(DescriptionRows(&object, info, false), out); rc != 0) return rc;
  return out.Append('z');
}

int SchemaAccess::Read(CKeloHesClass& object, const ClassInfo& info, bool uniqueNames,
                       CKeloInputParse& parse) {
  if (int rc = MapEngine::Open(object, parse, info.typeName, info.typeNameLength); rc != 0)
    return rc;
  if (object.IsNull()) return KELO_OK;
  return MapEngine::Read(object, parse, DescriptionRows(&object, info, uniqueNames));
}

int SchemaAccess::Register(CKeloHesClass& object, const ClassInfo& info, bool uniqueNames) {
  // Unique names are declared only for a registry of exactly these rows.
  const bool fresh = object.FirstMember() == nullptr;
  const DescriptionRows rows(&object, info, uniqueNames);
  unsigned int count = 0;  // one block for all nodes, bases' included
  for (DescriptionRows::Row row = rows.First(); !rows.End(row); row = rows.Next(row)) ++count;
  if (int rc = object.ReserveMembers(count); rc != 0) return rc;
  for (DescriptionRows::Row row = rows.First(); !rows.End(row); row = rows.Next(row)) {
    if (int rc = object.InsertMember(row.member->wireName, rows.Object(row)); rc != 0) return rc;
  }
  if (uniqueNames && fresh) object.SetMemberNamesUnique();
  return KELO_OK;
}

}  // namespace kelo
