// Test-only classes whose members are lists of strings, booleans and numbers, or any value, under
// the wire names of the Java classes lab.Bag (arrays), lab.BagLists (java.util.Lists) and
// lab.Holder (Object and Map fields) that wrote the replies of interop/testdata/lists/.
#pragma once

#include <string>

#include <kelohessian/kelohessian.h>

#include "support/run.h"

#define KELO_TEST_Bag_MEMBERS(X)          \
  X(CKeloHesArray<CKeloHesString>, names) \
  X(CKeloHesArray<CKeloHesBool>, flags)   \
  X(CKeloHesArray<CKeloHesInt32>, counts) \
  X(CKeloHesArray<CKeloHesInt64>, totals) \
  X(CKeloHesArray<CKeloHesDouble>, levels)

#define KELO_TEST_Holder_MEMBERS(X)      \
  X(CKeloHesInt32, id)                   \
  X(CKeloHesArray<CKeloHesString>, tags) \
  X(CKeloHesAny, any)                    \
  X(CKeloHesAny, attrs)                  \
  X(CKeloHesAny, again)

namespace lab {
KELO_LOCAL_MESSAGE(Holder, CKeloHesClass, KELO_TEST_Holder_MEMBERS)
KELO_LOCAL_MESSAGE(Bag, CKeloHesClass, KELO_TEST_Bag_MEMBERS)
KELO_LOCAL_MESSAGE(BagLists, CKeloHesClass, KELO_TEST_Bag_MEMBERS)
}  // namespace lab

namespace kelotest {
#ifdef KELO_TESTDATA_DIR  // defined for the test programs, which read the files
// A reply that Java wrote into interop/testdata/lists/.
inline std::string JavaListsFile(const char* name) {
  return ReadFile(std::string(KELO_TESTDATA_DIR "/lists/") + name);
}
#endif
// Fills a bag, item by item, with the values MakeLists.java wrote to java-reply-lab.Bag-arrays.bin.
void FillJavaBag(lab::Bag& bag);
}  // namespace kelotest
