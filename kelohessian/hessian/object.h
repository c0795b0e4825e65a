// The root of every serialisable value, CKeloHesObject, and the scalar values built on it:
// booleans ('T'/'F'), the 32-bit integer family ('I' + 4 bytes) and the 64-bit group ('L', 'D',
// 'd' + 8 bytes). All numbers on the wire are big-endian. Scalars are never null.
#pragma once

#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/output.h>
#include <kelohessian/hessian/parse.h>

// Virtual slots, in order: destructor, Serialize, Deserialize, SetNull. The root's Serialize,
// Deserialize and SetNull return KELO_E_NOT_SUPPORTED.
class KELO_API CKeloHesObject {
 public:
  CKeloHesObject() : m_null(false) {}
  CKeloHesObject(const CKeloHesObject& other) : m_null(other.m_null) {}
  CKeloHesObject& operator=(const CKeloHesObject& other) {
    m_null = other.m_null;
    return *this;
  }
  virtual ~CKeloHesObject();
  virtual int Serialize(CKeloOutput& out) const;
  virtual int Deserialize(CKeloInputParse& parse);
  virtual int SetNull(bool isNull);
  bool IsNull() const { return m_null; }

 protected:
  bool m_null;
};

class KELO_API CKeloHesBool : public CKeloHesObject {
 public:
  CKeloHesBool(bool value = false) : m_value(value) {}
  CKeloHesBool(const CKeloHesBool& other) = default;
  ~CKeloHesBool() override;
  CKeloHesBool& operator=(const CKeloHesBool& other) = default;
  CKeloHesBool& operator=(bool value) {
    m_value = value;
    return *this;
  }
  operator bool() const { return m_value; }
  int Serialize(CKeloOutput& out) const override;
  int Deserialize(CKeloInputParse& parse) override;

 private:
  bool m_value;
};

// Every integer of 32 bits or less is carried in a signed 32-bit field and written as 'I'. The
// narrow classes widen on the way in (sign- or zero-extension) and keep the low bits on the way
// out; a wire value that does not fit is kept whole and truncated only when converted.
class KELO_API CKeloHesNum32 : public CKeloHesObject {
 public:
  CKeloHesNum32(const CKeloHesNum32& other) = default;
  CKeloHesNum32& operator=(const CKeloHesNum32& other) = default;
  ~CKeloHesNum32() override;

 protected:
  explicit CKeloHesNum32(int value) : m_value(value) {}
  int Serialize(CKeloOutput& out) const override;
  int Deserialize(CKeloInputParse& parse) override;

  int m_value;
};

#define KELO_DECLARE_NUM32(Cls, Type, Widen)                     \
  class KELO_API Cls : public CKeloHesNum32 {                    \
   public:                                                       \
    Cls(Type value = 0) : CKeloHesNum32(Widen(value)) {}         \
    Cls(const Cls& other) = default;                             \
    ~Cls() override;                                             \
    Cls& operator=(const Cls& other) = default;                  \
    Cls& operator=(Type value) {                                 \
      m_value = Widen(value);                                    \
      return *this;                                              \
    }                                                            \
    operator Type() const { return static_cast<Type>(m_value); } \
  };

// char is signed or unsigned depending on the platform; the 8-bit signed class sign-extends
// whatever the platform's char is.
#define KELO_WIDEN_S8(v) static_cast<int>(static_cast<signed char>(v))
#define KELO_WIDEN_U8(v) static_cast<int>(static_cast<unsigned char>(v))
#define KELO_WIDEN_S16(v) static_cast<int>(static_cast<short>(v))
#define KELO_WIDEN_U16(v) static_cast<int>(static_cast<unsigned short>(v))
#define KELO_WIDEN_32(v) static_cast<int>(v)

