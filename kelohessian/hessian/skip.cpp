// Reading past one value of any type, for members a reader does not know.
//
// The wire reader walks the value first, checking on its tokens what this skipper accepts: typed
// maps whose names count bytes as they count characters, lists with a '['-type and a length that
// matches their items, no references, remotes or XML, at most KELO_MAX_SKIP_DEPTH levels. Such a
// value is passed over with nothing allocated. Anything else is read again by the value classes'
// own decoders (a string, a blob, the skip structure and skip list on the stack), which report the
// exact failure and leave the cursor where they stop; inside that slower read, nested values take
// the same path.
#include <kelohessian/hessian/skip.h>

#include <kelohessian/hessian/detail/numbering.h>
#include <kelohessian/hessian/detail/wire.h>
#include <kelohessian/hessian/string.h>
#include <kelohessian/wire/reader.h>

using kelo::wire::Kind;
using kelo::wire::Token;
using kelo_detail::Fail;

const CKeloHesName CKeloHesSkipObject::mNamespace;
const CKeloHesName CKeloHesSkipObject::mClassName;
const CKeloHesName CKeloHesSkipClass::mEmptyName;

CKeloHesSkipObject::~CKeloHesSkipObject() {}

int CKeloHesSkipObject::Deserialize(CKeloInputParse& parse) {
  return Skip(parse);
}

namespace {

// A name as the map and list decoders read it: a 2-byte count of bytes, which the reader counted in
// characters. They agree only when every character is one byte.
bool ByteCounted(const Token& token) {
  return token.size == token.units;
}

// Walks one value that this skipper accepts, counting the maps and lists in it into numbered;
// false on anything it would refuse or read otherwise.
bool Walk(kelo::wire::Reader& reader, unsigned int& numbered) {
  // Per open map or list: the items a list still expects (-1 for a map), and whether a map's next
  // token is a member name.
  struct Level {
    long long items;
    bool name;
  } levels[KELO_MAX_SKIP_DEPTH];
  unsigned int depth = 0;
  Token token;
  do {
    if (!reader.Next(token)) return false;
    Level* top = depth ? &levels[depth - 1] : nullptr;
    if (token.kind == Kind::kEnd) {
      if (!top) return false;
      // A map ends where a name would be; a list after exactly its items.
      if (top->items > 0 || (top->items < 0 && !top->name)) return false;
      --depth;
      continue;
    }
    if (top && top->items < 0 && top->name) {
      if (token.kind != Kind::kString || !token.last || !ByteCounted(token)) return false;
      top->name = false;
      continue;
    }
    if (top) {
      if (top->items == 0) return false;
      if (top->items > 0)
        --top->items;
      else
        top->name = true;
    }
    switch (token.kind) {
      case Kind::kString:
      case Kind::kBinary:
        while (reader.inChunks()) {
          if (!reader.Next(token)) return false;
        }
        break;
      case Kind::kMap:
        if (!token.typed || !ByteCounted(token)) return false;
        levels[depth++] = {-1, true};
        ++numbered;
        break;
      case Kind::kList:
        if (!token.typed || !ByteCounted(token) || token.size == 0 || token.text[0] != '[' ||
            !token.sized || token.integer < 0)
          return false;
        levels[depth++] = {token.integer, false};
        ++numbered;
        break;
      case Kind::kNull:
      case Kind::kTrue:
      case Kind::kFalse:
      case Kind::kInt:
      case Kind::kLong:
      case Kind::kDouble:
      case Kind::kDate:
        break;
      default:
        return false;
    }
  } while (depth);
  return true;
}

// Decodes one value into a temporary of type T on the stack, for its result and its text.
template <class T>
int ReadInto(CKeloInputParse& parse) {
  T temporary;
  CKeloHesObject& object = temporary;
  return object.Deserialize(parse);
}

}  // namespace

int CKeloHesSkipObject::Skip(CKeloInputParse& parse) {
  CKeloInput& in = parse.Input();
  const unsigned int at = in.GetNumExtracted();
  const unsigned int left = in.GetTotalSize() - at;
  const char* data;
  if (left == 0 || in.GetDataAt(data, at, left) != 0)
    return Fail(parse, kelo_detail::kFailSkipMissing);
  if (parse.m_skipDepth == 0) {
    kelo::wire::Reader walk(data, left, KELO_MAX_SKIP_DEPTH);
    unsigned int numbered = 0;
    if (Walk(walk, numbered)) {
      kelo_detail::Numbering::Read(parse) += numbered;
      return in.Extract(data, static_cast<unsigned int>(walk.offset()));
    }
  }
  // The first token's kind says which decoder reads the value again; whether it is whole does not
  // matter. A byte that begins nothing, or a 'z', fails with the kind left at kNull.
  kelo::wire::Reader first(data, left, 1);
  Token token;
  const bool known = first.Next(token) || token.kind != Kind::kNull;
  const char* p = nullptr;
  switch (known ? token.kind : Kind::kRef) {
    case Kind::kNull:
    case Kind::kTrue:
    case Kind::kFalse:
      return in.Extract(p, 1);
    case Kind::kInt:
      in.Extract(p, 1);
      return in.Extract(p, 4);
    case Kind::kLong:
    case Kind::kDouble:
    case Kind::kDate:
      in.Extract(p, 1);
      return in.Extract(p, 8);
    case Kind::kString:
      return ReadInto<CKeloHesString>(parse);
    case Kind::kBinary:
      return ReadInto<CKeloHesBinary>(parse);
    case Kind::kMap:
    case Kind::kList: {
      // One level deeper: the marker is taken before the depth is refused.
      if (parse.m_skipDepth >= KELO_MAX_SKIP_DEPTH) {
        in.Extract(p, 1);
        return Fail(parse, kelo_detail::kFailSkipTooDeep);
      }
      ++parse.m_skipDepth;
      const int rc = token.kind == Kind::kMap ? ReadInto<CKeloHesSkipClass>(parse)
                                              : ReadInto<CKeloHesSkipArray>(parse);
      --parse.m_skipDepth;
      return rc;
    }
    default:
      in.Extract(p, 1);
      kelo_detail::Add(parse, kelo_detail::kFailSkipUnknownOpen);
      kelo_detail::AddBytes(parse, data, 1);  // the marker
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
