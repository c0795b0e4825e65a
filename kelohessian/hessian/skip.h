// Reading past values that a reader does not know: the skipping routine behind
// CKeloHesSkipObject::Deserialize, and the skip structure and skip list it uses for maps and
// lists. Any marker other than T F N I L D d S s B b M V is refused.
#pragma once

#include <kelohessian/hessian/array.h>
#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/hes_class.h>

// Maps and lists nested inside a skipped value may go this deep; one level more fails with
// KELO_E_NOT_SUPPORTED and "Cannot skip a value nested deeper than 64 levels", never by exhausting
// the stack. 64 levels is far beyond any message of the protocols and keeps the stack use small.
enum { KELO_MAX_SKIP_DEPTH = 64 };

// Absorbs exactly one value of any type. It cannot be written, and it is never null.
class KELO_API CKeloHesSkipObject : public CKeloHesObject {
 public:
  // Both empty: the item identity of a list of skip objects.
  static const CKeloHesName mNamespace;
  static const CKeloHesName mClassName;

  CKeloHesSkipObject() {}
  CKeloHesSkipObject(const CKeloHesSkipObject& other) = default;
  CKeloHesSkipObject& operator=(const CKeloHesSkipObject& other) = default;
  ~CKeloHesSkipObject() override;

  // Reads past one value; 0 or the code of the value's own reader.
  static int Skip(CKeloInputParse& parse);

 protected:
  int Deserialize(CKeloInputParse& parse) override;
};

// A structure that accepts any type name and registers no members, so every member inside it is
// skipped in turn.
class KELO_API CKeloHesSkipClass : public CKeloHesClass {
 public:
  static const CKeloHesName mEmptyName;

  CKeloHesSkipClass();
  CKeloHesSkipClass(const CKeloHesSkipClass& other) = default;
  CKeloHesSkipClass& operator=(const CKeloHesSkipClass& other) = default;
  ~CKeloHesSkipClass() override;

  const CKeloHesName& Namespace() const override;
  const CKeloHesName& ClassName() const override;

 protected:
  int HashMembers() override;
};

KELO_DECLARE_ARRAY(CKeloHesSkipObject)

// A list that accepts any item type and holds one skip object per item.
class KELO_API CKeloHesSkipArray : public CKeloHesArray<CKeloHesSkipObject> {
 public:
  CKeloHesSkipArray();
  ~CKeloHesSkipArray() override;
};
