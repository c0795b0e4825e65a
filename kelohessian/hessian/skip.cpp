// Reading past one value of any type, for members a reader does not know. Maps and lists recurse
// through the skip structure and skip list, at most KELO_MAX_SKIP_DEPTH levels deep.
#include <kelohessian/hessian/skip.h>

#include <new>

#include <kelohessian/hessian/detail/wire.h>
#include <kelohessian/hessian/string.h>

using kelo_detail::Fail;

const CKeloHesName CKeloHesSkipObject::mNamespace;
const CKeloHesName CKeloHesSkipObject::mClassName;
const CKeloHesName CKeloHesSkipClass::mEmptyName;

CKeloHesSkipObject::~CKeloHesSkipObject() {}

int CKeloHesSkipObject::Deserialize(CKeloInputParse& parse) {
  return Skip(parse);
}

namespace {

// Decodes one value into a heap temporary of type T, which is destroyed whatever the result.
template <class T>
int SkipInto(CKeloInputParse& parse) {
  T* temporary = new (std::nothrow) T();
  if (!temporary) return KELO_E_NO_MEMORY;
  parse.Input().PutBack(1);
  CKeloHesObject& object = *temporary;
  const int rc = object.Deserialize(parse);
  delete temporary;
  return rc;
}

}  // namespace

int CKeloHesSkipObject::Skip(CKeloInputParse& parse) {
  CKeloInput& in = parse.Input();
  const char* p;
  if (in.Extract(p, 1) != 0) {
    return Fail(parse, kelo_detail::kFailSkipMissing);
  }
  const char marker = *p;
  switch (marker) {
    case 'T':
    case 'F':
    case 'N':
      return KELO_OK;
    case 'I':
      return in.Extract(p, 4);
    case 'L':
    case 'D':
    case 'd':
      return in.Extract(p, 8);
    case 'S':
    case 's':
      return SkipInto<CKeloHesString>(parse);
    case 'B':
    case 'b':
      return SkipInto<CKeloHesBinary>(parse);
    case 'M':
    case 'V': {
      if (parse.m_skipDepth >= KELO_MAX_SKIP_DEPTH)
        return Fail(parse, kelo_detail::kFailSkipTooDeep);
      ++parse.m_skipDepth;
      const int rc =
          marker == 'M' ? SkipInto<CKeloHesSkipClass>(parse) : SkipInto<CKeloHesSkipArray>(parse);
      --parse.m_skipDepth;
      return rc;
    }
    default:
      kelo_detail::Add(parse, kelo_detail::kFailSkipUnknownOpen);
      kelo_detail::AddBytes(parse, &marker, 1);
      return Fail(parse, kelo_detail::kFailSkipUnknownClose);
  }
}

CKeloHesSkipClass::CKeloHesSkipClass() {
  m_checkClassName = false;
}
CKeloHesSkipClass::~CKeloHesSkipClass() {}
const CKeloHesName& CKeloHesSkipClass::Namespace() const {
  return mEmptyName;
}
const CKeloHesName& CKeloHesSkipClass::ClassName() const {
  return mEmptyName;
}
int CKeloHesSkipClass::HashMembers() {
  return KELO_OK;
}

KELO_DEFINE_ARRAY(CKeloHesSkipObject)

CKeloHesSkipArray::CKeloHesSkipArray() {
  m_checkItemClassName = false;
}
CKeloHesSkipArray::~CKeloHesSkipArray() {}
