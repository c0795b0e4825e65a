/// \file
/// Typed lists: an owning, growable sequence of heap items of one structure class. A list is
/// written as
///
///     'V' 't' <2-byte length> '[' <item namespace '.' item class> 'l' <signed 4-byte count>
///     items 'z'
///
/// or 'N' for a null list.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>

#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/hes_class.h>

/// \class CKeloHesArray
/// A typed list of items of the message class T: Count, GetAt, Add, Emplace and range-for, on the
/// base below. The library exports the lists of its own item classes; a list of a class of a
/// program's own is instantiated where it is used.

/// The typed list behind every CKeloHesArray<T>. A new list is not null and empty.
///
/// The list owns its items (created while decoding, or handed over with Add) and the pointer
/// array, and destroys them in Reset and in its destructor. Lists cannot be copied.
///
/// Storage: the items a read creates are placed in blocks the list allocates, many items to a
/// block, and Reset and the destructor free those blocks whole; an item handed over with Add (or
/// made by Emplace) keeps its own allocation and is deleted on its own. Item pointers stay valid
/// until Reset, the next read or the destructor, whichever storage holds the item.
///
/// Reading first destroys the items held. A failure inside an item leaves the list empty; a
/// failure to create an item (KELO_E_NO_MEMORY) leaves the items read before it. A negative count
/// or an empty item type is KELO_E_NOT_SUPPORTED, another item class KELO_E_FORMAT.
///
/// Hostile input: the count on the wire alone never sizes an allocation: a block holds no more
/// items than the count announces and the input has bytes left (each item takes at least one), so
/// a huge count fails at the first item the input cannot hold.
class KELO_API CKeloHesArrayBase : public CKeloHesObject {
 public:
  CKeloHesArrayBase();
  CKeloHesArrayBase(const CKeloHesArrayBase&) = delete;
  CKeloHesArrayBase& operator=(const CKeloHesArrayBase&) = delete;
  ~CKeloHesArrayBase() override;

  int Serialize(CKeloOutput& out) const override;
  int Deserialize(CKeloInputParse& parse) override;
  int SetNull(bool isNull) override;

  /// The number of items.
  int Count() const { return m_count; }
  /// Grows the pointer array to at least n slots; KELO_E_NO_MEMORY (nothing changed) on failure.
  int AllocateAtLeast(int n);
  /// Destroys every item (last first), keeps the pointer array; the list is then not null.
  void Reset();

  /// A forward iterator over the item slots, each item given as Item&: what range-for over a
  /// list of any item type uses.
  template <class Item>
  class Iterator {
   public:
    ///@{
    /// A forward iterator over the item slots.
    explicit Iterator(CKeloHesObject* const* slot) : m_slot(slot) {}
    Item& operator*() const { return static_cast<Item&>(**m_slot); }
    Item* operator->() const { return static_cast<Item*>(*m_slot); }
    Iterator& operator++() {
      ++m_slot;
      return *this;
    }
    bool operator==(const Iterator& other) const { return m_slot == other.m_slot; }
    bool operator!=(const Iterator& other) const { return m_slot != other.m_slot; }
    ///@}

   private:
    CKeloHesObject* const* m_slot;
  };

 protected:
  /// The item class's wire namespace.
  virtual const CKeloHesName& ItemNamespace() const = 0;
  /// The item class's wire class name.
  virtual const CKeloHesName& ItemClassName() const = 0;
  /// A new default item; KELO_E_NO_MEMORY, with item null, when it cannot be allocated.
  virtual int CreateItem(CKeloHesObject*& item) = 0;
  /// The bytes one item takes in a block (a multiple of its alignment, which is at most that of
  /// std::max_align_t), or 0 when the items are to be made with CreateItem. The base returns 0.
  virtual size_t ItemSize() const;
  /// Constructs a default item at storage (ItemSize() bytes in a block) and returns it. Only
  /// called when ItemSize() is not 0; the base returns null.
  virtual CKeloHesObject* PlaceItem(void* storage);

  /// Takes ownership of a heap item; grows the array to 2 * capacity + 20 when full.
  int Add(CKeloHesObject& item);
  /// The item pointers, Count() of them.
  CKeloHesObject* const* Items() const { return m_items; }
  /// The item at index; null outside 0 to Count() - 1.
  CKeloHesObject* GetAt(int index) {
    return index >= 0 && index < m_count ? m_items[index] : nullptr;
  }
  /// The item at index; null outside 0 to Count() - 1.
  const CKeloHesObject* GetAt(int index) const {
    return index >= 0 && index < m_count ? m_items[index] : nullptr;
  }

 private:
  CKeloHesObject** m_items;
  int m_count;
  int m_capacity;

 protected:
  /// Whether Deserialize compares the received item type; false only in CKeloHesSkipArray.
  bool m_checkItemClassName;

 private:
  struct ItemBlock;
  // Makes the next item of a read: in a block when the class places its items, else CreateItem.
  // left is how many items the count still announces; the input bounds how many a block holds.
  int NextItem(CKeloHesObject*& item, bool& placed, int left, const CKeloInput& in);
  // Destroys an item that is not (or no longer) in the pointer array.
  static void DestroyItem(CKeloHesObject* item, bool placed);

  // The blocks of the items a read created, newest first.
  ItemBlock* m_blocks;
  // The first m_blockItems items live in m_blocks (a read places them; Add only appends after).
  int m_blockItems;
};

