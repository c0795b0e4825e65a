// The one reader and writer of every structure's members,
//   'N' | 'M' 't' <2-byte length> <type name>  { 'S' <2-byte length> <member> <value> }  'z'
// over the rows of a row view: a generated class's description (schema/message.cpp) or a member
// registry (hes_class.cpp); a value class's one row has a fixed header (ReadFixed). Not installed.
#pragma once

#include <kelohessian/hessian/detail/numbering.h>
#include <kelohessian/hessian/detail/wire.h>
#include <kelohessian/hessian/hes_class.h>
#include <kelohessian/hessian/skip.h>

namespace kelo_detail {

// A row view offers First(), Next(row) and End(row) over the rows in wire order; Named(row, name,
// length), exact bytes; Object(row), the member; Nullable(row), false where SetNull changes
// nothing (numbers, booleans); WriteHeader(row, out): 'S' <2-byte length> <name>; Unique(), no
// two rows share a name.
struct MapEngine {
  // Reads 'N' (the object becomes null) or a map's opening with the object's own type name (unless
  // it checks none): typeName, the description's, spares asking Namespace and ClassName.
  static int Open(CKeloHesClass& object, CKeloInputParse& parse, const char* typeName,
                  unsigned int length) {
    CKeloInput& in = parse.Input();
    const char* p;
    if (in.Extract(p, 1) != 0) return Fail(parse, kFailMapMissing);
    if (*p == 'N') {
      object.SetNull(true);
      return KELO_OK;
    }
    if (*p != 'M') return Fail(parse, kFailMapMarker);
    Numbering::Opened(parse);
    object.SetNull(false);
    if (in.Extract(p, 1) != 0) return Fail(parse, kFailMapTypeMissing);
    if (*p != 't') return Fail(parse, kFailMapTypeMarker);
    if (int rc = in.Extract(p, 2); rc != 0) return Fail(parse, kFailMapTypeLength, rc);
    const unsigned int received = ReadU16(p);
    if (int rc = in.Extract(p, received); rc != 0) return Fail(parse, kFailMapTypeName, rc);
    if (!object.m_checkClassName ||
        (typeName && received == length && SameBytes(p, typeName, length)))
      return KELO_OK;
    return object.VerifyExpectedClassName(parse, p, received);
  }

  // Reads the members of an opened, non-null map up to its 'z'. Nullable members are made null
  // first, so that what the map leaves out stays null. A name is looked up exactly, the first
  // matching row winning; with unique names the row after the one found last is tried first, as
  // members usually arrive in wire order. The value of an unknown name is read past.
  template <class Rows>
  static int Read(CKeloHesClass& object, CKeloInputParse& parse, const Rows& rows) {
    for (auto row = rows.First(); !rows.End(row); row = rows.Next(row)) {
      if (rows.Nullable(row)) rows.Object(row).SetNull(true);
    }
    auto hint = rows.First();
    for (;;) {
      // Set by NextName on success; initialised for the compiler, which cannot see that.
      const char* name = nullptr;
      unsigned int length = 0;
      if (int rc = NextName(object, parse, name, length); rc != 0)
        return rc == kMapEnd ? int{KELO_OK} : rc;
      auto row = hint;
      if (!rows.Unique() || rows.End(row) || !rows.Named(row, name, length)) {
        row = rows.First();
        while (!rows.End(row) && !rows.Named(row, name, length)) row = rows.Next(row);
        if (rows.End(row)) {
          if (int rc = CKeloHesSkipObject::Skip(parse); rc != 0) return rc;
          continue;
        }
      }
      hint = rows.Next(row);
      if (int rc = ReadMember(object, name, length, rows.Object(row), parse); rc != 0) return rc;
    }
  }

  // The one member of a value class: its header ('S' 00 05 "value") must follow the type name byte
  // for byte (fewer bytes left: KELO_E_EXHAUSTED, nothing taken), then its value and the 'z'.
  static int ReadFixed(CKeloHesClass& object, CKeloInputParse& parse, const char* header,
                       unsigned int length, CKeloHesObject& member) {
    const char* p;
    int rc = parse.Input().Extract(p, length);
    if (rc == 0 && !SameBytes(p, header, length)) rc = KELO_E_FORMAT;
    if (rc != 0) return Failed(object, parse, kFailValueHeader, rc);
    if (int read = ReadMember(object, header + 3, length - 3, member, parse); read != 0)
      return read;
    return object.EndDeserialize(parse);
  }

  // Writes each row's header and value, stopping at the first failure (what was written stays).
  // A class without rows cannot be written: KELO_E_INVALID_STATE.
  template <class Rows>
  static int Write(const Rows& rows, CKeloOutput& out) {
    if (rows.End(rows.First())) return KELO_E_INVALID_STATE;
    for (auto row = rows.First(); !rows.End(row); row = rows.Next(row)) {
      if (int rc = rows.WriteHeader(row, out); rc != 0) return rc;
      if (int rc = rows.Object(row).Serialize(out); rc != 0) return rc;
    }
    return KELO_OK;
  }

  // Reads one member; a failure adds ". This happens in member \"name\" of class ...", or
  // "Error deserializing member ..." when nothing had added text before.
  static int ReadMember(CKeloHesClass& object, const char* name, unsigned int length,
                        CKeloHesObject& member, CKeloInputParse& parse) {
    const int rc = member.Deserialize(parse);
    if (rc != 0)
      object.AppendMemberToError(
          parse.GetErrorLength() ? ". This happens in" : "Error deserializing", name, length,
          parse);
    return rc;
  }

 private:
  enum : int { kMapEnd = 1 };  // NextName at the map's closing 'z' (taken)

  // 0 with the next member name (pointing into the input), kMapEnd, or a failure's code.
  static int NextName(CKeloHesClass& object, CKeloInputParse& parse, const char*& name,
                      unsigned int& length) {
    CKeloInput& in = parse.Input();
    const char* p;
    // The usual case in one bounds check: 'S', the length and the whole name are there.
    const unsigned int left = in.GetTotalSize() - in.GetNumExtracted();
    if (left >= 3 && in.Extract(p, 0) == 0 && p[0] == 'S') {
      length = ReadU16(p + 1);
      if (length <= left - 3) {
        in.Extract(p, 3 + length);
        name = p + 3;
        return KELO_OK;
      }
    }
    if (in.Extract(p, 1) != 0) return Failed(object, parse, kFailMemberMissing, KELO_E_EXHAUSTED);
    if (*p == 'z') return kMapEnd;
    if (*p != 'S') return Failed(object, parse, kFailMemberMarker, KELO_E_FORMAT);
    if (in.Extract(p, 2) != 0)
      return Failed(object, parse, kFailMemberNameLength, KELO_E_EXHAUSTED);
    length = ReadU16(p);
    if (in.Extract(name, length) != 0)
      return Failed(object, parse, kFailMemberName, KELO_E_EXHAUSTED);
    return KELO_OK;
  }

  // Adds "While parsing class \"...\"" and the failure's row; returns code.
  static int Failed(CKeloHesClass& object, CKeloInputParse& parse, Failure failure, int code);
};

// The lookup rule of every row view: exactly the bytes.
inline bool SameName(const char* row, unsigned int rowLength, const char* name,
                     unsigned int length) {
  return rowLength == length && SameBytes(row, name, length);
}

}  // namespace kelo_detail
