// Reading the next member name of a typed map, 'S' <2-byte length> <name>, or its closing 'z':
// shared by the registry reader of CKeloHesClass and the reader that walks class descriptions,
// so that both fail with the same texts and codes. Not installed.
#pragma once

#include <kelohessian/hessian/detail/wire.h>
#include <kelohessian/hessian/hes_class.h>

namespace kelo_detail {

// What MemberNames::Next returns at the map's closing 'z' (taken).
enum : int { kMapEnd = 1 };

struct MemberNames {
  // 0 with name and length set (the name points into the input), kMapEnd at the closing 'z', or
  // a result code with the text added (the cursor stays where the failure left it).
  static int Next(CKeloHesClass& object, CKeloInputParse& parse, const char*& name,
                  unsigned int& length) {
    CKeloInput& in = parse.Input();
    const char* p;
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

}  // namespace kelo_detail
