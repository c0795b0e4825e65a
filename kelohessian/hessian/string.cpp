// String and binary values: chunked writing ('s'/'b' chunks of 65535 characters or bytes, then a
// final 'S'/'B'), and reading that gathers the chunks and allocates the final array once.
#include <kelohessian/hessian/string.h>

#include <stdint.h>
#include <string.h>

#include <new>

#include <kelohessian/hessian/detail/output_access.h>
#include <kelohessian/hessian/detail/wire.h>
#include <kelohessian/wire/utf8.h>

using kelo_detail::Fail;

namespace {

enum : unsigned int { kMaxChunk = 0xFFFF };

const short kNullUnit = 0;

// Temporary store for the contents of a value while it is read. It starts in Local elements of
// its own (on the reader's stack), so a short value costs no heap block; beyond that its capacity
// grows geometrically, so a value of many chunks costs linear time, and the first heap reservation
// is exact, so a long single-chunk value is handed over without a second allocation or copy.
template <class T, size_t Local>
class Gather {
 public:
  Gather() : m_data(m_local), m_size(0), m_capacity(Local) {}
  ~Gather() {
    if (m_data != m_local) delete[] m_data;
  }
  Gather(const Gather&) = delete;
  Gather& operator=(const Gather&) = delete;

  // Makes room for more elements behind the current size.
  bool Reserve(size_t more) {
    if (more <= m_capacity - m_size) return true;
    size_t capacity = m_size ? m_capacity * 2 : more;
    if (capacity < m_size + more) capacity = m_size + more;
    T* grown = new (std::nothrow) T[capacity];
    if (!grown) return false;
    if (m_size) memcpy(grown, m_data, m_size * sizeof(T));
    if (m_data != m_local) delete[] m_data;
    m_data = grown;
    m_capacity = capacity;
    return true;
  }
  T* End() { return m_data + m_size; }
  void Grow(size_t n) { m_size += n; }
  size_t Size() const { return m_size; }
  // Gives up heap storage that holds exactly the gathered elements, otherwise null.
  T* ReleaseExact() {
    if (m_data == m_local || m_size == 0 || m_size != m_capacity) return nullptr;
    T* data = m_data;
    m_data = m_local;
    m_size = 0;
    m_capacity = Local;
    return data;
  }
  const T* Data() const { return m_data; }

 private:
  T* m_data;
  size_t m_size;
  size_t m_capacity;
  T m_local[Local];
};

// Writes one chunk header: marker and the 16-bit count.
int ChunkHeader(CKeloOutput& out, char marker, unsigned int count) {
  char header[kelo::wire::kMaxPut];
  return out.Append(header, kelo::wire::PutLength(header, marker, count));
}

// The look-aheads below size a chunked value once, at its first chunk, by walking the headers of
// the chunks still to come without taking anything. They run once per value, never once per
// chunk: a chain of many empty chunks would otherwise be walked again for each of them. They
// return 0 when the chain is broken or leaves the input; the reader then grows its store
// geometrically and reports the fault itself when it reaches it.

// The bytes of the blob chunks that follow the cursor, up to and including the final 'B' chunk.
size_t ChunkedBytesAhead(const CKeloInput& in) {
  size_t total = 0;
  unsigned int at = in.GetNumExtracted();
  const char* p;
  while (in.GetDataAt(p, at, 3) == 0 && (p[0] == 'b' || p[0] == 'B')) {
    const unsigned int count = kelo_detail::ReadU16(p + 1);
    if (count > in.GetTotalSize() - at - 3) return 0;
    total += count;
    at += 3 + count;
    if (p[0] == 'B') return total;
  }
  return 0;
}

// The characters of a chunked string: the count characters whose bytes start at the cursor, and
// those of the chunks after them up to and including the final 'S' chunk.
size_t ChunkedUnitsAhead(const CKeloInput& in, unsigned int count) {
  size_t total = 0;
  unsigned int at = in.GetNumExtracted();
  bool last = false;
  for (;;) {
    const unsigned int left = in.GetTotalSize() - at;
    const char* data = nullptr;
    if (left) in.GetDataAt(data, at, left);
    const size_t span =
        kelo::wire::Utf8Span(reinterpret_cast<const unsigned char*>(data), left, count);
    if (span == SIZE_MAX) return 0;
    total += count;
    at += static_cast<unsigned int>(span);
    if (last) return total;
    const char* p;
    if (in.GetDataAt(p, at, 3) != 0 || (p[0] != 's' && p[0] != 'S')) return 0;
    last = p[0] == 'S';
    count = kelo_detail::ReadU16(p + 1);
    at += 3;
  }
}

// The storage rules that strings (16-bit units) and blobs (bytes) share, on their fields: the
// pointer, the length, whether the value owns what it points at, and the object's own room for a
// short value (Cap elements). An owned value of 1 to Cap elements lives in that room, a longer one
// in a heap block of its size, an empty one nowhere (null pointer).
template <class T, unsigned int Cap>
struct Storage {
  T*& data;
  unsigned int& length;
  bool& owns;
  T (&room)[Cap];

