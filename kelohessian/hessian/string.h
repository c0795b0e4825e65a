/// \file
/// Text and byte blobs. CKeloHesString holds 16-bit code units (one BMP character each) and writes
/// them as UTF-8 string chunks: 's' + 2-byte count + data for each full chunk of 65535 characters,
/// then 'S' + count + data. CKeloHesBinary writes 'b'/'B' chunks of up to 65535 bytes. Both are
/// 'N' when null.
#pragma once

#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/object.h>

/// Text as 16-bit code units, one character of the Basic Multilingual Plane each: a unit from
/// 0xD800 to 0xDFFF cannot be written (KELO_E_NOT_SUPPORTED) and a character above U+FFFF cannot
/// be read (KELO_E_FORMAT). A new string is null.
///
/// Ownership: a string owns its units after Copy and after a successful read, and does not own
/// them after SetExternal (the caller keeps them alive). A copy (construction or assignment) of an
/// owned value copies the units, so exactly one owner remains; a copy of an external value stays
/// external. Copy construction and assignment cannot return a code: when the allocation for the
/// copy fails, the target becomes a null value with no data (it writes 'N').
///
/// Every failed read leaves the old value in place; a failed write leaves the output as it was.
///
/// Storage: a value of up to kInlineUnits units that the string owns is kept inside the object
/// (no heap block); a longer one in one heap block of its exact size. Either way the string owns
/// it as described above, and Data() points at it until the string changes or dies.
class KELO_API CKeloHesString : public CKeloHesObject {
 public:
  /// The longest owned text kept inside the object, in units. Chosen from the texts the messages
  /// carry: a MAC address as text is 17 characters, an IPv4 address at most 15, and most network
  /// names, SSIDs, cities, regions and countries fit; URLs and descriptions go to the heap. 17
  /// units also round the object up to 64 bytes on 64-bit targets without padding.
  enum : unsigned int { kInlineUnits = 17 };

  /// Points at a single zero unit: a printable empty text for callers whose string is null.
  static const short* const pszNullString;

  CKeloHesString();
  /// Copies the value (see the class for ownership).
  CKeloHesString(const CKeloHesString& other);
  /// Copies the value (see the class for ownership).
  CKeloHesString& operator=(const CKeloHesString& other);
  ~CKeloHesString() override;

  /// Copies count units; no allocation for 0 units (data stays null). A null source gives a null
  /// value, also with a non-zero count. KELO_E_NO_MEMORY when the copy cannot be allocated (the
  /// string is unchanged).
  int Copy(const short* units, unsigned int count);
  /// Zero-terminated form; KELO_E_OUT_OF_RANGE when the length count would reach 0xFFFFFFFF.
  int Copy(const short* units);
  /// Bytes taken as code points 0 to 255 (zero-extended).
  int Copy(const char* bytes, unsigned int count);
  /// Zero-terminated bytes taken as code points 0 to 255; KELO_E_OUT_OF_RANGE as above.
  int Copy(const char* bytes);
  /// Points at the caller's units without copying; a null pointer gives a null value.
  void SetExternal(const short* units, unsigned int count);

  /// Sets units to the text (null when there are none) and returns the number of units. The text
  /// is not terminated and stays valid while the string is neither changed nor destroyed.
  unsigned int Data(const short*& units) const {
    units = m_data;
    return m_length;
  }
  /// The text, not terminated; null when there are no units.
  short* GetData() { return m_data; }
  /// The number of units.
  unsigned int Length() const { return m_length; }

  /// DoSerialize, and on failure the output cut back to its size before the call.
  int Serialize(CKeloOutput& out) const override;
  /// Writes 'N', or the chunks, leaving what it wrote before a failure in the output.
  int DoSerialize(CKeloOutput& out) const;
  /// Reads 'N' or the chunks of one string. KELO_E_FORMAT for another marker or bad UTF-8 (an
  /// overlong form or an encoded surrogate is taken as it decodes), KELO_E_EXHAUSTED when the input
  /// ends inside the value, KELO_E_NO_MEMORY when the text cannot be stored.
  int Deserialize(CKeloInputParse& parse) override;
  /// Sets the null flag only; the units stay (a null string that holds units writes 'N').
  int SetNull(bool isNull) override;

 private:
  void Release();
  void Adopt(short* data, unsigned int length);

  short* m_data;
  unsigned int m_length;
  bool m_ownsData;
  // Holds an owned value of up to kInlineUnits units (m_data then points here).
  short m_inline[kInlineUnits];
};

/// Byte blob with the same ownership, copy and failure rules as CKeloHesString. A new blob is null.
/// An owned blob of up to kInlineBytes bytes is kept inside the object, a longer one in one heap
/// block of its size.
class KELO_API CKeloHesBinary : public CKeloHesObject {
 public:
  /// The longest owned blob kept inside the object: the blobs of the messages are MAC addresses
  /// and BSSIDs (6 bytes) and short identifiers; 11 bytes round the object up to 40 bytes on
  /// 64-bit targets without padding.
  enum : unsigned int { kInlineBytes = 11 };

  CKeloHesBinary();
  /// Copies the value (see CKeloHesString for ownership).
  CKeloHesBinary(const CKeloHesBinary& other);
  /// Copies the value (see CKeloHesString for ownership).
  CKeloHesBinary& operator=(const CKeloHesBinary& other);
  ~CKeloHesBinary() override;

  /// Copies count bytes, which the blob then owns; a null pointer gives a null value.
  /// KELO_E_NO_MEMORY leaves the blob unchanged.
  int Copy(const char* bytes, unsigned int count);
  /// Points at the caller's bytes without copying; a null pointer gives a null value.
  void SetExternal(const char* bytes, unsigned int count);
  /// Sets bytes to the blob's bytes (null when there are none) and returns their count; valid while
  /// the blob is neither changed nor destroyed.
  unsigned int Data(const char*& bytes) const {
    bytes = m_data;
    return m_length;
  }
  /// The number of bytes.
  unsigned int Length() const { return m_length; }

  /// DoSerialize, and on failure the output cut back to its size before the call.
  int Serialize(CKeloOutput& out) const override;
  /// Writes 'N', or the chunks, leaving what it wrote before a failure in the output.
  int DoSerialize(CKeloOutput& out) const;
  /// Reads 'N' or the chunks of one blob. KELO_E_FORMAT for another marker, KELO_E_EXHAUSTED when
  /// the input ends inside the value, KELO_E_NO_MEMORY when the bytes cannot be stored.
  int Deserialize(CKeloInputParse& parse) override;
  /// Sets the null flag only; the bytes stay.
  int SetNull(bool isNull) override;

 private:
  void Release();
  void Adopt(char* data, unsigned int length);

  char* m_data;
  unsigned int m_length;
  bool m_ownsData;
  // Holds an owned blob of up to kInlineBytes bytes (m_data then points here).
  char m_inline[kInlineBytes];
};
