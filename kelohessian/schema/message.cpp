// Generated message classes through their constant descriptions: the rows that the engine
// (hessian/detail/map_engine.h) reads and writes, and the registry built from them on request.
#include <kelohessian/schema/message.h>

#include <kelohessian/hessian/detail/map_engine.h>
#include <kelohessian/hessian/detail/output_access.h>

using kelo_detail::MapEngine;

namespace kelo {

namespace {

// A class's rows, its envelope bases' first; each member at its row's offset in the object
// (writing passes a const object through here: it only calls Serialize, which is const). Past a
// class's rows, after the empty row that ends them, come those of the class above it.
class DescriptionRows {
 public:
  typedef const MemberInfo* Row;  // null past the last row

  DescriptionRows(const CKeloHesClass* object, const ClassInfo& info, bool unique)
      : object_(reinterpret_cast<char*>(const_cast<CKeloHesClass*>(object))),
        top_(&info),
        unique_(unique) {
    const ClassInfo* bottom = &info;
    while (bottom->base) bottom = bottom->base;
    first_ = Enter(bottom);
  }

  Row First() const { return first_; }
  Row Next(Row row) const { return (++row)->name ? row : Enter(Above(row)); }
  bool End(Row row) const { return row == nullptr; }
  bool Named(Row row, const char* name, unsigned int length) const {
    return kelo_detail::SameName(row->name, row->nameLength, name, length);
  }
  CKeloHesObject& Object(Row row) const {
    return *reinterpret_cast<CKeloHesObject*>(object_ + row->offset);
  }
  // Strings, blobs, and the last kinds (value, message, list): numbers and booleans refuse SetNull.
  bool Nullable(Row row) const {
    return row->kind == KELO_KIND_STRING || row->kind == KELO_KIND_BINARY ||
           row->kind >= KELO_KIND_VALUE;
  }
  int WriteHeader(Row row, CKeloOutput& out) const {
    return kelo_detail::OutputAccess::Put(out, row->header, row->headerLength);
  }
  bool Unique() const { return unique_; }

 private:
  // The class above the one whose rows end at `end`; null above the object's class.
  const ClassInfo* Above(Row end) const {
    const ClassInfo* above = nullptr;
    for (const ClassInfo* at = top_; at->members + at->memberCount != end; at = at->base)
      above = at;
    return above;
  }
  // The first row of info or of the nearest class above it with rows; null for none.
  Row Enter(const ClassInfo* info) const {
    while (info && info->memberCount == 0) info = Above(info->members);
    return info ? info->members : nullptr;
  }

  char* object_;
  const ClassInfo* top_;
  bool unique_;
  Row first_;
};

}  // namespace

bool MemberNamesUnique(const ClassInfo& info) {
  const DescriptionRows rows(nullptr, info, false);
  for (DescriptionRows::Row a = rows.First(); a; a = rows.Next(a)) {
    for (DescriptionRows::Row b = rows.Next(a); b; b = rows.Next(b)) {
      if (rows.Named(b, a->name, a->nameLength)) return false;
    }
  }
  return true;
}

int SchemaAccess::Write(const CKeloHesClass& object, const ClassInfo& info, CKeloOutput& out) {
  if (object.IsNull()) return kelo_detail::OutputAccess::Put(out, 'N');
  if (int rc = kelo_detail::OutputAccess::Put(out, info.typeHeader, info.typeHeaderLength); rc != 0)
    return rc;
  kelo_detail::Numbering::Opened(out);
  if (int rc = MapEngine::Write(DescriptionRows(&object, info, false), out); rc != 0) return rc;
  return kelo_detail::OutputAccess::Put(out, 'z');
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
  for (DescriptionRows::Row row = rows.First(); row; row = rows.Next(row)) ++count;
  if (int rc = object.ReserveMembers(count); rc != 0) return rc;
  for (DescriptionRows::Row row = rows.First(); row; row = rows.Next(row)) {
    if (int rc = object.InsertMember(row->wireName, rows.Object(row)); rc != 0) return rc;
  }
  if (uniqueNames && fresh) object.SetMemberNamesUnique();
  return KELO_OK;
}

}  // namespace kelo