  // Frees a heap block the value owns and leaves it without data.
  void Release() {
    if (owns && data && data != room) delete[] data;
    data = nullptr;
    length = 0;
    owns = false;
  }
  // Takes over a heap block of count elements (or none).
  void Adopt(T* block, unsigned int count) {
    Release();
    data = block;
    length = count;
    owns = true;
  }
  // Stores count elements (at most Cap) in the room; source may point into the room itself.
  void KeepInRoom(const T* source, unsigned int count) {
    if (count) memmove(room, source, count * sizeof(T));
    if (owns && data && data != room) delete[] data;
    data = count ? room : nullptr;
    length = count;
    owns = true;
  }
  // Copies count elements into storage the value then owns (no allocation for 0 or up to Cap; a
  // null source copies nothing); -1999997 and nothing changed when the block cannot be allocated.
  // The copy is made before the old value is released, so source may be the value's own data.
  int Copy(const T* source, unsigned int count) {
    if (!source) count = 0;
    if (count <= Cap) {
      KeepInRoom(source, count);
      return KELO_OK;
    }
    T* copy = new (std::nothrow) T[count];
    if (!copy) return KELO_E_NO_MEMORY;
    memcpy(copy, source, count * sizeof(T));
    Adopt(copy, count);
    return KELO_OK;
  }
  // Assignment copies owned data, so exactly one owner remains, and keeps external data external;
  // when the copy cannot be allocated the value is left with no data and the function says so.
  bool Assign(T* source, unsigned int sourceLength, bool sourceOwns) {
    if (!sourceOwns || !source) {
      Release();
      data = source;
      length = sourceLength;
      owns = sourceOwns;
      return true;
    }
    if (Copy(source, sourceLength) == KELO_OK) return true;
    Release();
    return false;
  }
  // Points the value at the caller's elements without copying or owning them.
  void PointAt(const T* source, unsigned int count) {
    Release();
    data = const_cast<T*>(source);
    length = source ? count : 0;
  }
  // Takes over what a reader gathered: into the room when it fits, else the gathered heap block
  // itself when it is exact, else a new block of its size; false when that cannot be allocated.
  template <size_t Local>
  bool Take(Gather<T, Local>& store) {
    const size_t count = store.Size();
    if (count <= Cap) {
      KeepInRoom(store.Data(), static_cast<unsigned int>(count));
      return true;
    }
    T* block = store.ReleaseExact();
    if (!block) {
      block = new (std::nothrow) T[count];
      if (!block) return false;
      memcpy(block, store.Data(), count * sizeof(T));
    }
    Adopt(block, static_cast<unsigned int>(count));
    return true;
  }
};

// Writes through DoSerialize and cuts the output back to its size before the call on failure.
template <class Value>
int SerializeOrRestore(const Value& value, CKeloOutput& out) {
  const unsigned int before = out.DataSize();
  const int rc = value.DoSerialize(out);
  if (rc != 0 && before <= out.DataSize()) out.SetDataSize(before);
  return rc;
}

}  // namespace

const short* const CKeloHesString::pszNullString = &kNullUnit;

CKeloHesString::CKeloHesString() : m_data(nullptr), m_length(0), m_ownsData(false) {
  m_null = true;
}

