/// \file
/// The fifteen named single values of namespace VarantoTypes, each a value class written under
/// the type name "VarantoTypes.<class name>". Note the wire spellings CT_ConntectionQuality and
/// CT_CnrID (capital D), which are the protocol's own.
#pragma once

#include <kelohessian/hessian/export.h>
#include <kelohessian/types/value_class.h>

namespace VarantoTypes {

// A numeric domain type: stores the value given to its constructor or assignment, and never
// touches a null flag. The six code types store their constructor's argument as well.
#define KELO_DECLARE_NUMERIC_TYPE(Cls, Base, Type)         \
  class KELO_API Cls : public Base {                       \
   public:                                                 \
    /** The wire namespace, "VarantoTypes". */             \
    static const CKeloHesName mNamespace;                  \
    /** The wire class name, the C++ class name. */        \
    static const CKeloHesName mClassName;                  \
    /** The constant description of the class. */          \
    static const ::kelo::ClassInfo mClassInfo;             \
    /** Holds the value (0 by default). */                 \
    Cls(Type v = 0) { value = v; }                         \
    /** Copies the null flag and the value. */             \
    Cls(const Cls& other) = default;                       \
    /** Copies the null flag and the value. */             \
    Cls& operator=(const Cls& other) = default;            \
    /** Stores the value; the null flag stays. */          \
    Cls& operator=(Type v) {                               \
      value = v;                                           \
      return *this;                                        \
    }                                                      \
    ~Cls() override;                                       \
    const CKeloHesName& Namespace() const override;        \
    const CKeloHesName& ClassName() const override;        \
    const ::kelo::ClassInfo* Description() const override; \
                                                           \
   protected:                                              \
    int Serialize(CKeloOutput& out) const override;        \
    int Deserialize(CKeloInputParse& parse) override;      \
  };

/// The CNC identifier, a 32-bit number.
KELO_DECLARE_NUMERIC_TYPE(CT_CncId, CKeloInt32ValueClass, int)
/// The CNU identifier, a 32-bit number.
KELO_DECLARE_NUMERIC_TYPE(CT_CnuId, CKeloInt32ValueClass, int)
/// The CNR identifier, a 64-bit number ('L').
KELO_DECLARE_NUMERIC_TYPE(CT_CnrID, CKeloInt64ValueClass, long long)
/// A plain unsigned 16-bit number.
KELO_DECLARE_NUMERIC_TYPE(CT_Uint16, CKeloUInt16ValueClass, unsigned short)
/// A plain unsigned 32-bit number.
KELO_DECLARE_NUMERIC_TYPE(CT_Uint32, CKeloUInt32ValueClass, unsigned int)
/// The server's registration status code, 8 bits.
KELO_DECLARE_NUMERIC_TYPE(CT_RegistrationStatus, CKeloInt8ValueClass, char)
/// A network type (band) code, 8 bits.
KELO_DECLARE_NUMERIC_TYPE(CT_NetworkType, CKeloInt8ValueClass, char)
/// An encryption (cipher) code, 8 bits.
KELO_DECLARE_NUMERIC_TYPE(CT_Cipher, CKeloInt8ValueClass, char)
/// An access point's service type code, 8 bits.
KELO_DECLARE_NUMERIC_TYPE(CT_ApServiceType, CKeloInt8ValueClass, char)
/// A connection quality code, 8 bits (the class name's spelling is the protocol's).
KELO_DECLARE_NUMERIC_TYPE(CT_ConntectionQuality, CKeloInt8ValueClass, char)
/// An accessibility code, 16 bits.
KELO_DECLARE_NUMERIC_TYPE(CT_Accessibility, CKeloInt16ValueClass, short)
#undef KELO_DECLARE_NUMERIC_TYPE

// A byte-string domain type: starts as a null blob; set with Copy or SetExternal.
#define KELO_DECLARE_BINARY_TYPE_BEGIN(Cls)                \
  class KELO_API Cls : public CKeloBinaryValueClass {      \
   public:                                                 \
    /** The wire namespace, "VarantoTypes". */             \
    static const CKeloHesName mNamespace;                  \
    /** The wire class name, the C++ class name. */        \
    static const CKeloHesName mClassName;                  \
    /** The constant description of the class. */          \
    static const ::kelo::ClassInfo mClassInfo;             \
    Cls() {}                                               \
    /** Copies the null flag and the blob. */              \
    Cls(const Cls& other) = default;                       \
    /** Copies the null flag and the blob. */              \
    Cls& operator=(const Cls& other) = default;            \
    ~Cls() override;                                       \
    const CKeloHesName& Namespace() const override;        \
    const CKeloHesName& ClassName() const override;        \
    const ::kelo::ClassInfo* Description() const override; \
                                                           \
   protected:                                              \
    int Serialize(CKeloOutput& out) const override;        \
    int Deserialize(CKeloInputParse& parse) override;      \
                                                           \
   public:

/// A MAC address as bytes; nothing checks its length.
KELO_DECLARE_BINARY_TYPE_BEGIN(CT_MacAddr)
};

/// An SSID as bytes, passed through uninterpreted.
KELO_DECLARE_BINARY_TYPE_BEGIN(CT_SSID)
}
;

/// An IPv4 address as four bytes in network order (a.b.c.d is a, b, c, d); bytes beyond the
/// fourth are ignored.
KELO_DECLARE_BINARY_TYPE_BEGIN(CT_IPAddr)
/// The value whose four bytes in memory are the address bytes in order, on any host byte order
/// (the form an IPv4 socket address holds); 0 for fewer than 4 bytes.
int GetInNetworkOrder() const;
/// a * 2^24 + b * 2^16 + c * 2^8 + d; 0 for fewer than 4 bytes.
int GetInHostOrder() const;
}
;

/// A 32-bit mask held as 4 bytes, least significant first; a new mask is a null blob (no bits).
KELO_DECLARE_BINARY_TYPE_BEGIN(CT_MeasurementType)
/// Sets the given bits. KELO_E_NOT_SUPPORTED when the blob holds neither 0 nor 4 bytes,
/// KELO_E_NO_MEMORY when the new bytes cannot be allocated; the mask is unchanged in both cases.
int TurnBitsOn(unsigned int bits);
}
;

#undef KELO_DECLARE_BINARY_TYPE_BEGIN

}  // namespace VarantoTypes
