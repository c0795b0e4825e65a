// The typed-list encoding and the owning pointer array behind every CKeloHesArray<T>.
#include <kelohessian/hessian/array.h>

#include <string.h>

#include <cstddef>
#include <new>

#include <kelohessian/hessian/detail/failure_path.h>
#include <kelohessian/hessian/detail/numbering.h>
#include <kelohessian/hessian/detail/wire.h>

using kelo_detail::AddBytes;
using kelo_detail::Fail;

// A block of items a read created: this header, then up to capacity items of one size. Blocks are
// allocated as arrays of std::max_align_t, so the header and every item are aligned for any
// fundamental type.
struct CKeloHesArrayBase::ItemBlock {
  ItemBlock* next;
  size_t capacity;
  size_t used;
};

namespace {

using Unit = std::max_align_t;
// The units a block's header takes (its pointer and two sizes), before the first item.
constexpr size_t kHeaderUnits =
    (sizeof(void*) + 2 * sizeof(size_t) + sizeof(Unit) - 1) / sizeof(Unit);
// The first block of a read holds up to this many items, and every later one as many as the
// blocks before it (so a read of n items makes about log2(n) blocks), up to kMaxBlockBytes.
constexpr size_t kFirstBlockItems = 16;
// Larger blocks would come from the system's page mapping rather than the heap on glibc (above
// 128 KiB by default); a block of this size still holds dozens of the largest message items.
constexpr size_t kMaxBlockBytes = 64 * 1024;

}  // namespace

CKeloHesArrayBase::CKeloHesArrayBase()
    : m_items(nullptr),
      m_count(0),
      m_capacity(0),
      m_checkItemClassName(true),
      m_blocks(nullptr),
      m_blockItems(0) {}

CKeloHesArrayBase::~CKeloHesArrayBase() {
  Reset();
  delete[] m_items;
}

size_t CKeloHesArrayBase::ItemSize() const {
  return 0;
}

CKeloHesObject* CKeloHesArrayBase::PlaceItem(void*) {
  return nullptr;
}

void CKeloHesArrayBase::DestroyItem(CKeloHesObject* item, bool placed) {
  if (placed) {
    item->~CKeloHesObject();
  } else {
    delete item;
  }
}

int CKeloHesArrayBase::NextItem(CKeloHesObject*& item, bool& placed, int left,
                                const CKeloInput& in) {
  static_assert(sizeof(ItemBlock) <= kHeaderUnits * sizeof(Unit), "items start after the header");
  const size_t size = ItemSize();
  placed = size != 0;
  if (!placed) return CreateItem(item);
  item = nullptr;
  ItemBlock* block = m_blocks;
  if (!block || block->used == block->capacity) {
    // As many items as the blocks so far hold, but never more than the count announces, the
    // input can still carry (one byte each at least) or kMaxBlockBytes can hold.
    size_t n = static_cast<size_t>(m_blockItems) < kFirstBlockItems
                   ? kFirstBlockItems
                   : static_cast<size_t>(m_blockItems);
    const size_t remaining = in.GetTotalSize() - in.GetNumExtracted();
    if (n > static_cast<size_t>(left)) n = static_cast<size_t>(left);
    if (n > remaining) n = remaining;
    if (n > kMaxBlockBytes / size) n = kMaxBlockBytes / size;
    if (n == 0) n = 1;
    const size_t units = kHeaderUnits + (n * size + sizeof(Unit) - 1) / sizeof(Unit);
    Unit* memory = new (std::nothrow) Unit[units];
    if (!memory) return KELO_E_NO_MEMORY;
    block = reinterpret_cast<ItemBlock*>(memory);
    block->next = m_blocks;
    block->capacity = n;
    block->used = 0;
    m_blocks = block;
  }
  unsigned char* items =
      reinterpret_cast<unsigned char*>(reinterpret_cast<Unit*>(block) + kHeaderUnits);
  item = PlaceItem(items + block->used * size);
  ++block->used;
  return KELO_OK;
}

int CKeloHesArrayBase::SetNull(bool isNull) {
  m_null = isNull;
  return KELO_OK;
}

int CKeloHesArrayBase::AllocateAtLeast(int n) {
  if (n <= m_capacity) return KELO_OK;
  // n slots must fit a 32-bit byte count as well as the heap.
  if (static_cast<unsigned long long>(n) * sizeof(CKeloHesObject*) > 0xFFFFFFFFull)
    return KELO_E_NO_MEMORY;
  CKeloHesObject** items = new (std::nothrow) CKeloHesObject*[static_cast<size_t>(n)];
  if (!items) return KELO_E_NO_MEMORY;
  if (m_count) memcpy(items, m_items, static_cast<size_t>(m_count) * sizeof(CKeloHesObject*));
  delete[] m_items;
  m_items = items;
  m_capacity = n;
  return KELO_OK;
}

int CKeloHesArrayBase::Add(CKeloHesObject& item) {
  if (m_count == m_capacity) {
    const long long grown = 2ll * m_capacity + 20;
    if (grown > 0x7FFFFFFF) return KELO_E_NO_MEMORY;
    if (int rc = AllocateAtLeast(static_cast<int>(grown)); rc != 0) return rc;
  }
  m_items[m_count++] = &item;
  SetNull(false);
  return KELO_OK;
}

