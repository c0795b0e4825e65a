/// \file
/// The root of every serialisable value, CKeloHesObject, and the scalar values built on it:
/// booleans ('T'/'F'), the 32-bit integer family ('I' + 4 bytes) and the 64-bit group ('L', 'D',
/// 'd' + 8 bytes). All numbers on the wire are big-endian. Scalars are never null.
#pragma once

#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/output.h>
#include <kelohessian/hessian/parse.h>

/// The root of every value the library writes or reads, with its null flag. Virtual slots, in
/// order: destructor, Serialize, Deserialize, SetNull. The root's Serialize, Deserialize and
/// SetNull return KELO_E_NOT_SUPPORTED.
///
/// Every reader takes the bytes it examined even when it rejects them, adds its message to the
/// parse context, and leaves the value it was filling unchanged.
class KELO_API CKeloHesObject {
 public:
  CKeloHesObject() : m_null(false) {}
  /// Copies the null flag.
  CKeloHesObject(const CKeloHesObject& other) : m_null(other.m_null) {}
  /// Copies the null flag.
  CKeloHesObject& operator=(const CKeloHesObject& other) {
    m_null = other.m_null;
    return *this;
  }
  virtual ~CKeloHesObject();
  /// Appends the value's encoding ('N' when it is null); 0 or a result code. What a failed write
  /// appended stays in the output, except for strings, blobs and calls, which cut it back.
  virtual int Serialize(CKeloOutput& out) const;
  /// Reads one value from the parse context's cursor; 0, or a result code with the reason added to
  /// the parse context's error text.
  virtual int Deserialize(CKeloInputParse& parse);
  /// Sets or clears the null flag: 0, or KELO_E_NOT_SUPPORTED (flag unchanged) for the values that
  /// cannot be null: booleans and numbers.
  virtual int SetNull(bool isNull);
  /// Whether the value is null (written as 'N').
  bool IsNull() const { return m_null; }

 protected:
  /// The null flag; false after construction.
  bool m_null;
};

/// A boolean, written as 'T' or 'F'. Reading fails with KELO_E_EXHAUSTED at the end of the input
/// and KELO_E_FORMAT for any other byte.
class KELO_API CKeloHesBool : public CKeloHesObject {
 public:
  /// Holds the value (false by default).
  CKeloHesBool(bool value = false) : m_value(value) {}
  /// Copies the value.
  CKeloHesBool(const CKeloHesBool& other) = default;
  ~CKeloHesBool() override;
  /// Copies the value.
  CKeloHesBool& operator=(const CKeloHesBool& other) = default;
  /// Stores the value.
  CKeloHesBool& operator=(bool value) {
    m_value = value;
    return *this;
  }
  /// The value.
  operator bool() const { return m_value; }
  int Serialize(CKeloOutput& out) const override;
  int Deserialize(CKeloInputParse& parse) override;

 private:
  bool m_value;
};

/// Every integer of 32 bits or less is carried in a signed 32-bit field and written as 'I'. The
/// narrow classes widen on the way in (sign- or zero-extension) and keep the low bits on the way
/// out; a wire value that does not fit is kept whole and truncated only when converted. Reading
/// takes all 5 bytes or none: KELO_E_EXHAUSTED with fewer left, KELO_E_FORMAT (bytes taken) for a
/// marker other than 'I'.
class KELO_API CKeloHesNum32 : public CKeloHesObject {
 public:
  /// Copies the value.
  CKeloHesNum32(const CKeloHesNum32& other) = default;
  /// Copies the value.
  CKeloHesNum32& operator=(const CKeloHesNum32& other) = default;
  ~CKeloHesNum32() override;

 protected:
  /// Holds the 32-bit field as given.
  explicit CKeloHesNum32(int value) : m_value(value) {}
  /// 'I' and the field, big-endian.
  int Serialize(CKeloOutput& out) const override;
  /// 'I' and four bytes into the field, kept whole.
  int Deserialize(CKeloInputParse& parse) override;

  /// The 32-bit field every class of the family stores its value in.
  int m_value;
};

#define KELO_DECLARE_NUM32(Cls, Type, Widen)                     \
  class KELO_API Cls : public CKeloHesNum32 {                    \
   public:                                                       \
    /** Holds the value, widened to the 32-bit field. */         \
    Cls(Type value = 0) : CKeloHesNum32(Widen(value)) {}         \
    /** Copies the value. */                                     \
    Cls(const Cls& other) = default;                             \
    ~Cls() override;                                             \
    /** Copies the value. */                                     \
    Cls& operator=(const Cls& other) = default;                  \
    /** Stores the value, widened to the 32-bit field. */        \
    Cls& operator=(Type value) {                                 \
      m_value = Widen(value);                                    \
      return *this;                                              \
    }                                                            \
    /** The low bits of the 32-bit field. */                     \
    operator Type() const { return static_cast<Type>(m_value); } \
  };

// char is signed or unsigned depending on the platform; the 8-bit signed class sign-extends
// whatever the platform's char is.
#define KELO_WIDEN_S8(v) static_cast<int>(static_cast<signed char>(v))
#define KELO_WIDEN_U8(v) static_cast<int>(static_cast<unsigned char>(v))
#define KELO_WIDEN_S16(v) static_cast<int>(static_cast<short>(v))
#define KELO_WIDEN_U16(v) static_cast<int>(static_cast<unsigned short>(v))
#define KELO_WIDEN_32(v) static_cast<int>(v)

