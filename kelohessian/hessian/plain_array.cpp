// Lists of strings, booleans and numbers: written by the typed-list writer under Java's array type
// names; read with the wire reader for the list's opening and end, and the classic value readers
// for the items, so that Java's arrays and its java.util.Lists read alike.
#include <kelohessian/hessian/plain_array.h>

#include <kelohessian/hessian/detail/failure_path.h>
#include <kelohessian/hessian/detail/numbering.h>
#include <kelohessian/hessian/detail/wire.h>
#include <kelohessian/wire/reader.h>
#include <kelohessian/wire/utf8.h>

using kelo_detail::Fail;

namespace {

constexpr CKeloHesName kNoNamespace;
// Indexed by CKeloHesPlainArrayBase::ItemKind: the names Java gives the items of its arrays.
constexpr CKeloHesName kItemNames[] = {
    {"string", 6}, {"boolean", 7}, {"int", 3}, {"long", 4}, {"double", 6}};

// A reader over what the cursor has not taken yet, or over its first `limit` bytes; its offsets
// count from the cursor.
kelo::wire::Reader ReaderAtCursor(const CKeloInput& in, unsigned int limit = 0xFFFFFFFFu) {
  const unsigned int at = in.GetNumExtracted();
  const unsigned int rest = in.GetTotalSize() - at;
  const unsigned int left = rest < limit ? rest : limit;
  const char* bytes = nullptr;
  if (left) in.GetDataAt(bytes, at, left);
  return kelo::wire::Reader(bytes, left);
}

// Takes the bytes a reader started at the cursor has read.
void Take(CKeloInput& in, const kelo::wire::Reader& reader) {
  const char* p;
  in.Extract(p, static_cast<unsigned int>(reader.offset()));
}

// Whether the list's closing 'z' is next, nothing taken: to a reader of the next byte alone it is a
// 'z' that closes nothing it opened. (A value of more bytes only runs into that reader's end, so
// no item is read twice.)
bool AtListEnd(const CKeloInput& in) {
  kelo::wire::Reader reader = ReaderAtCursor(in, 1);
  kelo::wire::Token token;
  return !reader.Next(token) && reader.problem() == kelo::wire::Problem::kUnopened;
}

// Reads the list's opening: 'N' (null set), or 'V' with its type and count as the reader gives
// them. On failure the cursor is where the reader stopped.
int Open(CKeloInputParse& parse, kelo::wire::Token& open) {
  CKeloInput& in = parse.Input();
  kelo::wire::Reader reader = ReaderAtCursor(in);
  const bool read = reader.Next(open);
  Take(in, reader);
  if (read) {
    if (open.kind == kelo::wire::Kind::kList) kelo_detail::Numbering::Opened(parse);
    if (open.kind == kelo::wire::Kind::kNull || open.kind == kelo::wire::Kind::kList)
      return KELO_OK;
    return Fail(parse, kelo_detail::kFailListMarker);
  }
  if (open.kind != kelo::wire::Kind::kList) {
    // Nothing, or a value other than a list that is cut short or no value at all.
    return reader.offset() == 0 && reader.problem() == kelo::wire::Problem::kEnd
               ? Fail(parse, kelo_detail::kFailListMissing)
               : Fail(parse, kelo_detail::kFailListMarker);
  }
  if (reader.problem() == kelo::wire::Problem::kUtf8) {
    parse.AddToError(kelo::wire::Utf8Message(reader.utf8()), KELO_NO_LAST_CHARS);
    return KELO_E_FORMAT;
  }
  return Fail(parse, kelo_detail::kFailPlainListOpening);
}

}  // namespace

CKeloHesPlainArrayBase::CKeloHesPlainArrayBase(ItemKind kind) : m_itemKind(kind) {}

CKeloHesPlainArrayBase::~CKeloHesPlainArrayBase() {}

const CKeloHesName& CKeloHesPlainArrayBase::ItemNamespace() const {
  return kNoNamespace;
}

const CKeloHesName& CKeloHesPlainArrayBase::ItemClassName() const {
  return kItemNames[m_itemKind];
}

int CKeloHesPlainArrayBase::CreateItem(CKeloHesObject*& item) {
  switch (m_itemKind) {
    case kString:
      item = new (std::nothrow) CKeloHesString();
      break;
    case kBool:
      item = new (std::nothrow) CKeloHesBool();
      break;
    case kInt32:
      item = new (std::nothrow) CKeloHesInt32();
      break;
    case kInt64:
      item = new (std::nothrow) CKeloHesInt64();
      break;
    case kDouble:
      item = new (std::nothrow) CKeloHesDouble();
      break;
  }
  return item ? KELO_OK : KELO_E_NO_MEMORY;
}

CKeloHesObject* CKeloHesPlainArrayBase::AppendItem() {
  CKeloHesObject* item = nullptr;
  if (CreateItem(item) != KELO_OK) return nullptr;
  if (Add(*item) != KELO_OK) {
    delete item;
    return nullptr;
  }
  return item;
}

int CKeloHesPlainArrayBase::Deserialize(CKeloInputParse& parse) {
  Reset();
  kelo::wire::Token open;
  if (int rc = Open(parse, open); rc != 0) return rc;
  if (open.kind == kelo::wire::Kind::kNull) {
    SetNull(true);
    return KELO_OK;
  }
  if (open.sized && open.integer < 0) return Fail(parse, kelo_detail::kFailListNegative);
  CKeloInput& in = parse.Input();
  // Items are created one at a time as the input pays for them; the count never sizes an
  // allocation.
  for (int i = 0; open.sized ? i < open.integer : !AtListEnd(in); ++i) {
    if (!open.sized && in.GetNumExtracted() == in.GetTotalSize()) {
      Reset();
      return Fail(parse, kelo_detail::kFailListEndMissing);
    }
    CKeloHesObject* item = nullptr;
    const unsigned int start = in.GetNumExtracted();
    int rc = CreateItem(item);
    if (rc == 0) {
      rc = item->Deserialize(parse);
      if (rc != 0) {
        if (kelo_detail::FailurePath* path = parse.FailurePathSink()) path->Item(i, start);
      } else {
        rc = Add(*item);
      }
    }
    if (rc != 0) {
      delete item;
      Reset();
      return rc;
    }
  }
  const bool closed = AtListEnd(in);
  const char* p;
  if (in.Extract(p, 1) != 0) {
    Reset();
    return Fail(parse, kelo_detail::kFailListEndMissing);
  }
  if (!closed) {
    Reset();
    return Fail(parse, kelo_detail::kFailListEndMarker);
  }
  return KELO_OK;
}
