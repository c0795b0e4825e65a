// Writing and reading generated message classes through their constant descriptions: the typed
// map of CKeloHesClass, byte for byte and failure for failure, without a member registry.
#include <kelohessian/schema/message.h>

#include <kelohessian/hessian/detail/member_name.h>
#include <kelohessian/hessian/detail/wire.h>
#include <kelohessian/hessian/skip.h>

using kelo_detail::Add;
using kelo_detail::Fail;

namespace kelo {

namespace {

// Members of one class with its envelope bases. Schema classes have a few dozen at most; a class
// with more is read through its registry instead.
enum : unsigned int { kMaxRows = 128 };

bool SameName(const MemberInfo& row, const char* name, unsigned int length) {
  return row.nameLength == length && kelo_detail::SameBytes(row.name, name, length);
}

int WriteMembers(const CKeloHesClass& object, const ClassInfo& info, CKeloOutput& out, bool& any) {
  if (info.base) {
    if (int rc = WriteMembers(object, *info.base, out, any); rc != 0) return rc;
  }
  for (unsigned int i = 0; i < info.memberCount; ++i) {
    const MemberInfo& row = info.members[i];
    any = true;
    if (int rc = out.Append(row.header, row.headerLength); rc != 0) return rc;
    const CKeloHesObject& member = *reinterpret_cast<const CKeloHesObject*>(
        reinterpret_cast<const char*>(&object) + row.offset);
    if (int rc = member.Serialize(out); rc != 0) return rc;
  }
  return KELO_OK;
}

// Fills rows and objects base first; false when there are more than kMaxRows. The object's
// dynamic class is the generated class, so every member sits at its row's offset.
bool Flatten(CKeloHesClass& object, const ClassInfo& info, const MemberInfo** rows,
             CKeloHesObject** objects, unsigned int& count) {
  if (info.base && !Flatten(object, *info.base, rows, objects, count)) return false;
  if (info.memberCount > kMaxRows - count) return false;
  char* base = reinterpret_cast<char*>(&object);
  for (unsigned int i = 0; i < info.memberCount; ++i, ++count) {
    rows[count] = &info.members[i];
    objects[count] = reinterpret_cast<CKeloHesObject*>(base + info.members[i].offset);
  }
  return true;
}

// Numbers and booleans refuse SetNull and keep their values, so the nulling pass skips them.
bool Nullable(MemberKind kind) {
  return kind == KELO_KIND_STRING || kind == KELO_KIND_BINARY || kind == KELO_KIND_VALUE ||
         kind == KELO_KIND_MESSAGE || kind == KELO_KIND_LIST;
}

}  // namespace

// CKeloHesClass::StartDeserialize, with the received type name compared with the description's
// (the object's class being the generated one, its Namespace and ClassName give the same name).
int SchemaAccess::Start(CKeloHesClass& object, const ClassInfo& info, CKeloInputParse& parse) {
  CKeloInput& in = parse.Input();
  const char* p;
  if (in.Extract(p, 1) != 0) return Fail(parse, kelo_detail::kFailMapMissing);
  if (*p == 'N') {
    object.SetNull(true);
    return KELO_OK;
  }
  if (*p != 'M') return Fail(parse, kelo_detail::kFailMapMarker);
  object.SetNull(false);
  if (in.Extract(p, 1) != 0) return Fail(parse, kelo_detail::kFailMapTypeMissing);
  if (*p != 't') return Fail(parse, kelo_detail::kFailMapTypeMarker);
  if (int rc = in.Extract(p, 2); rc != 0) return Fail(parse, kelo_detail::kFailMapTypeLength, rc);
  const unsigned int length = kelo_detail::ReadU16(p);
  if (int rc = in.Extract(p, length); rc != 0)
    return Fail(parse, kelo_detail::kFailMapTypeName, rc);
  if (!object.m_checkClassName ||
      (length == info.typeNameLength && kelo_detail::SameBytes(p, info.typeName, length)))
    return KELO_OK;
  return object.VerifyExpectedClassName(parse, p, length);
}

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

int SchemaAccess::Write(const CKeloHesClass& object, const ClassInfo& info, CKeloOutput& out) {
  if (object.IsNull()) return out.Append('N');
  if (int rc = out.Append(info.typeHeader, info.typeHeaderLength); rc != 0) return rc;
  bool any = false;
  if (int rc = WriteMembers(object, info, out, any); rc != 0) return rc;
  if (!any) return KELO_E_INVALID_STATE;
  return out.Append('z');
}

int SchemaAccess::Read(CKeloHesClass& object, const ClassInfo& info, bool uniqueNames,
                       CKeloInputParse& parse) {
  if (int rc = Start(object, info, parse); rc != 0) return rc;
  if (object.IsNull()) return KELO_OK;
  const MemberInfo* rows[kMaxRows];
  CKeloHesObject* objects[kMaxRows];
  unsigned int count = 0;
  if (!Flatten(object, info, rows, objects, count)) {
    if (int rc = object.EnsureMembers(); rc != 0) return rc;
    return object.DeserializeMembers(parse);
  }
  for (unsigned int i = 0; i < count; ++i) {
    if (Nullable(rows[i]->kind)) objects[i]->SetNull(true);
  }
  unsigned int hint = 0;
  for (;;) {
    // Set by Next on success; initialised for the compiler, which cannot see that.
    const char* p = nullptr;
    unsigned int length = 0;
    const int next = kelo_detail::MemberNames::Next(object, parse, p, length);
    if (next == kelo_detail::kMapEnd) return KELO_OK;
    if (next != 0) return next;
    // Members usually arrive in wire order: with unique names the row after the last one found
    // is tried first; otherwise, and when that guess misses, the first match from the top wins.
    unsigned int at = uniqueNames ? hint : count;
    if (at >= count || !SameName(*rows[at], p, length)) {
      for (at = 0; at < count; ++at) {
        if (SameName(*rows[at], p, length)) break;
      }
      if (at == count) {
        if (int rc = CKeloHesSkipObject::Skip(parse); rc != 0) return rc;
        continue;
      }
    }
    hint = at + 1;
    // CKeloHesClass::DeserializeOneMember, inlined.
    if (int rc = objects[at]->Deserialize(parse); rc != 0) {
      object.AppendMemberToError(parse.GetError() ? ". This happens in" : "Error deserializing", p,
                                 length, parse);
      return rc;
    }
  }
}

}  // namespace kelo