CKeloHesString::CKeloHesString(const CKeloHesString& other)
    : CKeloHesObject(other), m_data(nullptr), m_length(0), m_ownsData(false) {
  *this = other;
}

CKeloHesString& CKeloHesString::operator=(const CKeloHesString& other) {
  if (this == &other) return *this;
  // No code can be returned from a copy: when it cannot be allocated the target becomes null.
  m_null = Storage<short, kInlineUnits>{m_data, m_length, m_ownsData, m_inline}.Assign(
               other.m_data, other.m_length, other.m_ownsData)
               ? other.m_null
               : true;
  return *this;
}

CKeloHesString::~CKeloHesString() {
  Release();
}

void CKeloHesString::Release() {
  Storage<short, kInlineUnits>{m_data, m_length, m_ownsData, m_inline}.Release();
}

void CKeloHesString::Adopt(short* data, unsigned int length) {
  Storage<short, kInlineUnits>{m_data, m_length, m_ownsData, m_inline}.Adopt(data, length);
}

int CKeloHesString::SetNull(bool isNull) {
  m_null = isNull;
  return KELO_OK;
}

int CKeloHesString::Copy(const short* units, unsigned int count) {
  if (int rc =
          Storage<short, kInlineUnits>{m_data, m_length, m_ownsData, m_inline}.Copy(units, count);
      rc != 0)
    return rc;
  return SetNull(units == nullptr);
}

int CKeloHesString::Copy(const short* units) {
  unsigned long long count = 0;
  if (units) {
    while (units[count] != 0) {
      if (++count >= 0xFFFFFFFFull) return KELO_E_OUT_OF_RANGE;
    }
  }
  return Copy(units, static_cast<unsigned int>(count));
}

int CKeloHesString::Copy(const char* bytes, unsigned int count) {
  if (!bytes) count = 0;
  if (count <= kInlineUnits) {
    // Widened on the stack first: the bytes may be the string's own room seen as bytes.
    short widened[kInlineUnits];
    for (unsigned int i = 0; i < count; ++i)
      widened[i] = static_cast<short>(static_cast<unsigned char>(bytes[i]));
    Storage<short, kInlineUnits>{m_data, m_length, m_ownsData, m_inline}.KeepInRoom(widened, count);
  } else {
    short* copy = new (std::nothrow) short[count];
    if (!copy) return KELO_E_NO_MEMORY;
    for (unsigned int i = 0; i < count; ++i)
      copy[i] = static_cast<short>(static_cast<unsigned char>(bytes[i]));
    Adopt(copy, count);
  }
  SetNull(bytes == nullptr);
  return KELO_OK;
}

int CKeloHesString::Copy(const char* bytes) {
  const size_t length = bytes ? strlen(bytes) : 0;
  if (length >= 0xFFFFFFFFull) return KELO_E_OUT_OF_RANGE;
  return Copy(bytes, static_cast<unsigned int>(length));
}

void CKeloHesString::SetExternal(const short* units, unsigned int count) {
  Storage<short, kInlineUnits>{m_data, m_length, m_ownsData, m_inline}.PointAt(units, count);
  SetNull(units == nullptr);
}

int CKeloHesString::Serialize(CKeloOutput& out) const {
  return SerializeOrRestore(*this, out);
}

