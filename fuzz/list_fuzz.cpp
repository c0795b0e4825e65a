// Fuzz target: the first byte chooses a typed-list member of the catalogue (or, past the last, a
// list that skips items of any type) and the rest is read into it. A failed read empties the list
// unless it failed after the last item or could not allocate one; a list read is written, read
// back and written again to the same bytes.
#include "fuzz_support.h"

#include <memory>
#include <string>

namespace {

// Whether a failed read failed only after its last item: the items then stay in the list. Every
// other failure (inside an item, or in Add) empties it, except an item that could not be created.
bool KeptItems(int rc, const std::string& error) {
  return rc == KELO_E_NO_MEMORY || error.rfind("Failed to read array's terminating 'z'", 0) == 0 ||
         error.rfind("Expected array's terminating 'z'", 0) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::vector<kelofuzz::ListMember>& lists = kelofuzz::ListMembers();
  const unsigned int choice = data[0] % (lists.size() + 1);
  unsigned int consumed = 0;
  std::string error;
  if (choice == lists.size()) {
    CKeloHesSkipArray skipper;
    const int rc = kelofuzz::Read(skipper, data + 1, size - 1, &consumed, &error);
    if (rc != 0 && !KeptItems(rc, error)) KELO_FUZZ_CHECK(skipper.Count() == 0);
    return 0;
  }
  const kelofuzz::ListMember lm = lists[choice];
  const kelo::ListOps& ops = *lm.member->list;
  std::unique_ptr<CKeloHesClass> owner(lm.owner->create()), owner2(lm.owner->create());
  KELO_FUZZ_CHECK(owner != nullptr && owner2 != nullptr);
  CKeloHesObject& list = lm.member->access(*owner);
  CKeloHesObject& list2 = lm.member->access(*owner2);
  if (const int rc = kelofuzz::Read(list, data + 1, size - 1, &consumed, &error); rc != 0) {
    if (!KeptItems(rc, error)) KELO_FUZZ_CHECK(ops.count(list) == 0);
    return 0;
  }
  std::string first, second;
  if (const int wrc = kelofuzz::Encode(list, first); wrc != 0) {
    // The owner's other members are default: it holds a surrogate unit exactly when an item does.
    KELO_FUZZ_CHECK(wrc == KELO_E_NOT_SUPPORTED && kelofuzz::HoldsSurrogate(*owner, *lm.owner));
    return 0;
  }
  KELO_FUZZ_CHECK(kelofuzz::Read(list2, first.data(), first.size(), &consumed) == 0);
  KELO_FUZZ_CHECK(consumed == first.size() && ops.count(list2) == ops.count(list));
  KELO_FUZZ_CHECK(kelofuzz::Encode(list2, second) == 0 && first == second);
  return 0;
}
