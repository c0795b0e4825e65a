// Name ordering and matching.
#include <kelohessian/hessian/name.h>

#include <string.h>

#include <kelohessian/hessian/detail/wire.h>

int CKeloHesName::Compare(const CKeloHesName& other) const {
  const unsigned int shorter = m_length < other.m_length ? m_length : other.m_length;
  for (unsigned int i = 0; i < shorter; ++i) {
    if (m_data[i] != other.m_data[i])
      return static_cast<signed char>(m_data[i]) - static_cast<signed char>(other.m_data[i]);
  }
  return static_cast<int>(m_length - other.m_length);
}

bool CKeloHesName::Equals(const char* bytes, unsigned int length) const {
  return length == m_length && kelo_detail::SameBytes(bytes, m_data, length);
}

bool kelo_detail::IsTypeName(const CKeloHesName& ns, const CKeloHesName& cls, const char* name,
                             unsigned int length) {
  if (ns.Length() == 0) return cls.Equals(name, length);
  if (length != ns.Length() + 1 + cls.Length()) return false;
  return ns.Equals(name, ns.Length()) && name[ns.Length()] == '.' &&
         cls.Equals(name + ns.Length() + 1, cls.Length());
}
