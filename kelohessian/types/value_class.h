/// \file
/// Value classes: one-member structures that carry a single scalar or blob under the member name
/// "value". They are always written as the full map
///
///     'M' 't' <len> <type name> 'S' 00 05 "value" <value> 'z'
///
/// and read with a fixed 8-byte member header. The member registry is never used.
#pragma once

#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/hes_class.h>
#include <kelohessian/hessian/string.h>

namespace kelo {
struct ClassInfo;
}

namespace VarantoTypes {

/// The base of the value classes. It has no wire identity of its own: the domain types
/// (domain_types.h) supply Namespace and ClassName. A value class is written as the full map even
/// when its null flag is set, and reads 'N' by setting the flag and leaving its value alone. A map
/// with any member other than exactly "value" under 'S' fails with KELO_E_FORMAT (KELO_E_EXHAUSTED
/// when the input ends first).
class KELO_API CKeloValueClass : public CKeloHesClass {
 public:
  /// Copies the structure part (null flag, class-name check).
  CKeloValueClass(const CKeloValueClass& other) = default;
  /// Copies the structure part (null flag, class-name check).
  CKeloValueClass& operator=(const CKeloValueClass& other) = default;
  ~CKeloValueClass() override;

 protected:
  CKeloValueClass() {}
  /// Written as a full map whatever the null flag says; a failure is returned at once and what was
  /// written stays in the output.
  int Serialize(CKeloOutput& out) const override;
  /// The untyped base has no value to write: KELO_E_NOT_SUPPORTED.
  int SerializeMembers(CKeloOutput& out) const override;
  /// Reads 'N' (the value keeps its contents) or the map with exactly the one "value" member,
  /// decoded into the given object.
  int DeserializeValue(CKeloHesObject& value, CKeloInputParse& parse);
  /// The same, for a class whose wire type name is typeName (length bytes): a received name equal
  /// to it is accepted without asking Namespace and ClassName.
  int DeserializeValue(CKeloHesObject& value, CKeloInputParse& parse, const char* typeName,
                       unsigned int length);
  /// Writes 'S' 00 05 "value" and the value object.
  int SerializeValue(const CKeloHesObject& value, CKeloOutput& out) const;
  /// Serialize with the type header ('M', 't', the 2-byte length, the type name) given whole: what
  /// the domain types do with the header of their constant class description.
  int SerializeWithHeader(const char* header, unsigned int length, CKeloOutput& out) const;
};

// The typed wrappers: each embeds one value object in the field `value`.
#define KELO_DECLARE_VALUE_CLASS(Cls, Object, Type)        \
  class KELO_API Cls : public CKeloValueClass {            \
   public:                                                 \
    /** The class of the value it carries. */              \
    typedef Object ValueObject;                            \
    /** Copies the null flag and the value. */             \
    Cls(const Cls& other) = default;                       \
    /** Copies the null flag and the value. */             \
    Cls& operator=(const Cls& other) = default;            \
    ~Cls() override;                                       \
    /** The value, whatever the null flag says. */         \
    operator Type() const { return value; }                \
    int Deserialize(CKeloInputParse& parse) override;      \
    /** The value object. */                               \
    const Object& Value() const { return value; }          \
    /** The value object. */                               \
    Object& Value() { return value; }                      \
                                                           \
   protected:                                              \
    Cls() {}                                               \
    int SerializeMembers(CKeloOutput& out) const override; \
    /** The value, written as the member "value". */       \
    Object value;                                          \
  };

/// The value class of an 8-bit code, carried as a CKeloHesInt8.
KELO_DECLARE_VALUE_CLASS(CKeloInt8ValueClass, CKeloHesInt8, char)
/// The value class of a signed 16-bit number, carried as a CKeloHesInt16.
KELO_DECLARE_VALUE_CLASS(CKeloInt16ValueClass, CKeloHesInt16, short)
/// The value class of an unsigned 16-bit number, carried as a CKeloHesUInt16.
KELO_DECLARE_VALUE_CLASS(CKeloUInt16ValueClass, CKeloHesUInt16, unsigned short)
/// The value class of a signed 32-bit number, carried as a CKeloHesInt32.
KELO_DECLARE_VALUE_CLASS(CKeloInt32ValueClass, CKeloHesInt32, int)
/// The value class of an unsigned 32-bit number, carried as a CKeloHesUInt32.
KELO_DECLARE_VALUE_CLASS(CKeloUInt32ValueClass, CKeloHesUInt32, unsigned int)
/// The value class of a signed 64-bit number, carried as a CKeloHesInt64 ('L').
KELO_DECLARE_VALUE_CLASS(CKeloInt64ValueClass, CKeloHesInt64, long long)
#undef KELO_DECLARE_VALUE_CLASS

/// The value class of a byte string, carried as a CKeloHesBinary: null until set, and then written
/// with its 'N' as the value ('M' ... "value" 'N' 'z').
class KELO_API CKeloBinaryValueClass : public CKeloValueClass {
 public:
  /// The class of the value it carries.
  typedef CKeloHesBinary ValueObject;
  /// Copies the null flag and the blob (CKeloHesString's ownership rules).
  CKeloBinaryValueClass(const CKeloBinaryValueClass& other) = default;
  /// Copies the null flag and the blob (CKeloHesString's ownership rules).
  CKeloBinaryValueClass& operator=(const CKeloBinaryValueClass& other) = default;
  ~CKeloBinaryValueClass() override;

  /// The blob's bytes (null when there are none) and their count.
  unsigned int Data(const char*& bytes) const { return value.Data(bytes); }
  /// The blob owns a copy afterwards; a null pointer makes it null. KELO_E_NO_MEMORY leaves it
  /// unchanged.
  int Copy(const char* bytes, unsigned int count) { return value.Copy(bytes, count); }
  /// Points the blob at the caller's bytes without copying; null when the pointer is null.
  void SetExternal(const char* bytes, unsigned int count) { value.SetExternal(bytes, count); }
  int Deserialize(CKeloInputParse& parse) override;
  /// The blob.
  const CKeloHesBinary& Value() const { return value; }
  /// The blob.
  CKeloHesBinary& Value() { return value; }

 protected:
  CKeloBinaryValueClass() {}
  int SerializeMembers(CKeloOutput& out) const override;
  /// The blob, written as the member "value".
  CKeloHesBinary value;
};

}  // namespace VarantoTypes
