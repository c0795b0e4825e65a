// Value classes: one-member structures that carry a single scalar or blob under the member name
// "value", always written as the full map
//   'M' 't' <len> <type name> 'S' 00 05 "value" <value> 'z'
// and read with a fixed 8-byte member header. The member registry is never used.
#pragma once

#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/hes_class.h>
#include <kelohessian/hessian/string.h>

namespace kelo {
struct ClassInfo;
}

namespace VarantoTypes {

class KELO_API CKeloValueClass : public CKeloHesClass {
 public:
  CKeloValueClass(const CKeloValueClass& other) = default;
  CKeloValueClass& operator=(const CKeloValueClass& other) = default;
  ~CKeloValueClass() override;

 protected:
  CKeloValueClass() {}
  // Written as a full map whatever the null flag says; a failure is returned at once and what was
  // written stays in the output.
  int Serialize(CKeloOutput& out) const override;
  // The untyped base has no value to write: KELO_E_NOT_SUPPORTED.
  int SerializeMembers(CKeloOutput& out) const override;
  // Reads 'N' (the value keeps its contents) or the map with exactly the one "value" member,
  // decoded into the given object.
  int DeserializeValue(CKeloHesObject& value, CKeloInputParse& parse);
  // Writes 'S' 00 05 "value" and the value object.
  int SerializeValue(const CKeloHesObject& value, CKeloOutput& out) const;
  // Serialize with the type header ('M' 't' <length> <type name>) given whole: what the domain
  // types do with the header of their constant class description.
  int SerializeWithHeader(const char* header, unsigned int length, CKeloOutput& out) const;
};

// The typed wrappers: each embeds one value object in the field `value`.
#define KELO_DECLARE_VALUE_CLASS(Cls, Object, Type)        \
  class KELO_API Cls : public CKeloValueClass {            \
   public:                                                 \
    typedef Object ValueObject;                            \
    Cls(const Cls& other) = default;                       \
    Cls& operator=(const Cls& other) = default;            \
    ~Cls() override;                                       \
    operator Type() const { return value; }                \
    int Deserialize(CKeloInputParse& parse) override;      \
    const Object& Value() const { return value; }          \
    Object& Value() { return value; }                      \
                                                           \
   protected:                                              \
    Cls() {}                                               \
    int SerializeMembers(CKeloOutput& out) const override; \
    Object value;                                          \
  };

KELO_DECLARE_VALUE_CLASS(CKeloInt8ValueClass, CKeloHesInt8, char)
KELO_DECLARE_VALUE_CLASS(CKeloInt16ValueClass, CKeloHesInt16, short)
KELO_DECLARE_VALUE_CLASS(CKeloUInt16ValueClass, CKeloHesUInt16, unsigned short)
KELO_DECLARE_VALUE_CLASS(CKeloInt32ValueClass, CKeloHesInt32, int)
KELO_DECLARE_VALUE_CLASS(CKeloUInt32ValueClass, CKeloHesUInt32, unsigned int)
KELO_DECLARE_VALUE_CLASS(CKeloInt64ValueClass, CKeloHesInt64, long long)
#undef KELO_DECLARE_VALUE_CLASS

class KELO_API CKeloBinaryValueClass : public CKeloValueClass {
 public:
  typedef CKeloHesBinary ValueObject;
  CKeloBinaryValueClass(const CKeloBinaryValueClass& other) = default;
  CKeloBinaryValueClass& operator=(const CKeloBinaryValueClass& other) = default;
  ~CKeloBinaryValueClass() override;

  // The blob's bytes (null when there are none) and their count.
  unsigned int Data(const char*& bytes) const { return value.Data(bytes); }
  // The blob owns a copy afterwards; a null pointer makes it null. KELO_E_NO_MEMORY leaves it
  // unchanged.
  int Copy(const char* bytes, unsigned int count) { return value.Copy(bytes, count); }
  // Points the blob at the caller's bytes without copying; null when the pointer is null.
  void SetExternal(const char* bytes, unsigned int count) { value.SetExternal(bytes, count); }
  int Deserialize(CKeloInputParse& parse) override;
  const CKeloHesBinary& Value() const { return value; }
  CKeloHesBinary& Value() { return value; }

 protected:
  CKeloBinaryValueClass() {}
  int SerializeMembers(CKeloOutput& out) const override;
  CKeloHesBinary value;
};

}  // namespace VarantoTypes