int CKeloHesString::DoSerialize(CKeloOutput& out) const {
  using kelo_detail::OutputAccess;
  if (m_null) return OutputAccess::Put(out, 'N');
  const unsigned short* units = reinterpret_cast<const unsigned short*>(m_data);
  unsigned int remaining = m_length;
  // A value of one chunk whose longest encoding (three bytes a unit) fits the room the buffer has
  // is encoded in place behind its header: one bounds check for the whole value. Otherwise, and to
  // leave exactly what the chunk loop leaves when a unit cannot be written, the loop below writes
  // it, growing the buffer as the bytes need it.
  if (remaining <= kMaxChunk && 3ull * remaining + 3 <= OutputAccess::Room(out)) {
    unsigned char* at = reinterpret_cast<unsigned char*>(OutputAccess::End(out));
    size_t encodedUnits;
    const long bytes = kelo::wire::EncodeUtf8(units, remaining, at + 3, &encodedUnits);
    if (bytes >= 0) {
      kelo::wire::PutLength(reinterpret_cast<char*>(at), 'S', remaining);
      OutputAccess::Commit(out, 3 + static_cast<unsigned int>(bytes));
      return KELO_OK;
    }
  }
  // Encoded through a stack block, so the output grows by whole blocks rather than bytes.
  enum : unsigned int { kBlockUnits = 1024 };
  unsigned char block[3 * kBlockUnits];
  do {
    const bool last = remaining <= kMaxChunk;
    const unsigned int chunk = last ? remaining : kMaxChunk;
    if (int rc = ChunkHeader(out, last ? 'S' : 's', chunk); rc != 0) return rc;
    for (unsigned int done = 0; done < chunk;) {
      const unsigned int n = chunk - done < kBlockUnits ? chunk - done : kBlockUnits;
      size_t encodedUnits;
      const long bytes = kelo::wire::EncodeUtf8(units, n, block, &encodedUnits);
      if (bytes < 0) return KELO_E_NOT_SUPPORTED;
      if (int rc =
              out.Append(reinterpret_cast<const char*>(block), static_cast<unsigned int>(bytes));
          rc != 0)
        return rc;
      units += n;
      done += n;
    }
    remaining -= chunk;
  } while (remaining > 0);
  return KELO_OK;
}

int CKeloHesString::Deserialize(CKeloInputParse& parse) {
  CKeloInput& in = parse.Input();
  const char* p;
  if (in.Extract(p, 1) != 0) return Fail(parse, kelo_detail::kFailStringMissing);
  char marker = *p;
  if (marker == 'N') {
    Release();
    SetNull(true);
    return KELO_OK;
  }
  Gather<short, kInlineUnits> store;
  bool sized = false;
  for (;;) {
    if (marker != 'S' && marker != 's') return Fail(parse, kelo_detail::kFailStringMarker);
    if (in.Extract(p, 2) != 0) return Fail(parse, kelo_detail::kFailStringLength);
    const unsigned int count = kelo_detail::ReadU16(p);
    // Every character takes at least one byte, so the input bounds what is reserved. The first of
    // several chunks reserves room for all of them, so the string is stored once, at its size.
    const unsigned int available = in.GetTotalSize() - in.GetNumExtracted();
    size_t wanted = count < available ? count : available;
    if (marker == 's' && !sized) {
      sized = true;
      const size_t all = ChunkedUnitsAhead(in, count);
      if (all > wanted) wanted = all;
    }
    if (!store.Reserve(wanted)) return Fail(parse, kelo_detail::kFailStringStore);
    const char* start = nullptr;
    in.Extract(start, 0);  // where the characters start, nothing taken
    size_t consumed = 0, decoded = 0;
    const kelo::wire::Utf8Status status =
        kelo::wire::DecodeUtf8(reinterpret_cast<const unsigned char*>(start), available, count,
                               reinterpret_cast<unsigned short*>(store.End()), &consumed, &decoded);
    in.Extract(p, static_cast<unsigned int>(consumed));
    store.Grow(decoded);
    if (status == kelo::wire::kUtf8Exhausted) return Fail(parse, kelo_detail::kFailStringMissing);
    if (status != kelo::wire::kUtf8Ok) {
      parse.AddToError(kelo::wire::Utf8Message(status), KELO_NO_LAST_CHARS);
      return KELO_E_FORMAT;
    }
    if (marker == 'S') break;
    if (in.Extract(p, 1) != 0) return Fail(parse, kelo_detail::kFailStringNextChunk);
    marker = *p;
  }
  if (!Storage<short, kInlineUnits>{m_data, m_length, m_ownsData, m_inline}.Take(store))
    return Fail(parse, kelo_detail::kFailStringAllocate);
  SetNull(false);
  return KELO_OK;
}

CKeloHesBinary::CKeloHesBinary() : m_data(nullptr), m_length(0), m_ownsData(false) {
  m_null = true;
}

CKeloHesBinary::CKeloHesBinary(const CKeloHesBinary& other)
    : CKeloHesObject(other), m_data(nullptr), m_length(0), m_ownsData(false) {
  *this = other;
}