namespace kelo {
/// True for a class a typed list can hold: a value class with its wire name constants
/// (mNamespace, mClassName), as the schema macros declare them for a message class.
template <class T, class = void>
struct IsListItem : std::false_type {};
template <class T>
struct IsListItem<T, std::void_t<decltype(T::mNamespace), decltype(T::mClassName)>>
    : std::is_base_of<CKeloHesObject, T> {};
}  // namespace kelo

template <class T>
class CKeloHesArray : public CKeloHesArrayBase {
 public:
  CKeloHesArray() {
    // The one error a list of anything else gives (in the constructor, not the class body, so
    // that the class stays usable to the compiler and nothing else is reported beside it).
    static_assert(kelo::IsListItem<T>::value,
                  "CKeloHesArray<T> holds message classes only (declared with KELO_MESSAGE or "
                  "KELO_LOCAL_MESSAGE), or CKeloHesString, CKeloHesBool, CKeloHesInt32, "
                  "CKeloHesInt64 or CKeloHesDouble; for a list of other values, declare a message "
                  "class with that one member and make the list CKeloHesArray<ThatClass>");
  }
  ~CKeloHesArray() override {}

  /// Takes ownership of a heap object allocated with new: the list deletes it in Reset, when it
  /// is read again, and in its destructor. Never pass an object on the stack, a member, or an item
  /// that is already in a list. On failure (KELO_E_NO_MEMORY) the caller still owns the item.
  int Add(T& item) { return CKeloHesArrayBase::Add(item); }
  /// Takes the item over: on success the list owns it; on failure (KELO_E_NO_MEMORY, or
  /// KELO_E_INVALID_STATE for a null pointer) the item is destroyed and the list is unchanged.
  int Add(std::unique_ptr<T> item) {
    if (!item) return KELO_E_INVALID_STATE;
    const int rc = CKeloHesArrayBase::Add(*item);
    if (rc == KELO_OK) item.release();
    return rc;
  }
  /// Appends a default item and returns it (owned by the list); null when memory runs out, with
  /// the list unchanged.
  T* Emplace() {
    T* item = new (std::nothrow) T();
    if (!item) return nullptr;
    if (CKeloHesArrayBase::Add(*item) != KELO_OK) {
      delete item;
      return nullptr;
    }
    return item;
  }

  /// Range-for over the items, in order: for (T& item : list).
  ///@{
  /// The items in order, as T& (const T& through a const list).
  using iterator = Iterator<T>;
  using const_iterator = Iterator<const T>;
  iterator begin() { return iterator(Items()); }
  iterator end() { return iterator(Items() + Count()); }
  const_iterator begin() const { return const_iterator(Items()); }
  const_iterator end() const { return const_iterator(Items() + Count()); }
  ///@}
  ///@{
  /// The item at index, owned by the list; null outside 0 to Count() - 1.
  T* GetAt(int index) { return static_cast<T*>(CKeloHesArrayBase::GetAt(index)); }
  const T* GetAt(int index) const { return static_cast<const T*>(CKeloHesArrayBase::GetAt(index)); }
  ///@}

 protected:
  const CKeloHesName& ItemNamespace() const override {
    if constexpr (kelo::IsListItem<T>::value) {
      return T::mNamespace;
    } else {
      return NoName();
    }
  }
  const CKeloHesName& ItemClassName() const override {
    if constexpr (kelo::IsListItem<T>::value) {
      return T::mClassName;
    } else {
      return NoName();
    }
  }
  int CreateItem(CKeloHesObject*& item) override {
    T* created = new (std::nothrow) T();
    item = created;
    return created ? KELO_OK : KELO_E_NO_MEMORY;
  }
  size_t ItemSize() const override {
    // Blocks are aligned for any fundamental type; an over-aligned item goes to CreateItem.
    return alignof(T) <= alignof(std::max_align_t) ? sizeof(T) : 0;
  }
  CKeloHesObject* PlaceItem(void* storage) override { return new (storage) T(); }

 private:
  // Stands in for the wire names of an item type the static_assert above already refused.
  static const CKeloHesName& NoName() {
    static constexpr CKeloHesName none;
    return none;
  }
};

// Declares (in a header) and defines (in the library's .cpp) an exported instantiation of
// CKeloHesArray for an item class, so users link against one copy inside the library.
// On ELF the declaration's visibility carries over to the definition (GCC refuses the attribute
// there a second time); MSVC and Clang on Windows need dllexport on the definition itself. GCC for
// Windows (MinGW) exports no inline member of an instantiated class template, yet compiles none
// itself for a user that sees the extern declaration: there the user instantiates the list (all
// its members are inline) and the declaration is left out.
#if (defined(_WIN32) || defined(__CYGWIN__)) && defined(__GNUC__) && !defined(__clang__)
#define KELO_DECLARE_ARRAY(T)
#define KELO_DEFINE_ARRAY(T) template class CKeloHesArray<T>;
#elif defined(_WIN32) || defined(__CYGWIN__)
#define KELO_DECLARE_ARRAY(T) extern template class KELO_API CKeloHesArray<T>;
#define KELO_DEFINE_ARRAY(T) template class KELO_API CKeloHesArray<T>;
#else
#define KELO_DECLARE_ARRAY(T) extern template class KELO_API CKeloHesArray<T>;
#define KELO_DEFINE_ARRAY(T) template class CKeloHesArray<T>;
#endif

// The lists of strings, booleans and numbers, specializations of CKeloHesArray that every user of
// the template must see.
#include <kelohessian/hessian/plain_array.h>
