// Fuzz target: typed lists. The first input byte chooses one typed-list member of the catalogue
// (or, past the last one, a list that skips items of any type); the rest is read into it. A
// failed read leaves the list empty unless it failed after its last item or could not allocate
// an item; a list that is read is written, read back and written again to the same bytes.
#include "fuzz_support.h"

#include <memory>
#include <string>

namespace {

int Read(CKeloHesObject& list, const char* bytes, size_t size, unsigned int* consumed,
         std::string* error = nullptr) {
  CKeloInput in(bytes, static_cast<unsigned int>(size));
  CKeloInputParse parse(in);
  const int rc = list.Deserialize(parse);
  kelofuzz::CheckContract(rc, parse);
  *consumed = in.GetNumExtracted();
  if (error) error->assign(parse.GetError() ? parse.GetError() : "", parse.GetErrorLength());
  return rc;
}

// Whether a failed read failed only after its last item: the items then stay in the list. Every
// other failure (inside an item, or in Add) empties it, except an item that could not be created.
bool KeptItems(int rc, const std::string& error) {
  return rc == KELO_E_NO_MEMORY || error.rfind("Failed to read array's terminating 'z'", 0) == 0 ||
         error.rfind("Expected array's terminating 'z'", 0) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const char* bytes = reinterpret_cast<const char*>(data + 1);
  unsigned int consumed = 0;
  const unsigned int choice = data[0] % (kelofuzz::ListMemberCount() + 1);
  if (choice == kelofuzz::ListMemberCount()) {
    CKeloHesSkipArray skipper;
    std::string error;
    const int rc = Read(skipper, bytes, size - 1, &consumed, &error);
    if (rc != 0 && !KeptItems(rc, error)) KELO_FUZZ_CHECK(skipper.Count() == 0);
    return 0;
  }

  const kelofuzz::ListMember lm = kelofuzz::ListMemberAt(choice);
  std::unique_ptr<CKeloHesClass> owner(lm.owner->create());
  KELO_FUZZ_CHECK(owner != nullptr);
  CKeloHesObject& list = lm.member->access(*owner);
  std::string error;
  const int rc = Read(list, bytes, size - 1, &consumed, &error);
  if (rc != 0) {
    if (!KeptItems(rc, error)) KELO_FUZZ_CHECK(lm.member->list->count(list) == 0);
    return 0;
  }
  std::string first;
  const int wrc = kelofuzz::Encode(list, first);
  if (wrc != 0) {
    bool surrogate = false;
    for (int i = 0; i < lm.member->list->count(list); ++i) {
      CKeloHesClass* item = lm.member->list->at(list, i);
      if (item && !item->IsNull() && kelofuzz::HoldsSurrogate(*item, *lm.member->type))
        surrogate = true;
    }
    KELO_FUZZ_CHECK(wrc == KELO_E_NOT_SUPPORTED && surrogate);
    return 0;
  }
  std::unique_ptr<CKeloHesClass> owner2(lm.owner->create());
  KELO_FUZZ_CHECK(owner2 != nullptr);
  CKeloHesObject& list2 = lm.member->access(*owner2);
  KELO_FUZZ_CHECK(Read(list2, first.data(), first.size(), &consumed) == 0);
  KELO_FUZZ_CHECK(consumed == first.size());
  KELO_FUZZ_CHECK(lm.member->list->count(list2) == lm.member->list->count(list));
  std::string second;
  KELO_FUZZ_CHECK(kelofuzz::Encode(list2, second) == 0);
  KELO_FUZZ_CHECK(first == second);
  return 0;
}
