// The parse context's error text: messages appended one after another, each optionally followed
// by the last bytes read, shown as printable ASCII with every other byte as '.'.
#include <kelohessian/hessian/parse.h>

#include <string.h>

#include <new>

#include <kelohessian/hessian/detail/numbering.h>

CKeloInputParse::CKeloInputParse(CKeloInput& input)
    : m_input(input),
      m_error(nullptr),
      m_errorLength(0),
      m_errorCapacity(0),
      m_skipDepth(0),
      m_path(nullptr),
      m_numbered(0),
      m_values(nullptr) {}

CKeloInputParse::~CKeloInputParse() {
  delete[] m_error;
  delete m_values;
}

void CKeloInputParse::Reset() {
  if (m_error) m_error[0] = '\0';
  m_errorLength = 0;
  m_skipDepth = 0;
  m_numbered = 0;
  delete m_values;
  m_values = nullptr;
}

int CKeloInputParse::AddToError(const char* message, TKeloAddLastChars addLastChars) {
  const unsigned int length = message ? static_cast<unsigned int>(strlen(message)) : 0;
  return AddToErrorByLength(message, length, addLastChars == KELO_ADD_LAST_CHARS ? 16 : 0);
}

int CKeloInputParse::AddToErrorByLength(const char* message, unsigned int length,
                                        unsigned int lastChars) {
  // The text grows in whole multiples of 128 bytes, at least doubling, so that a context that
  // collects the text of many reads (no Reset between them) costs linear time. Sums are taken in
  // 64 bits; a doubling beyond 32 bits falls back to what is needed.
  const unsigned long long needed = static_cast<unsigned long long>(m_errorLength) + length + 1;
  if (needed > m_errorCapacity) {
    unsigned long long capacity = (needed + 127) / 128 * 128;
    const unsigned long long doubled = 2ull * m_errorCapacity;
    if (doubled > capacity && doubled <= 0xFFFFFFFFull) capacity = doubled;
    if (capacity > 0xFFFFFFFFull) return KELO_E_NO_MEMORY;
    char* grown = new (std::nothrow) char[static_cast<size_t>(capacity)];
    if (!grown) return KELO_E_NO_MEMORY;
    if (m_errorLength) memcpy(grown, m_error, m_errorLength);
    delete[] m_error;
    m_error = grown;
    m_errorCapacity = static_cast<unsigned int>(capacity);
  }
  if (length) memcpy(m_error + m_errorLength, message, length);
  m_errorLength += length;
  m_error[m_errorLength] = '\0';
  return AddLastCharsToError(lastChars);
}

int CKeloInputParse::AddLastCharsToError(unsigned int count) {
  if (count == 0) return KELO_OK;
  const unsigned int end = m_input.GetNumExtracted();
  if (count > end) count = end;
  const char* window = nullptr;
  if (m_input.GetDataAt(window, end - count, count) != 0) return KELO_E_EXHAUSTED;
  static const char kOpen[] = ". Last chars read: '";
  AddToErrorByLength(kOpen, sizeof(kOpen) - 1, 0);
  // Decoders ask for 16 bytes; a larger window is shown in pieces through a small local copy.
  char shown[64];
  while (count > 0) {
    const unsigned int piece = count < sizeof(shown) ? count : sizeof(shown);
    for (unsigned int i = 0; i < piece; ++i) {
      const unsigned char c = static_cast<unsigned char>(window[i]);
      shown[i] = (c >= 0x20 && c <= 0x7E) ? static_cast<char>(c) : '.';
    }
    AddToErrorByLength(shown, piece, 0);
    window += piece;
    count -= piece;
  }
  AddToErrorByLength("'", 1, 0);
  return KELO_OK;
}
