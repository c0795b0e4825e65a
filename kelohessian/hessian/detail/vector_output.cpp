// CKeloOutput storage in a caller's std::vector: growing it, appending to it and trimming it.
#include <kelohessian/hessian/detail/vector_output.h>

#include <string.h>

#include <algorithm>
#include <cstddef>
#include <exception>

namespace kelo_detail {
namespace {

constexpr std::size_t kMaxSize = 0xFFFFFFFFu;  // CKeloOutput counts in 32 bits
// The first allocation of an empty vector; the capacity doubles from there.
constexpr std::size_t kFirstCapacity = 256;
// How far ahead of the writes the vector's size is zero-filled: a page, small enough that the
// zeroes are still in the first-level cache when the writes overwrite them (64 KB cost 10% more
// on a 10 MB reply), while growing stays rare beside the writes.
constexpr std::size_t kFillAhead = 4 * 1024;

// Makes the capacity at least needed, at least doubling it; throws what reserve throws, leaving
// the vector as it was.
void Reserve(std::vector<std::uint8_t>& bytes, std::size_t needed) {
  if (needed <= bytes.capacity()) return;
  const std::size_t twice = bytes.capacity() < kMaxSize / 2 ? 2 * bytes.capacity() : kMaxSize;
  bytes.reserve(std::max({needed, twice, kFirstCapacity}));
}

}  // namespace

VectorOutput::VectorOutput(std::vector<std::uint8_t>& bytes) noexcept
    : m_bytes(bytes), m_output(0), m_kept(false) {
  m_output.m_deleteData = false;  // the vector owns the storage
  m_output.m_vector = this;
  // The bytes the vector holds are overwritten in place, so a vector reused for message after
  // message is neither reallocated nor zero-filled again once it is large enough. Shrinking
  // neither allocates nor throws.
  if (m_bytes.size() > kMaxSize) m_bytes.resize(kMaxSize);
  if (!m_bytes.empty()) {
    m_output.m_data = reinterpret_cast<char*>(m_bytes.data());
    m_output.m_capacity = static_cast<unsigned int>(m_bytes.size());
  }
}

VectorOutput::~VectorOutput() {
  if (!m_kept) m_bytes.clear();
}

int VectorOutput::Finish(int rc) noexcept {
  if (rc != KELO_OK) return rc;
  m_bytes.resize(m_output.DataSize());  // shrinks: neither allocates nor throws
  m_kept = true;
  return rc;
}

// The vector's size stays the buffer's capacity throughout: its data and capacity are updated
// only once the vector has changed, so a failure leaves out as it was.

int VectorOutput::Grow(CKeloOutput& out, unsigned int length) noexcept {
  const unsigned long long needed = static_cast<unsigned long long>(out.m_dataSize) + length;
  if (needed > kMaxSize) return KELO_E_NO_MEMORY;
  const std::size_t need = static_cast<std::size_t>(needed);
  try {
    Reserve(m_bytes, need);
    const std::size_t ahead =
        m_bytes.size() < kMaxSize - kFillAhead ? m_bytes.size() + kFillAhead : kMaxSize;
    m_bytes.resize(std::min({m_bytes.capacity(), kMaxSize, std::max(need, ahead)}));
  } catch (const std::exception&) {
    return KELO_E_NO_MEMORY;
  }
  out.m_data = reinterpret_cast<char*>(m_bytes.data());
  out.m_capacity = static_cast<unsigned int>(m_bytes.size());
  return KELO_OK;
}

int VectorOutput::Append(CKeloOutput& out, const char* bytes, unsigned int length) noexcept {
  const unsigned long long needed = static_cast<unsigned long long>(out.m_dataSize) + length;
  if (needed > kMaxSize) return KELO_E_NO_MEMORY;
  // What fits goes into the zero-filled room behind the data; the rest is inserted behind it,
  // copied once and not zero-filled first, which matters for large blocks such as blob chunks.
  const std::size_t room = m_bytes.size() - out.m_dataSize;
  const auto* first = reinterpret_cast<const std::uint8_t*>(bytes);
  try {
    Reserve(m_bytes, static_cast<std::size_t>(needed));
    m_bytes.insert(m_bytes.end(), first + room, first + length);  // within capacity: no throw
  } catch (const std::exception&) {
    return KELO_E_NO_MEMORY;
  }
  if (room) memcpy(m_bytes.data() + out.m_dataSize, first, room);
  out.m_data = reinterpret_cast<char*>(m_bytes.data());
  out.m_capacity = static_cast<unsigned int>(m_bytes.size());
  out.m_dataSize = out.m_capacity;
  return KELO_OK;
}

}  // namespace kelo_detail
