// The wide string and the exception classes of kllang.
#include <kelohessian/kllang/kllang.h>

#include <cwchar>
#include <limits>
#include <new>

namespace kllang {

namespace {

const wchar_t kEmpty[] = L"";
const wchar_t kOutOfMemory[] = L"Out of memory";

// A new[] copy of count characters followed by a zero.
wchar_t* Duplicate(const wchar_t* text, std::size_t count) {
  if (count >= std::numeric_limits<unsigned int>::max()) throw std::bad_alloc();
  wchar_t* copy = new wchar_t[count + 1];
  if (count != 0) std::wmemcpy(copy, text, count);
  copy[count] = L'\0';
  return copy;
}

}  // namespace

CKlString::CKlString(const wchar_t* text, unsigned int length, bool owned)
    : m_text(text), m_length(length), m_owned(owned) {}

CKlString::CKlString(const wchar_t* text) : m_text(kEmpty), m_length(0), m_owned(false) {
  if (text == nullptr || *text == L'\0') return;
  const std::size_t count = std::wcslen(text);
  m_text = Duplicate(text, count);
  m_length = static_cast<unsigned int>(count);
  m_owned = true;
}

CKlString::CKlString(int value) : m_text(kEmpty), m_length(0), m_owned(false) {
  // Digits are produced from the magnitude as unsigned, so the most negative int needs no
  // special case.
  unsigned int magnitude =
      value < 0 ? 0u - static_cast<unsigned int>(value) : static_cast<unsigned int>(value);
  wchar_t digits[16];
  unsigned int pos = sizeof(digits) / sizeof(digits[0]);
  do {
    digits[--pos] = static_cast<wchar_t>(L'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) digits[--pos] = L'-';
  const unsigned int count = sizeof(digits) / sizeof(digits[0]) - pos;
  m_text = Duplicate(digits + pos, count);
  m_length = count;
  m_owned = true;
}

CKlString::CKlString(const CKlString& other)
    : m_text(other.m_owned ? Duplicate(other.m_text, other.m_length) : other.m_text),
      m_length(other.m_length),
      m_owned(other.m_owned) {}

CKlString& CKlString::operator=(const CKlString& other) {
  if (this == &other) return *this;
  // Copy first: when the allocation throws, this string is unchanged.
  const wchar_t* text = other.m_owned ? Duplicate(other.m_text, other.m_length) : other.m_text;
  if (m_owned) delete[] m_text;
  m_text = text;
  m_length = other.m_length;
  m_owned = other.m_owned;
  return *this;
}

CKlString::~CKlString() {
  if (m_owned) delete[] m_text;
}

CKlString operator+(const CKlString& prefix, const CKlString& suffix) {
  const std::size_t count = static_cast<std::size_t>(prefix.m_length) + suffix.m_length;
  if (count >= std::numeric_limits<unsigned int>::max()) throw std::bad_alloc();
  wchar_t* text = new wchar_t[count + 1];
  std::wmemcpy(text, prefix.m_text, prefix.m_length);
  std::wmemcpy(text + prefix.m_length, suffix.m_text, suffix.m_length);
  text[count] = L'\0';
  return CKlString(text, static_cast<unsigned int>(count), true);
}

Throwable::Throwable(const CKlString& message) : m_message(message) {}
Throwable::~Throwable() {}

Exception::Exception(const CKlString& message) : Throwable(message) {}
Exception::~Exception() {}

RuntimeException::RuntimeException(const CKlString& message) : Exception(message) {}
RuntimeException::~RuntimeException() {}

IllegalArgumentException::IllegalArgumentException(const CKlString& message)
    : RuntimeException(message) {}
IllegalArgumentException::~IllegalArgumentException() {}

OutOfMemoryError::OutOfMemoryError()
    : Throwable(
          CKlString(kOutOfMemory, sizeof(kOutOfMemory) / sizeof(kOutOfMemory[0]) - 1, false)) {}
OutOfMemoryError::~OutOfMemoryError() {}

void OutOfMemoryError::ThrowInstance() {
  throw OutOfMemoryError();
}

}  // namespace kllang
