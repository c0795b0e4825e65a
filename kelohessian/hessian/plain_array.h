/// \file
/// Lists of strings, booleans, 32-bit integers, 64-bit integers and doubles: CKeloHesArray of
/// CKeloHesString, CKeloHesBool, CKeloHesInt32, CKeloHesInt64 or CKeloHesDouble. They are written
/// as Java writes its arrays, with the type names Java gives them,
///
///     'V' 't' 00 07 "[string" 'l' <signed 4-byte count> items 'z'    ("[boolean", "[int", "[long",
///                                                                    "[double")
///
/// or 'N' for a null list; items are 'S' (or 'N'), 'T'/'F', 'I', 'L' and 'D' values. Reading takes
/// any list whose items are of the list's kind: typed or untyped, with or without the 'l' count,
/// under any type name ("[string", "java.util.ArrayList", ...), so Java's arrays and its
/// java.util.Lists of boxed values read alike.
#pragma once

#include <memory>
#include <new>
#include <type_traits>

#include <kelohessian/hessian/array.h>
#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/object.h>
#include <kelohessian/hessian/string.h>

/// The list behind the CKeloHesArray of strings, booleans and numbers: items are heap objects of
/// the classic value class, owned by the list as in every typed list (CKeloHesArrayBase), whose
/// writer it shares. A new list is not null and empty; lists cannot be copied.
///
/// Items: a string item may be null (Java's String[] may hold null; written and read as 'N'); a
/// boolean or number item never is, and an 'N' item of such a list is KELO_E_FORMAT, since a Java
/// int[] cannot hold one (a List<Integer> that holds null is refused).
///
/// Reading first destroys the items held; any failure leaves the list empty. It reads 'N' (null),
/// or 'V' with or without 't' and a type name (any type name, since the items say what they are)
/// and with or without 'l' and a count: with a count, exactly that many items and the 'z'; without
/// one, items up to the 'z'. A negative count is KELO_E_NOT_SUPPORTED, an item of another kind
/// KELO_E_FORMAT with the item reader's text, an 'R' (a list Java shares between two members) or
/// any other value where the list should be KELO_E_FORMAT, input that ends KELO_E_EXHAUSTED.
///
/// Hostile input: the count is never used to allocate; items are created one by one as the input
/// pays for them (at least one byte each: 'T', 'F' or 'N').
class KELO_API CKeloHesPlainArrayBase : public CKeloHesArrayBase {
 public:
  /// What the items are.
  enum ItemKind { kString, kBool, kInt32, kInt64, kDouble };

  ~CKeloHesPlainArrayBase() override;
  int Deserialize(CKeloInputParse& parse) override;

  /// The item kind, fixed at construction.
  ItemKind Kind() const { return m_itemKind; }
  /// The item at index as the value object it is (CKeloHesString, ... by Kind()); null outside 0
  /// to Count() - 1.
  CKeloHesObject* ItemAt(int index) { return GetAt(index); }
  /// The item at index; null outside 0 to Count() - 1.
  const CKeloHesObject* ItemAt(int index) const { return GetAt(index); }
  /// Appends a default item (a null string, false, 0) and returns it, owned by the list; null when
  /// memory runs out, with the list unchanged.
  CKeloHesObject* AppendItem();

 protected:
  /// An empty list of items of the given kind.
  explicit CKeloHesPlainArrayBase(ItemKind kind);
  /// Empty: the type name is "[" and the item name.
  const CKeloHesName& ItemNamespace() const override;
  /// "string", "boolean", "int", "long" or "double".
  const CKeloHesName& ItemClassName() const override;
  /// A new default item of the list's kind; KELO_E_NO_MEMORY, with item null, when it cannot be
  /// allocated.
  int CreateItem(CKeloHesObject*& item) override;

 private:
  ItemKind m_itemKind;
};

