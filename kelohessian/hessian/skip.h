/// \file
/// Reading past values that a reader does not know: the skipping routine behind
/// CKeloHesSkipObject::Deserialize, and the skip structure and skip list it uses for maps and
/// lists. Any marker other than T F N I L D d S s B b M V is refused.
#pragma once

#include <kelohessian/hessian/array.h>
#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/hes_class.h>

/// Maps and lists nested inside a skipped value may go this deep; one level more fails with
/// KELO_E_NOT_SUPPORTED and "Cannot skip a value nested deeper than 64 levels", never by exhausting
/// the stack. 64 levels is far beyond any message of the protocols and keeps the stack use small.
enum { KELO_MAX_SKIP_DEPTH = 64 };

/// Absorbs exactly one value of any type. It cannot be written, and it is never null.
class KELO_API CKeloHesSkipObject : public CKeloHesObject {
 public:
  /// Both empty: the item identity of a list of skip objects.
  static const CKeloHesName mNamespace;
  /// Empty, like mNamespace.
  static const CKeloHesName mClassName;

  CKeloHesSkipObject() {}
  /// Copies the null flag.
  CKeloHesSkipObject(const CKeloHesSkipObject& other) = default;
  /// Copies the null flag.
  CKeloHesSkipObject& operator=(const CKeloHesSkipObject& other) = default;
  ~CKeloHesSkipObject() override;

  /// Reads past one value: scalars by their fixed sizes, strings and blobs by decoding them into a
  /// temporary, maps and lists through a temporary skip structure or skip list. 0, or the code of
  /// the value's own reader; KELO_E_FORMAT for an unknown marker, KELO_E_NO_MEMORY when a
  /// temporary cannot be allocated. A 4- or 8-byte value cut short fails with KELO_E_EXHAUSTED and
  /// adds no text. Nothing is kept.
  static int Skip(CKeloInputParse& parse);

 protected:
  /// Skip.
  int Deserialize(CKeloInputParse& parse) override;
};

/// A structure that accepts any type name and registers no members, so every member inside it is
/// skipped in turn.
class KELO_API CKeloHesSkipClass : public CKeloHesClass {
 public:
  /// The empty name that Namespace and ClassName return.
  static const CKeloHesName mEmptyName;

  /// With the class-name check off.
  CKeloHesSkipClass();
  /// As CKeloHesClass copies.
  CKeloHesSkipClass(const CKeloHesSkipClass& other) = default;
  /// As CKeloHesClass assigns.
  CKeloHesSkipClass& operator=(const CKeloHesSkipClass& other) = default;
  ~CKeloHesSkipClass() override;

  const CKeloHesName& Namespace() const override;
  const CKeloHesName& ClassName() const override;

 protected:
  /// Registers nothing; 0.
  int HashMembers() override;
};

KELO_DECLARE_ARRAY(CKeloHesSkipObject)

/// A list that accepts any item type and holds one skip object per item.
class KELO_API CKeloHesSkipArray : public CKeloHesArray<CKeloHesSkipObject> {
 public:
  /// With the item type check off (the type must still start with '[').
  CKeloHesSkipArray();
  ~CKeloHesSkipArray() override;
};
