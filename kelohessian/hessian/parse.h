/// \file
/// The parse context every decoder takes: the input cursor plus a growing error text in which each
/// failure on the way is described, innermost first.
#pragma once

#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/output.h>

namespace kelo_detail {
struct FailurePath;
struct Numbering;
struct MessageValues;
}  // namespace kelo_detail

/// Whether a message added to the error text is followed by ". Last chars read: '...'", the last
/// 16 bytes read (printable ASCII as it is, every other byte as '.').
/// KELO_NO_LAST_CHARS adds the message alone, KELO_ADD_LAST_CHARS the message and the window.
enum TKeloAddLastChars { KELO_NO_LAST_CHARS = 0, KELO_ADD_LAST_CHARS = 1 };

/// The input cursor of a read and the text that explains its failure. Decoders add a fixed message
/// where they fail and each enclosing structure adds a clause naming its member and class, so the
/// text reads from the innermost failure outward. Adding text never changes the outcome of a read:
/// when the text cannot grow, it stays as it was and the decoder's own code is returned.
///
/// The parse context owns its error text and frees it when destroyed; it cannot be copied. It is
/// used by one thread at a time, like the cursor it reads from, which must outlive it.
class KELO_API CKeloInputParse {
 public:
  /// A context over the cursor (not copied: the context reads and moves the caller's cursor), with
  /// no error text.
  explicit CKeloInputParse(CKeloInput& input);
  ~CKeloInputParse();
  CKeloInputParse(const CKeloInputParse&) = delete;
  CKeloInputParse& operator=(const CKeloInputParse&) = delete;

  /// The cursor that decoders read from.
  CKeloInput& Input() { return m_input; }

  /// Makes the context ready for the next read: the error text becomes empty (its storage is kept
  /// for the next failure), the skip depth 0, and the numbering of maps and lists for 'R' starts
  /// over. The cursor is the caller's: point it at the next
  /// input with CKeloInput's assignment.
  void Reset();

  /// The zero-terminated error text, null until the first message was added.
  const char* GetError() const { return m_error; }
  /// The length of the error text, without its terminator.
  unsigned int GetErrorLength() const { return m_errorLength; }

  /// Appends a zero-terminated message, followed by the last 16 characters for KELO_ADD_LAST_CHARS.
  int AddToError(const char* message, TKeloAddLastChars addLastChars);
  /// Appends length characters of message (not necessarily terminated), then the context of the
  /// last lastChars bytes read. KELO_E_NO_MEMORY when the text cannot grow: nothing is appended
  /// then.
  int AddToErrorByLength(const char* message, unsigned int length, unsigned int lastChars);
  /// Appends ". Last chars read: '<window>'" for the last count bytes read (fewer when fewer were
  /// read; nothing for 0). KELO_E_EXHAUSTED, with nothing added, when the cursor stands beyond its
  /// range.
  int AddLastCharsToError(unsigned int count);

  /// Where the member loop and the list reader record the path of a failure (an internal type of
  /// the library); null, and nothing recorded, unless the modern face installed one.
  kelo_detail::FailurePath* FailurePathSink() const { return m_path; }
  /// Installs (or, with null, removes) the path recorder; the caller keeps it alive meanwhile.
  void SetFailurePathSink(kelo_detail::FailurePath* path) { m_path = path; }

 private:
  friend class CKeloHesSkipObject;
  friend struct kelo_detail::Numbering;

  CKeloInput& m_input;
  char* m_error;
  unsigned int m_errorLength;
  unsigned int m_errorCapacity;
  // Nesting of values being skipped (maps and lists inside unregistered members), kept here so
  // that no global or thread-local state is needed; bounded by KELO_MAX_SKIP_DEPTH (skip.h).
  unsigned int m_skipDepth;
  // Behind the classic fields: the modern face's path recorder, null for the classic interface.
  kelo_detail::FailurePath* m_path;
  // The maps and lists read since the message began (the numbers Java gives them for 'R'), and the
  // decoder that holds every member and argument of any value read since, so that an 'R' in one
  // reaches a map or list of another; created by the first of them (hessian/detail/numbering.h).
  unsigned int m_numbered;
  kelo_detail::MessageValues* m_values;
};