/// A signed 8-bit integer (a char, sign-extended whatever the platform's char is), written as 'I'.
KELO_DECLARE_NUM32(CKeloHesInt8, char, KELO_WIDEN_S8)
/// An unsigned 8-bit integer, zero-extended, written as 'I'.
KELO_DECLARE_NUM32(CKeloHesUInt8, unsigned char, KELO_WIDEN_U8)
/// A signed 16-bit integer, sign-extended, written as 'I'.
KELO_DECLARE_NUM32(CKeloHesInt16, short, KELO_WIDEN_S16)
/// An unsigned 16-bit integer, zero-extended, written as 'I'.
KELO_DECLARE_NUM32(CKeloHesUInt16, unsigned short, KELO_WIDEN_U16)
/// A signed 32-bit integer, written as 'I'.
KELO_DECLARE_NUM32(CKeloHesInt32, int, KELO_WIDEN_32)
/// An unsigned 32-bit integer, written as 'I' with the same 32 bits (0xFFFFFFFF as FF FF FF FF).
KELO_DECLARE_NUM32(CKeloHesUInt32, unsigned int, KELO_WIDEN_32)

/// The 64-bit group shares one 64-bit field and its writer and reader; the subclasses choose the
/// marker. CKeloHesNum64 itself cannot be written or read (KELO_E_NOT_SUPPORTED). Reading takes
/// all 9 bytes or none: KELO_E_EXHAUSTED with fewer left, KELO_E_FORMAT (bytes taken) for another
/// marker.
class KELO_API CKeloHesNum64 : public CKeloHesObject {
 public:
  /// Copies the value.
  CKeloHesNum64(const CKeloHesNum64& other) = default;
  /// Copies the value.
  CKeloHesNum64& operator=(const CKeloHesNum64& other) = default;
  ~CKeloHesNum64() override;

 protected:
  /// Holds the 64-bit field as given.
  explicit CKeloHesNum64(long long value) : m_value(value) {}
  /// The marker and the field, big-endian.
  int Serialize64(char marker, CKeloOutput& out) const;
  /// The marker and eight bytes into the field; the message of another marker names this one.
  int Deserialize64(char marker, CKeloInputParse& parse);

  /// The 64 bits of the value: an integer, the bits of a double, or a date.
  long long m_value;
};

/// A signed 64-bit integer, written as 'L'.
class KELO_API CKeloHesInt64 : public CKeloHesNum64 {
 public:
  /// Holds the value.
  CKeloHesInt64(long long value = 0) : CKeloHesNum64(value) {}
  /// Copies the value.
  CKeloHesInt64(const CKeloHesInt64& other) = default;
  ~CKeloHesInt64() override;
  /// Copies the value.
  CKeloHesInt64& operator=(const CKeloHesInt64& other) = default;
  /// Stores the value.
  CKeloHesInt64& operator=(long long value) {
    m_value = value;
    return *this;
  }
  /// The value.
  operator long long() const { return m_value; }

 protected:
  /// 'L' and the 64 bits.
  int Serialize(CKeloOutput& out) const override;
  /// 'L' and eight bytes.
  int Deserialize(CKeloInputParse& parse) override;
};

/// An unsigned 64-bit integer, written as 'L' with the same 64 bits.
class KELO_API CKeloHesUInt64 : public CKeloHesInt64 {
 public:
  /// Holds the value.
  CKeloHesUInt64(unsigned long long value = 0) : CKeloHesInt64(static_cast<long long>(value)) {}
  /// Copies the value.
  CKeloHesUInt64(const CKeloHesUInt64& other) = default;
  ~CKeloHesUInt64() override;
  /// Copies the value.
  CKeloHesUInt64& operator=(const CKeloHesUInt64& other) = default;
  /// Stores the value.
  CKeloHesUInt64& operator=(unsigned long long value) {
    m_value = static_cast<long long>(value);
    return *this;
  }
  /// The value.
  operator unsigned long long() const { return static_cast<unsigned long long>(m_value); }
};

/// An IEEE 754 double, written as 'D' and its 64 bits.
class KELO_API CKeloHesDouble : public CKeloHesNum64 {
 public:
  /// Holds the value.
  CKeloHesDouble(double value = 0.0);
  /// Copies the value.
  CKeloHesDouble(const CKeloHesDouble& other) = default;
  ~CKeloHesDouble() override;
  /// Copies the value.
  CKeloHesDouble& operator=(const CKeloHesDouble& other) = default;
  /// Stores the value.
  CKeloHesDouble& operator=(double value);
  /// The value.
  operator double() const;

 protected:
  /// 'D' and the 64 bits of the double.
  int Serialize(CKeloOutput& out) const override;
  /// 'D' and eight bytes.
  int Deserialize(CKeloInputParse& parse) override;
};

/// Milliseconds since 1970-01-01 00:00 UTC, carried and never interpreted; written as 'd'.
class KELO_API CKeloHesDate : public CKeloHesNum64 {
 public:
  /// Holds the milliseconds.
  CKeloHesDate(unsigned long long value = 0) : CKeloHesNum64(static_cast<long long>(value)) {}
  /// Copies the value.
  CKeloHesDate(const CKeloHesDate& other) = default;
  ~CKeloHesDate() override;
  /// Copies the value.
  CKeloHesDate& operator=(const CKeloHesDate& other) = default;
  /// Stores the milliseconds.
  CKeloHesDate& operator=(unsigned long long value) {
    m_value = static_cast<long long>(value);
    return *this;
  }
  /// The milliseconds.
  operator unsigned long long() const { return static_cast<unsigned long long>(m_value); }

 protected:
  /// 'd' and the 64-bit count.
  int Serialize(CKeloOutput& out) const override;
  /// 'd' and eight bytes.
  int Deserialize(CKeloInputParse& parse) override;
};

#undef KELO_DECLARE_NUM32
#undef KELO_WIDEN_S8
#undef KELO_WIDEN_U8
#undef KELO_WIDEN_S16
#undef KELO_WIDEN_U16
#undef KELO_WIDEN_32