CKeloHesBinary& CKeloHesBinary::operator=(const CKeloHesBinary& other) {
  if (this == &other) return *this;
  // No code can be returned from a copy: when it cannot be allocated the target becomes null.
  m_null = Storage<char, kInlineBytes>{m_data, m_length, m_ownsData, m_inline}.Assign(
               other.m_data, other.m_length, other.m_ownsData)
               ? other.m_null
               : true;
  return *this;
}

CKeloHesBinary::~CKeloHesBinary() {
  Release();
}

void CKeloHesBinary::Release() {
  Storage<char, kInlineBytes>{m_data, m_length, m_ownsData, m_inline}.Release();
}

void CKeloHesBinary::Adopt(char* data, unsigned int length) {
  Storage<char, kInlineBytes>{m_data, m_length, m_ownsData, m_inline}.Adopt(data, length);
}

int CKeloHesBinary::SetNull(bool isNull) {
  m_null = isNull;
  return KELO_OK;
}

int CKeloHesBinary::Copy(const char* bytes, unsigned int count) {
  if (int rc =
          Storage<char, kInlineBytes>{m_data, m_length, m_ownsData, m_inline}.Copy(bytes, count);
      rc != 0)
    return rc;
  return SetNull(bytes == nullptr);
}

void CKeloHesBinary::SetExternal(const char* bytes, unsigned int count) {
  Storage<char, kInlineBytes>{m_data, m_length, m_ownsData, m_inline}.PointAt(bytes, count);
  SetNull(bytes == nullptr);
}

int CKeloHesBinary::Serialize(CKeloOutput& out) const {
  return SerializeOrRestore(*this, out);
}

int CKeloHesBinary::DoSerialize(CKeloOutput& out) const {
  if (m_null) return kelo_detail::OutputAccess::Put(out, 'N');
  const char* bytes = m_data;
  unsigned int remaining = m_length;
  while (remaining > kMaxChunk) {
    if (int rc = ChunkHeader(out, 'b', kMaxChunk); rc != 0) return rc;
    if (int rc = out.Append(bytes, kMaxChunk); rc != 0) return rc;
    bytes += kMaxChunk;
    remaining -= kMaxChunk;
  }
  if (int rc = ChunkHeader(out, 'B', remaining); rc != 0) return rc;
  return out.Append(bytes, remaining);
}

int CKeloHesBinary::Deserialize(CKeloInputParse& parse) {
  CKeloInput& in = parse.Input();
  const char* p;
  if (in.Extract(p, 1) != 0) return Fail(parse, kelo_detail::kFailBinaryMissing);
  char marker = *p;
  if (marker == 'N') {
    Release();
    SetNull(true);
    return KELO_OK;
  }
  Gather<char, kInlineBytes> store;
  bool sized = false;
  for (;;) {
    if (marker != 'B' && marker != 'b') return Fail(parse, kelo_detail::kFailBinaryMarker);
    if (in.Extract(p, 2) != 0) return Fail(parse, kelo_detail::kFailBinaryLength);
    const unsigned int count = kelo_detail::ReadU16(p);
    if (in.Extract(p, count) != 0) return Fail(parse, kelo_detail::kFailBinaryMissing);
    // The first of several chunks reserves room for all of them, so the blob is allocated once.
    size_t more = 0;
    if (marker == 'b' && !sized) {
      sized = true;
      more = ChunkedBytesAhead(in);
    }
    if (!store.Reserve(count + more)) return Fail(parse, kelo_detail::kFailBinaryStore);
    if (count) memcpy(store.End(), p, count);
    store.Grow(count);
    if (marker == 'B') break;
    if (in.Extract(p, 1) != 0) return Fail(parse, kelo_detail::kFailBinaryNextChunk);
    marker = *p;
  }
  // The blob takes over the gathered storage; after several chunks it is first trimmed to size.
  if (!Storage<char, kInlineBytes>{m_data, m_length, m_ownsData, m_inline}.Take(store))
    return Fail(parse, kelo_detail::kFailBinaryStore);
  SetNull(false);
  return KELO_OK;
}
