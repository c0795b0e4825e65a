/// \file
/// The small language-support layer: a wide-character string, CKlString, and the exception
/// classes of namespace kllang. Nothing in the codec throws; these are thrown only by
/// kelo::cl::MeasureReq::setBssid. Every class is exported, so a handler outside the library
/// catches them by type.
#pragma once

#include <kelohessian/hessian/export.h>

namespace kllang {

/// A wide text that owns a new[]-allocated, zero-terminated copy of its characters. This is the
/// one corner of the library that may throw std::bad_alloc: building or copying a non-empty text
/// allocates with plain new[]. The empty text and the fixed text of OutOfMemoryError allocate
/// nothing.
class KELO_API CKlString {
 public:
  /// A copy of the zero-terminated text. A null pointer gives the empty text.
  CKlString(const wchar_t* text);
  /// The decimal form of the number, with a leading '-' when negative ("-1999997").
  explicit CKlString(int value);
  /// A copy of the other's text (the fixed texts are shared, not copied).
  CKlString(const CKlString& other);
  /// Replaces the text with a copy of the other's; unchanged when the copy throws.
  CKlString& operator=(const CKlString& other);
  ~CKlString();

  /// Never null; valid while the string lives and is not assigned to.
  const wchar_t* c_str() const { return m_text; }
  /// The number of characters, without the terminator.
  unsigned int length() const { return m_length; }

 private:
  friend class OutOfMemoryError;
  friend KELO_API CKlString operator+(const CKlString& prefix, const CKlString& suffix);

  // Takes text of length characters and a terminating zero as it is: when owned, a new[] array
  // that this string frees; otherwise constant text that outlives every string.
  CKlString(const wchar_t* text, unsigned int length, bool owned);

  const wchar_t* m_text;
  unsigned int m_length;
  bool m_owned;
};

/// The prefix's characters followed by the suffix's.
KELO_API CKlString operator+(const CKlString& prefix, const CKlString& suffix);

/// Root of the exception classes; carries a message.
class KELO_API Throwable {
 public:
  /// Carries a copy of the message.
  explicit Throwable(const CKlString& message);
  virtual ~Throwable();

  /// The message; valid while the exception object lives.
  // Inline on purpose: a Windows header that defines GetMessage as a macro then renames this
  // declaration and its callers alike, and no exported symbol depends on the spelling.
  const wchar_t* GetMessage() const { return m_message.c_str(); }

 private:
  CKlString m_message;
};

/// A failure that a program may handle: setBssid throws one for an unexpected result code.
class KELO_API Exception : public Throwable {
 public:
  /// Carries a copy of the message.
  explicit Exception(const CKlString& message);
  ~Exception() override;
};

/// An Exception that reports a programming error.
class KELO_API RuntimeException : public Exception {
 public:
  /// Carries a copy of the message.
  explicit RuntimeException(const CKlString& message);
  ~RuntimeException() override;
};

/// An argument the callee cannot take: setBssid throws it for a null pointer or a count other
/// than 6.
class KELO_API IllegalArgumentException : public RuntimeException {
 public:
  /// Carries a copy of the message.
  explicit IllegalArgumentException(const CKlString& message);
  ~IllegalArgumentException() override;
};

/// The exhausted heap. Deliberately not an Exception: only handlers for Throwable and for
/// OutOfMemoryError catch it. Its message is the fixed text "Out of memory", referred to rather
/// than copied, so constructing, throwing and copying it allocate nothing from the heap.
class KELO_API OutOfMemoryError : public Throwable {
 public:
  OutOfMemoryError();
  ~OutOfMemoryError() override;

  /// Throws an OutOfMemoryError by value.
  [[noreturn]] static void ThrowInstance();
};

}  // namespace kllang
