/// \file
/// The byte buffers every encoder writes into and every decoder reads from: CKeloOutput, a growable
/// output buffer, and CKeloInput, a read cursor over a range that the caller owns. Neither knows
/// anything of Hessian.
#pragma once

#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/result.h>

namespace kelo_detail {
class VectorOutput;
struct OutputAccess;
struct Numbering;
}  // namespace kelo_detail

/// Growable output buffer. The storage grows in whole multiples of the growth step: an append that
/// does not fit grows the capacity by the smallest non-zero number of steps that leaves room for
/// it. A growth step of 0 selects geometric growth instead (the capacity at least doubles and at
/// least fits the append), so very large messages are written in linear time; prefer it for
/// messages beyond a few kilobytes. A capacity beyond 32 bits is refused as KELO_E_NO_MEMORY.
///
/// Ownership: the buffer frees its storage on destruction unless SetDeleteDataAtDestruction(false)
/// handed it to the caller, who then frees it with delete[]. operator= copies every field, so
/// both objects point at the same storage afterwards; clear the flag on all but one of them.
class KELO_API CKeloOutput {
 public:
  /// An empty buffer (Data() null, DataSize() 0); nothing is allocated until the first append.
  explicit CKeloOutput(unsigned int growthStep = 512);
  ~CKeloOutput();
  /// Copies the storage pointer, capacity, size, growth step and flag as they stand: the storage
  /// is then shared, not copied (see the class).
  CKeloOutput& operator=(const CKeloOutput& other);

  /// Returns 0, or KELO_E_NO_MEMORY when the storage cannot grow (the buffer is then unchanged).
  int Append(char byte);
  /// Appends length bytes; 0, or KELO_E_NO_MEMORY with the buffer unchanged.
  int Append(const char* bytes, unsigned int length);

  /// The bytes written so far; null until an append allocated. Valid until the next append that
  /// grows the storage, and after the buffer's destruction only if the caller took the storage.
  const char* Data() const { return m_data; }
  /// The number of bytes written so far.
  unsigned int DataSize() const { return m_dataSize; }

  /// Shrinks the data size; storage and capacity stay. Growing it returns KELO_E_OUT_OF_RANGE.
  int SetDataSize(unsigned int size);
  /// Whether the destructor frees the storage (true after construction). A caller that clears it
  /// takes the storage over and frees Data() with delete[].
  void SetDeleteDataAtDestruction(bool deleteData) { m_deleteData = deleteData; }

 private:
  friend class kelo_detail::VectorOutput;
  friend struct kelo_detail::OutputAccess;
  friend struct kelo_detail::Numbering;
  CKeloOutput(const CKeloOutput&);  // not provided: the storage would get two owners
  int Grow(unsigned int length);

  char* m_data;
  unsigned int m_capacity;
  unsigned int m_dataSize;
  unsigned int m_growthStep;
  bool m_deleteData;
  // Behind the five classic fields, which keep their order. Null for every buffer a program
  // constructs. The one-call encoders of kelo.h point it at the std::vector they fill: the buffer
  // then writes into that vector's storage and grows it (hessian/detail/vector_output.h).
  kelo_detail::VectorOutput* m_vector;
  // The maps and lists written since the message began: the number Java's readers give the next
  // one for 'R', which members holding any value need (hessian/detail/numbering.h).
  unsigned int m_numbered;
};

/// Read cursor over a byte range owned by the caller, which must stay valid while the cursor is
/// used. Extract and GetDataAt hand out pointers into that range; nothing is ever copied. Every
/// failure leaves the cursor where it was.
class KELO_API CKeloInput {
 public:
  /// A cursor at the start of the size bytes at data.
  CKeloInput(const char* data, unsigned int size);
  ~CKeloInput();
  /// Another cursor over the same range, at the same position.
  CKeloInput(const CKeloInput& other) = default;
  /// Points this cursor at the other's range and position: how a parse context is moved to the
  /// next input.
  CKeloInput& operator=(const CKeloInput& other);

  /// Takes count bytes: KELO_E_EXHAUSTED (and nothing taken) when fewer remain. A count of 0 always
  /// works.
  int Extract(const char*& out, unsigned int count) {
    if (count > m_totalSize - m_numExtracted) return KELO_E_EXHAUSTED;
    out = m_data + m_numExtracted;
    m_numExtracted += count;
    return KELO_OK;
  }
  /// Random access that leaves the cursor alone; KELO_E_EXHAUSTED beyond the range. offset + count
  /// is checked without 32-bit wrap-around.
  int GetDataAt(const char*& out, unsigned int offset, unsigned int count) const;
  /// Steps the cursor back; KELO_E_INVALID_STATE (and nothing changed) before the start.
  int PutBack(unsigned int count);

  /// The size of the range.
  unsigned int GetTotalSize() const { return m_totalSize; }
  /// The cursor: bytes taken so far, from 0.
  unsigned int GetNumExtracted() const { return m_numExtracted; }

 private:
  const char* m_data;
  unsigned int m_totalSize;
  unsigned int m_numExtracted;
};
