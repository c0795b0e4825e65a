// CKeloOutput growth and CKeloInput cursor operations.
#include <kelohessian/hessian/output.h>

#include <string.h>

#include <new>

#include <kelohessian/hessian/detail/vector_output.h>

// Growing is rare; kept out of line so that the appends stay small enough to inline.
#if defined(__GNUC__)
#define KELO_OUT_OF_LINE __attribute__((noinline))
#else
#define KELO_OUT_OF_LINE
#endif

CKeloOutput::CKeloOutput(unsigned int growthStep)
    : m_data(nullptr),
      m_capacity(0),
      m_dataSize(0),
      m_growthStep(growthStep),
      m_deleteData(true),
      m_vector(nullptr),
      m_numbered(0) {}

CKeloOutput::~CKeloOutput() {
  if (m_data && m_deleteData) delete[] m_data;
}

CKeloOutput& CKeloOutput::operator=(const CKeloOutput& other) {
  m_data = other.m_data;
  m_capacity = other.m_capacity;
  m_dataSize = other.m_dataSize;
  m_growthStep = other.m_growthStep;
  m_deleteData = other.m_deleteData;
  m_vector = other.m_vector;  // storage in a vector is grown through that vector only
  m_numbered = other.m_numbered;
  return *this;
}

int CKeloOutput::Append(char byte) {
  if (m_dataSize == m_capacity) {
    if (int rc = Grow(1); rc != 0) return rc;
  }
  m_data[m_dataSize++] = byte;
  return KELO_OK;
}

int CKeloOutput::Append(const char* bytes, unsigned int length) {
  if (length > m_capacity - m_dataSize) {
    if (m_vector) return m_vector->Append(*this, bytes, length);
    if (int rc = Grow(length); rc != 0) return rc;
  }
  if (length) memcpy(m_data + m_dataSize, bytes, length);
  m_dataSize += length;
  return KELO_OK;
}

// Makes room for length more bytes. With a non-zero step the capacity grows by the smallest
// non-zero number of whole steps that fits; with step 0 it at least doubles (geometric growth,
// linear total time for large messages). A capacity that would pass 32 bits is an allocation
// failure. Storage in a caller's vector grows by that vector's rules.
KELO_OUT_OF_LINE int CKeloOutput::Grow(unsigned int length) {
  if (m_vector) return m_vector->Grow(*this, length);
  const unsigned long long needed = static_cast<unsigned long long>(m_dataSize) + length;
  unsigned long long capacity;
  if (m_growthStep == 0) {
    capacity = static_cast<unsigned long long>(m_capacity) * 2;
    if (capacity < 64) capacity = 64;
    if (capacity < needed) capacity = needed;
    if (capacity > 0xFFFFFFFFull) capacity = needed;
  } else {
    const unsigned long long shortfall = needed - m_capacity;
    const unsigned long long steps = (shortfall + m_growthStep - 1) / m_growthStep;
    capacity = m_capacity + steps * m_growthStep;
  }
  if (capacity > 0xFFFFFFFFull) return KELO_E_NO_MEMORY;
  char* data = new (std::nothrow) char[static_cast<size_t>(capacity)];
  if (!data) return KELO_E_NO_MEMORY;
  if (m_data) {
    if (m_dataSize) memcpy(data, m_data, m_dataSize);
    delete[] m_data;
  }
  m_data = data;
  m_capacity = static_cast<unsigned int>(capacity);
  return KELO_OK;
}

int CKeloOutput::SetDataSize(unsigned int size) {
  if (size > m_dataSize) return KELO_E_OUT_OF_RANGE;
  m_dataSize = size;
  return KELO_OK;
}

CKeloInput::CKeloInput(const char* data, unsigned int size)
    : m_data(data), m_totalSize(size), m_numExtracted(0) {}

CKeloInput::~CKeloInput() {}

CKeloInput& CKeloInput::operator=(const CKeloInput& other) {
  m_data = other.m_data;
  m_totalSize = other.m_totalSize;
  m_numExtracted = other.m_numExtracted;
  return *this;
}

int CKeloInput::GetDataAt(const char*& out, unsigned int offset, unsigned int count) const {
  if (offset > m_totalSize || count > m_totalSize - offset) return KELO_E_EXHAUSTED;
  out = m_data + offset;
  return KELO_OK;
}

int CKeloInput::PutBack(unsigned int count) {
  if (count > m_numExtracted) return KELO_E_INVALID_STATE;
  m_numExtracted -= count;
  return KELO_OK;
}
