// The root object and the scalar encodings: 'T'/'F', 'I' + 4 bytes, and 'L'/'D'/'d' + 8 bytes,
// all big-endian.
#include <kelohessian/hessian/object.h>

#include <string.h>

#include <kelohessian/hessian/detail/output_access.h>
#include <kelohessian/hessian/detail/wire.h>

using kelo_detail::Fail;

CKeloHesObject::~CKeloHesObject() {}
int CKeloHesObject::Serialize(CKeloOutput&) const {
  return KELO_E_NOT_SUPPORTED;
}
int CKeloHesObject::Deserialize(CKeloInputParse&) {
  return KELO_E_NOT_SUPPORTED;
}
int CKeloHesObject::SetNull(bool) {
  return KELO_E_NOT_SUPPORTED;
}

CKeloHesBool::~CKeloHesBool() {}

int CKeloHesBool::Serialize(CKeloOutput& out) const {
  return kelo_detail::OutputAccess::Put(out, m_value ? 'T' : 'F');
}

int CKeloHesBool::Deserialize(CKeloInputParse& parse) {
  const char* p;
  if (parse.Input().Extract(p, 1) != 0) return Fail(parse, kelo_detail::kFailBoolMissing);
  if (*p == 'T' || *p == 'F') {
    m_value = *p == 'T';
    return KELO_OK;
  }
  return Fail(parse, kelo_detail::kFailBoolMarker);
}

CKeloHesNum32::~CKeloHesNum32() {}

int CKeloHesNum32::Serialize(CKeloOutput& out) const {
  char bytes[kelo::wire::kMaxPut];
  return kelo_detail::OutputAccess::Put(out, bytes, kelo::wire::PutInt(bytes, m_value));
}

int CKeloHesNum32::Deserialize(CKeloInputParse& parse) {
  const char* p;
  if (parse.Input().Extract(p, 5) != 0) return Fail(parse, kelo_detail::kFailIntMissing);
  if (p[0] != 'I') return Fail(parse, kelo_detail::kFailIntMarker);
  m_value = static_cast<int>(kelo_detail::ReadU32(p + 1));
  return KELO_OK;
}

CKeloHesInt8::~CKeloHesInt8() {}
CKeloHesUInt8::~CKeloHesUInt8() {}
CKeloHesInt16::~CKeloHesInt16() {}
CKeloHesUInt16::~CKeloHesUInt16() {}
CKeloHesInt32::~CKeloHesInt32() {}
CKeloHesUInt32::~CKeloHesUInt32() {}

CKeloHesNum64::~CKeloHesNum64() {}

int CKeloHesNum64::Serialize64(char marker, CKeloOutput& out) const {
  char bytes[kelo::wire::kMaxPut];
  return kelo_detail::OutputAccess::Put(out, bytes, kelo::wire::Put64(bytes, marker, m_value));
}

int CKeloHesNum64::Deserialize64(char marker, CKeloInputParse& parse) {
  const char* p;
  if (parse.Input().Extract(p, 9) != 0) return Fail(parse, kelo_detail::kFailInt64Missing);
  if (p[0] != marker) {
    kelo_detail::Add(parse, kelo_detail::kFailInt64MarkerOpen);
    kelo_detail::AddBytes(parse, &marker, 1);
    return Fail(parse, kelo_detail::kFailInt64MarkerClose);
  }
  m_value = static_cast<long long>(kelo_detail::ReadU64(p + 1));
  return KELO_OK;
}

CKeloHesInt64::~CKeloHesInt64() {}
int CKeloHesInt64::Serialize(CKeloOutput& out) const {
  return Serialize64('L', out);
}
int CKeloHesInt64::Deserialize(CKeloInputParse& parse) {
  return Deserialize64('L', parse);
}

CKeloHesUInt64::~CKeloHesUInt64() {}

// The double's IEEE 754 bits live in the 64-bit field.
static long long DoubleBits(double value) {
  long long bits;
  memcpy(&bits, &value, sizeof bits);
  return bits;
}

CKeloHesDouble::CKeloHesDouble(double value) : CKeloHesNum64(DoubleBits(value)) {}
CKeloHesDouble::~CKeloHesDouble() {}
CKeloHesDouble& CKeloHesDouble::operator=(double value) {
  m_value = DoubleBits(value);
  return *this;
}
CKeloHesDouble::operator double() const {
  double value;
  memcpy(&value, &m_value, sizeof value);
  return value;
}
int CKeloHesDouble::Serialize(CKeloOutput& out) const {
  return Serialize64('D', out);
}
int CKeloHesDouble::Deserialize(CKeloInputParse& parse) {
  return Deserialize64('D', parse);
}

CKeloHesDate::~CKeloHesDate() {}
int CKeloHesDate::Serialize(CKeloOutput& out) const {
  return Serialize64('d', out);
}
int CKeloHesDate::Deserialize(CKeloInputParse& parse) {
  return Deserialize64('d', parse);
}