KELO_DECLARE_NUM32(CKeloHesInt8, char, KELO_WIDEN_S8)
KELO_DECLARE_NUM32(CKeloHesUInt8, unsigned char, KELO_WIDEN_U8)
KELO_DECLARE_NUM32(CKeloHesInt16, short, KELO_WIDEN_S16)
KELO_DECLARE_NUM32(CKeloHesUInt16, unsigned short, KELO_WIDEN_U16)
KELO_DECLARE_NUM32(CKeloHesInt32, int, KELO_WIDEN_32)
KELO_DECLARE_NUM32(CKeloHesUInt32, unsigned int, KELO_WIDEN_32)

// The 64-bit group shares one 64-bit field and its writer and reader; the subclasses choose the
// marker. CKeloHesNum64 itself cannot be written or read (KELO_E_NOT_SUPPORTED).
class KELO_API CKeloHesNum64 : public CKeloHesObject {
 public:
  CKeloHesNum64(const CKeloHesNum64& other) = default;
  CKeloHesNum64& operator=(const CKeloHesNum64& other) = default;
  ~CKeloHesNum64() override;

 protected:
  explicit CKeloHesNum64(long long value) : m_value(value) {}
  int Serialize64(char marker, CKeloOutput& out) const;
  int Deserialize64(char marker, CKeloInputParse& parse);

  long long m_value;
};

class KELO_API CKeloHesInt64 : public CKeloHesNum64 {
 public:
  CKeloHesInt64(long long value = 0) : CKeloHesNum64(value) {}
  CKeloHesInt64(const CKeloHesInt64& other) = default;
  ~CKeloHesInt64() override;
  CKeloHesInt64& operator=(const CKeloHesInt64& other) = default;
  CKeloHesInt64& operator=(long long value) {
    m_value = value;
    return *this;
  }
  operator long long() const { return m_value; }

 protected:
  int Serialize(CKeloOutput& out) const override;
  int Deserialize(CKeloInputParse& parse) override;
};

class KELO_API CKeloHesUInt64 : public CKeloHesInt64 {
 public:
  CKeloHesUInt64(unsigned long long value = 0) : CKeloHesInt64(static_cast<long long>(value)) {}
  CKeloHesUInt64(const CKeloHesUInt64& other) = default;
  ~CKeloHesUInt64() override;
  CKeloHesUInt64& operator=(const CKeloHesUInt64& other) = default;
  CKeloHesUInt64& operator=(unsigned long long value) {
    m_value = static_cast<long long>(value);
    return *this;
  }
  operator unsigned long long() const { return static_cast<unsigned long long>(m_value); }
};

class KELO_API CKeloHesDouble : public CKeloHesNum64 {
 public:
  CKeloHesDouble(double value = 0.0);
  CKeloHesDouble(const CKeloHesDouble& other) = default;
  ~CKeloHesDouble() override;
  CKeloHesDouble& operator=(const CKeloHesDouble& other) = default;
  CKeloHesDouble& operator=(double value);
  operator double() const;

 protected:
  int Serialize(CKeloOutput& out) const override;
  int Deserialize(CKeloInputParse& parse) override;
};

// Milliseconds since 1970-01-01 00:00 UTC, carried and never interpreted.
class KELO_API CKeloHesDate : public CKeloHesNum64 {
 public:
  CKeloHesDate(unsigned long long value = 0) : CKeloHesNum64(static_cast<long long>(value)) {}
  CKeloHesDate(const CKeloHesDate& other) = default;
  ~CKeloHesDate() override;
  CKeloHesDate& operator=(const CKeloHesDate& other) = default;
  CKeloHesDate& operator=(unsigned long long value) {
    m_value = static_cast<long long>(value);
    return *this;
  }
  operator unsigned long long() const { return static_cast<unsigned long long>(m_value); }

 protected:
  int Serialize(CKeloOutput& out) const override;
  int Deserialize(CKeloInputParse& parse) override;
};

#undef KELO_DECLARE_NUM32
#undef KELO_WIDEN_S8
#undef KELO_WIDEN_U8
#undef KELO_WIDEN_S16
#undef KELO_WIDEN_U16
#undef KELO_WIDEN_32