void CKeloHesArrayBase::Reset() {
  while (m_count > 0) {
    CKeloHesObject* item = m_items[--m_count];
    DestroyItem(item, m_count < m_blockItems);
  }
  m_blockItems = 0;
  while (m_blocks) {
    ItemBlock* next = m_blocks->next;
    delete[] reinterpret_cast<Unit*>(m_blocks);
    m_blocks = next;
  }
  SetNull(false);
}

int CKeloHesArrayBase::Serialize(CKeloOutput& out) const {
  if (m_null) return out.Append('N');
  const CKeloHesName& ns = ItemNamespace();
  const CKeloHesName& cls = ItemClassName();
  const unsigned long long length = 1ull + (ns.Length() ? ns.Length() + 1ull : 0ull) +
                                    static_cast<unsigned long long>(cls.Length());
  if (int rc = out.Append("Vt", 2); rc != 0) return rc;
  kelo_detail::Numbering::Opened(out);
  if (length > 0xFFFF) return KELO_E_OUT_OF_RANGE;
  char header[3];
  kelo_detail::WriteU16(header, static_cast<unsigned int>(length));
  header[2] = '[';
  if (int rc = out.Append(header, 3); rc != 0) return rc;
  if (ns.Length()) {
    if (int rc = out.Append(ns.Data(), ns.Length()); rc != 0) return rc;
    if (int rc = out.Append('.'); rc != 0) return rc;
  }
  if (int rc = out.Append(cls.Data(), cls.Length()); rc != 0) return rc;
  char count[kelo::wire::kMaxPut];
  if (int rc = out.Append(count, kelo::wire::PutListLength(count, m_count)); rc != 0) return rc;
  for (int i = 0; i < m_count; ++i) {
    if (int rc = m_items[i]->Serialize(out); rc != 0) return rc;
  }
  return out.Append('z');
}

int CKeloHesArrayBase::Deserialize(CKeloInputParse& parse) {
  Reset();
  CKeloInput& in = parse.Input();
  const char* p;
  if (in.Extract(p, 1) != 0) return Fail(parse, kelo_detail::kFailListMissing);
  if (*p == 'N') {
    SetNull(true);
    return KELO_OK;
  }
  if (*p != 'V') return Fail(parse, kelo_detail::kFailListMarker);
  kelo_detail::Numbering::Opened(parse);
  SetNull(false);
  if (in.Extract(p, 1) != 0) return Fail(parse, kelo_detail::kFailListTypeMissing);
  if (*p != 't') return Fail(parse, kelo_detail::kFailListTypeMarker);
  if (int rc = in.Extract(p, 2); rc != 0) return Fail(parse, kelo_detail::kFailListTypeLength, rc);
  const unsigned int length = kelo_detail::ReadU16(p);
  if (length == 0) return Fail(parse, kelo_detail::kFailListAnonymous);
  const char* type;
  if (int rc = in.Extract(type, length); rc != 0)
    return Fail(parse, kelo_detail::kFailListTypeName, rc);
  if (type[0] != '[') return Fail(parse, kelo_detail::kFailListTypeBracket);
  if (m_checkItemClassName &&
      !kelo_detail::IsTypeName(ItemNamespace(), ItemClassName(), type + 1, length - 1)) {
    kelo_detail::Add(parse, kelo_detail::kFailListTypeOpen);
    const CKeloHesName& ns = ItemNamespace();
    if (ns.Length()) {
      AddBytes(parse, ns.Data(), ns.Length());
      kelo_detail::Add(parse, kelo_detail::kFailTypeDot);
    }
    AddBytes(parse, ItemClassName().Data(), ItemClassName().Length());
    kelo_detail::Add(parse, kelo_detail::kFailListTypeGot);
    AddBytes(parse, type, length);
    return Fail(parse, kelo_detail::kFailTypeQuoteClose);
  }
  if (int rc = in.Extract(p, 1); rc != 0)
    return Fail(parse, kelo_detail::kFailListLengthMissing, rc);
  if (*p != 'l') return Fail(parse, kelo_detail::kFailListLengthMarker);
  if (int rc = in.Extract(p, 4); rc != 0)
    return Fail(parse, kelo_detail::kFailListLengthMissing, rc);
  const int count = static_cast<int>(kelo_detail::ReadU32(p));
  if (count < 0) return Fail(parse, kelo_detail::kFailListNegative);
  // Items are created one at a time as the input pays for them; the count never sizes an
  // allocation.
  for (int i = 0; i < count; ++i) {
    CKeloHesObject* item = nullptr;
    bool placed = false;
    if (int rc = NextItem(item, placed, count - i, in); rc != 0) return rc;
    const unsigned int start = in.GetNumExtracted();
    int rc = item->Deserialize(parse);
    if (rc != 0) {
      if (kelo_detail::FailurePath* path = parse.FailurePathSink()) path->Item(i, start);
    } else {
      rc = Add(*item);
    }
    if (rc != 0) {
      DestroyItem(item, placed);
      Reset();
      return rc;
    }
    if (placed) ++m_blockItems;
  }
  if (int rc = in.Extract(p, 1); rc != 0) return Fail(parse, kelo_detail::kFailListEndMissing, rc);
  if (*p != 'z') return Fail(parse, kelo_detail::kFailListEndMarker);
  return KELO_OK;
}
