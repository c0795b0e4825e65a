/// \file
/// Names that reach the wire (namespaces, class names, member names) and the nodes of a
/// structure's member registry. A name is a view of constant characters: never copied, never
/// terminated, and every name the library uses points at constant data that lives for the run.
#pragma once

#include <kelohessian/hessian/export.h>

class CKeloHesObject;

/// A view of a name: pointer and length, not terminated, not owned. The characters must outlive
/// the name.
class KELO_API CKeloHesName {
 public:
  /// The empty name: null data, length 0.
  constexpr CKeloHesName() : m_data(nullptr), m_length(0) {}
  /// A view of length characters at data, which are not copied.
  constexpr CKeloHesName(const char* data, unsigned int length) : m_data(data), m_length(length) {}
  /// Another view of the same characters.
  constexpr CKeloHesName(const CKeloHesName& other) = default;
  /// Views the other's characters.
  CKeloHesName& operator=(const CKeloHesName& other) = default;

  /// Byte-wise ordering with characters taken as signed 8-bit values; a name sorts before every
  /// longer name that starts with it.
  int Compare(const CKeloHesName& other) const;

  /// The first character; null for a default-constructed name.
  constexpr const char* Data() const { return m_data; }
  /// The number of characters.
  constexpr unsigned int Length() const { return m_length; }
  /// True when the name is exactly the given bytes (the registry's lookup rule).
  bool Equals(const char* bytes, unsigned int length) const;

 private:
  const char* m_data;
  unsigned int m_length;
};

/// One node of a member registry: a member's name constant and the member object embedded in the
/// structure. The node owns neither; the structure that registered it owns the node.
class KELO_API CKeloMemberData {
 public:
  /// A node for the name and the member, not linked to any other.
  CKeloMemberData(const CKeloHesName* name, CKeloHesObject* object)
      : m_name(name), m_object(object), m_next(nullptr) {}
  /// Copies the three pointers.
  CKeloMemberData(const CKeloMemberData& other) = default;
  /// Copies the three pointers.
  CKeloMemberData& operator=(const CKeloMemberData& other) = default;

  const CKeloHesName* m_name;  ///< the wire member name
  CKeloHesObject* m_object;    ///< the member inside the structure
  CKeloMemberData* m_next;     ///< the next member in wire order; null after the last
};
