// Text and byte blobs. CKeloHesString holds 16-bit code units (one BMP character each) and writes
// them as UTF-8 string chunks: 's' + 2-byte count + data for each full chunk of 65535 characters,
// then 'S' + count + data. CKeloHesBinary writes 'b'/'B' chunks of up to 65535 bytes. Both are
// 'N' when null.
#pragma once

#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/object.h>

// Ownership: a string owns its units after Copy and after a successful read, and does not own
// them after SetExternal (the caller keeps them alive). A copy (construction or assignment) of an
// owned value copies the units, so exactly one owner remains; a copy of an external value stays
// external. Copy construction and assignment cannot return a code: when the allocation for the
// copy fails, the target becomes a null value with no data (it writes 'N').
//
// Every failed read leaves the old value in place; a failed write leaves the output as it was.
class KELO_API CKeloHesString : public CKeloHesObject {
 public:
  // Points at a single zero unit: a printable empty text for callers whose string is null.
  static const short* const pszNullString;

  CKeloHesString();
  CKeloHesString(const CKeloHesString& other);
  CKeloHesString& operator=(const CKeloHesString& other);
  ~CKeloHesString() override;

  // Copies count units; no allocation for 0 units (data stays null). A null source gives a null
  // value, also with a non-zero count. KELO_E_NO_MEMORY when the copy cannot be allocated (the
  // string is unchanged).
  int Copy(const short* units, unsigned int count);
  // Zero-terminated form; KELO_E_OUT_OF_RANGE when the length count would reach 0xFFFFFFFF.
  int Copy(const short* units);
  // Bytes taken as code points 0 to 255 (zero-extended).
  int Copy(const char* bytes, unsigned int count);
  int Copy(const char* bytes);
  // Points at the caller's units without copying; a null pointer gives a null value.
  void SetExternal(const short* units, unsigned int count);

  unsigned int Data(const short*& units) const {
    units = m_data;
    return m_length;
  }
  short* GetData() { return m_data; }
  unsigned int Length() const { return m_length; }

  int Serialize(CKeloOutput& out) const override;
  int DoSerialize(CKeloOutput& out) const;
  int Deserialize(CKeloInputParse& parse) override;
  int SetNull(bool isNull) override;

 private:
  void Release();
  void Adopt(short* data, unsigned int length);

  short* m_data;
  unsigned int m_length;
  bool m_ownsData;
};

// Byte blob with the same ownership, copy and failure rules as CKeloHesString.
class KELO_API CKeloHesBinary : public CKeloHesObject {
 public:
  CKeloHesBinary();
  CKeloHesBinary(const CKeloHesBinary& other);
  CKeloHesBinary& operator=(const CKeloHesBinary& other);
  ~CKeloHesBinary() override;

  int Copy(const char* bytes, unsigned int count);
  void SetExternal(const char* bytes, unsigned int count);
  unsigned int Data(const char*& bytes) const {
    bytes = m_data;
    return m_length;
  }
  unsigned int Length() const { return m_length; }

  int Serialize(CKeloOutput& out) const override;
  int DoSerialize(CKeloOutput& out) const;
  int Deserialize(CKeloInputParse& parse) override;
  int SetNull(bool isNull) override;

 private:
  void Release();
  void Adopt(char* data, unsigned int length);

  char* m_data;
  unsigned int m_length;
  bool m_ownsData;
};
