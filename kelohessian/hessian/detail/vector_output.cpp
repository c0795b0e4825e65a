// CKeloOutput storage in a caller's std::vector: clearing, growing and trimming it.
#include <kelohessian/hessian/detail/vector_output.h>

#include <algorithm>
#include <cstddef>
#include <exception>

namespace kelo_detail {
namespace {

constexpr std::size_t kMaxSize = 0xFFFFFFFFu;  // CKeloOutput counts in 32 bits
// The first allocation of an empty vector; the capacity doubles from there.
constexpr std::size_t kFirstCapacity = 256;
// How far ahead of the writes the vector's size is zero-filled: small enough that the zeroes are
// still in cache when the writes overwrite them, large enough that growing stays rare.
constexpr std::size_t kFillAhead = 64 * 1024;

}  // namespace

VectorOutput::VectorOutput(std::vector<std::uint8_t>& bytes) noexcept
    : m_bytes(bytes), m_output(0), m_kept(false) {
  m_bytes.clear();
  m_output.m_deleteData = false;  // the vector owns the storage
  m_output.m_vector = this;
}

VectorOutput::~VectorOutput() {
  if (!m_kept) m_bytes.clear();
}

int VectorOutput::Finish(int rc) noexcept {
  if (rc != KELO_OK) return rc;
  // Shrinking a vector of bytes neither allocates nor throws.
  m_bytes.resize(m_output.DataSize());
  m_kept = true;
  return rc;
}

int VectorOutput::Grow(CKeloOutput& out, unsigned int length) noexcept {
  const unsigned long long needed = static_cast<unsigned long long>(out.m_dataSize) + length;
  if (needed > kMaxSize) return KELO_E_NO_MEMORY;
  const std::size_t need = static_cast<std::size_t>(needed);
  try {
    if (need > m_bytes.capacity()) {
      const std::size_t twice =
          m_bytes.capacity() < kMaxSize / 2 ? 2 * m_bytes.capacity() : kMaxSize;
      m_bytes.reserve(std::max({need, twice, kFirstCapacity}));
    }
    const std::size_t ahead =
        m_bytes.size() < kMaxSize - kFillAhead ? m_bytes.size() + kFillAhead : kMaxSize;
    m_bytes.resize(std::min({m_bytes.capacity(), kMaxSize, std::max(need, ahead)}));
  } catch (const std::exception&) {
    return KELO_E_NO_MEMORY;  // a failed reserve leaves the vector, and so out, as they were
  }
  out.m_data = reinterpret_cast<char*>(m_bytes.data());
  out.m_capacity = static_cast<unsigned int>(m_bytes.size());
  return KELO_OK;
}

}  // namespace kelo_detail
