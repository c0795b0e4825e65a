// Names that reach the wire (namespaces, class names, member names) and the nodes of a
// structure's member registry. A name is a view of constant characters: never copied, never
// terminated, and every name the library uses points at constant data that lives for the run.
#pragma once

#include <kelohessian/hessian/export.h>

class CKeloHesObject;

class KELO_API CKeloHesName {
 public:
  constexpr CKeloHesName() : m_data(nullptr), m_length(0) {}
  constexpr CKeloHesName(const char* data, unsigned int length) : m_data(data), m_length(length) {}
  constexpr CKeloHesName(const CKeloHesName& other) = default;
  CKeloHesName& operator=(const CKeloHesName& other) = default;

  // Byte-wise ordering with characters taken as signed 8-bit values; a name sorts before every
  // longer name that starts with it.
  int Compare(const CKeloHesName& other) const;

  constexpr const char* Data() const { return m_data; }
  constexpr unsigned int Length() const { return m_length; }
  // True when the name is exactly the given bytes (the registry's lookup rule).
  bool Equals(const char* bytes, unsigned int length) const;

 private:
  const char* m_data;
  unsigned int m_length;
};

// One node of a member registry: a member's name constant and the member object embedded in the
// structure. The node owns neither.
class KELO_API CKeloMemberData {
 public:
  CKeloMemberData(const CKeloHesName* name, CKeloHesObject* object)
      : m_name(name), m_object(object), m_next(nullptr) {}
  CKeloMemberData(const CKeloMemberData& other) = default;
  CKeloMemberData& operator=(const CKeloMemberData& other) = default;

  const CKeloHesName* m_name;
  CKeloHesObject* m_object;
  CKeloMemberData* m_next;
};