namespace kelo {

/// @cond KELO_INTERNAL
/// The item kind and C++ value of each item class a plain list holds.
template <class T>
struct PlainItem;
template <>
struct PlainItem<CKeloHesString> {
  static constexpr CKeloHesPlainArrayBase::ItemKind kind = CKeloHesPlainArrayBase::kString;
};
template <>
struct PlainItem<CKeloHesBool> {
  static constexpr CKeloHesPlainArrayBase::ItemKind kind = CKeloHesPlainArrayBase::kBool;
  typedef bool Value;
};
template <>
struct PlainItem<CKeloHesInt32> {
  static constexpr CKeloHesPlainArrayBase::ItemKind kind = CKeloHesPlainArrayBase::kInt32;
  typedef int Value;
};
template <>
struct PlainItem<CKeloHesInt64> {
  static constexpr CKeloHesPlainArrayBase::ItemKind kind = CKeloHesPlainArrayBase::kInt64;
  typedef long long Value;
};
template <>
struct PlainItem<CKeloHesDouble> {
  static constexpr CKeloHesPlainArrayBase::ItemKind kind = CKeloHesPlainArrayBase::kDouble;
  typedef double Value;
};
/// @endcond

/// The typed face of a plain list of items of class T: Count, GetAt, Emplace, Add and range-for,
/// as on a list of message classes. There is no Add(T&): an item is appended by value, handed over
/// as a unique_ptr, or made with Emplace.
template <class T>
class PlainArray : public CKeloHesPlainArrayBase {
 public:
  PlainArray() : CKeloHesPlainArrayBase(PlainItem<T>::kind) {}
  ~PlainArray() override {}

  /// Appends a default item (a null string, false, 0) and returns it, owned by the list; null when
  /// memory runs out, with the list unchanged.
  T* Emplace() { return static_cast<T*>(AppendItem()); }
  /// Takes the item over: on success the list owns it; on failure (KELO_E_NO_MEMORY, or
  /// KELO_E_INVALID_STATE for a null pointer) the item is destroyed and the list is unchanged.
  int Add(std::unique_ptr<T> item) {
    if (!item) return KELO_E_INVALID_STATE;
    const int rc = CKeloHesArrayBase::Add(*item);
    if (rc == KELO_OK) item.release();
    return rc;
  }
  /// Appends a number or boolean: 0, or KELO_E_NO_MEMORY with the list unchanged.
  template <class U = T>
  int Add(typename PlainItem<U>::Value value) {
    T* item = Emplace();
    if (!item) return KELO_E_NO_MEMORY;
    *item = value;
    return KELO_OK;
  }
  /// Appends a copy of a string, null or not: 0, or KELO_E_NO_MEMORY with the list unchanged.
  template <class U = T,
            class = typename std::enable_if<std::is_same<U, CKeloHesString>::value>::type>
  int Add(const CKeloHesString& text) {
    std::unique_ptr<CKeloHesString> item(new (std::nothrow) CKeloHesString());
    if (!item) return KELO_E_NO_MEMORY;
    if (!text.IsNull()) {
      static const short kNone = 0;  // an empty text is not null: never copy from null
      const short* units = nullptr;
      const unsigned int length = text.Data(units);
      if (int rc = item->Copy(units ? units : &kNone, length); rc != 0) return rc;
    }
    return Add(std::move(item));
  }

  ///@{
  /// The item at index, owned by the list; null outside 0 to Count() - 1.
  T* GetAt(int index) { return static_cast<T*>(ItemAt(index)); }
  const T* GetAt(int index) const { return static_cast<const T*>(ItemAt(index)); }
  ///@}

  /// Range-for over the items, in order: for (const CKeloHesInt32& n : list).
  ///@{
  /// The items in order, as T& (const T& through a const list).
  using iterator = Iterator<T>;
  using const_iterator = Iterator<const T>;
  iterator begin() { return iterator(Items()); }
  iterator end() { return iterator(Items() + Count()); }
  const_iterator begin() const { return const_iterator(Items()); }
  const_iterator end() const { return const_iterator(Items() + Count()); }
  ///@}
};

}  // namespace kelo

/// A list of strings, written as Java writes a String[]: 'V' 't' "[string" 'l' count, 'S' or 'N'
/// items, 'z'.
template <>
class CKeloHesArray<CKeloHesString> : public kelo::PlainArray<CKeloHesString> {};
/// A list of booleans, written as Java writes a boolean[] ("[boolean", 'T' and 'F' items).
template <>
class CKeloHesArray<CKeloHesBool> : public kelo::PlainArray<CKeloHesBool> {};
/// A list of 32-bit integers, written as Java writes an int[] ("[int", 'I' items).
template <>
class CKeloHesArray<CKeloHesInt32> : public kelo::PlainArray<CKeloHesInt32> {};
/// A list of 64-bit integers, written as Java writes a long[] ("[long", 'L' items).
template <>
class CKeloHesArray<CKeloHesInt64> : public kelo::PlainArray<CKeloHesInt64> {};
/// A list of doubles, written as Java writes a double[] ("[double", 'D' items).
template <>
class CKeloHesArray<CKeloHesDouble> : public kelo::PlainArray<CKeloHesDouble> {};
