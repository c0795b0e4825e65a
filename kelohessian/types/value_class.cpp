// Value classes: the full one-member map under "value", written without the member registry and
// read with a fixed 8-byte member header: one row of the engine that reads every structure.
#include <kelohessian/types/value_class.h>

#include <kelohessian/hessian/detail/map_engine.h>

using kelo_detail::MapEngine;

namespace VarantoTypes {

namespace {
// 'S', the 2-byte length 5 and "value": the only member a value class carries.
const char kValueHeader[8] = {'S', 0x00, 0x05, 'v', 'a', 'l', 'u', 'e'};
}  // namespace

CKeloValueClass::~CKeloValueClass() {}

int CKeloValueClass::Serialize(CKeloOutput& out) const {
  if (int rc = StartSerialize(out); rc != 0) return rc;
  if (int rc = SerializeMembers(out); rc != 0) return rc;
  return out.Append('z');
}

int CKeloValueClass::SerializeWithHeader(const char* header, unsigned int length,
                                         CKeloOutput& out) const {
  if (int rc = out.Append(header, length); rc != 0) return rc;
  kelo_detail::Numbering::Opened(out);
  if (int rc = SerializeMembers(out); rc != 0) return rc;
  return out.Append('z');
}

int CKeloValueClass::SerializeMembers(CKeloOutput&) const {
  return KELO_E_NOT_SUPPORTED;
}

int CKeloValueClass::SerializeValue(const CKeloHesObject& value, CKeloOutput& out) const {
  if (int rc = out.Append(kValueHeader, sizeof kValueHeader); rc != 0) return rc;
  return value.Serialize(out);
}

int CKeloValueClass::DeserializeValue(CKeloHesObject& value, CKeloInputParse& parse) {
  return DeserializeValue(value, parse, nullptr, 0);
}

int CKeloValueClass::DeserializeValue(CKeloHesObject& value, CKeloInputParse& parse,
                                      const char* typeName, unsigned int length) {
  if (int rc = MapEngine::Open(*this, parse, typeName, length); rc != 0) return rc;
  if (IsNull()) return KELO_OK;
  return MapEngine::ReadFixed(*this, parse, kValueHeader, sizeof kValueHeader, value);
}

#define KELO_DEFINE_VALUE_CLASS(Cls)                  \
  Cls::~Cls() {}                                      \
  int Cls::Deserialize(CKeloInputParse& parse) {      \
    return DeserializeValue(value, parse);            \
  }                                                   \
  int Cls::SerializeMembers(CKeloOutput& out) const { \
    return SerializeValue(value, out);                \
  }

KELO_DEFINE_VALUE_CLASS(CKeloInt8ValueClass)
KELO_DEFINE_VALUE_CLASS(CKeloInt16ValueClass)
KELO_DEFINE_VALUE_CLASS(CKeloUInt16ValueClass)
KELO_DEFINE_VALUE_CLASS(CKeloInt32ValueClass)
KELO_DEFINE_VALUE_CLASS(CKeloUInt32ValueClass)
KELO_DEFINE_VALUE_CLASS(CKeloInt64ValueClass)
KELO_DEFINE_VALUE_CLASS(CKeloBinaryValueClass)
#undef KELO_DEFINE_VALUE_CLASS

}  // namespace VarantoTypes
