// Test-only classes whose members are lists of strings, booleans and numbers, under the wire names
// of the Java classes lab.Bag (arrays) and lab.BagLists (java.util.Lists) that wrote the replies of
// interop/testdata/lists/.
#pragma once

#include <kelohessian/kelohessian.h>

#define KELO_TEST_Bag_MEMBERS(X)          \
  X(CKeloHesArray<CKeloHesString>, names) \
  X(CKeloHesArray<CKeloHesBool>, flags)   \
  X(CKeloHesArray<CKeloHesInt32>, counts) \
  X(CKeloHesArray<CKeloHesInt64>, totals) \
  X(CKeloHesArray<CKeloHesDouble>, levels)

namespace lab {
KELO_LOCAL_MESSAGE(Bag, CKeloHesClass, KELO_TEST_Bag_MEMBERS)
KELO_LOCAL_MESSAGE(BagLists, CKeloHesClass, KELO_TEST_Bag_MEMBERS)
}  // namespace lab

namespace kelotest {
// Fills a bag, item by item, with the values MakeLists.java wrote to java-reply-lab.Bag-arrays.bin.
void FillJavaBag(lab::Bag& bag);
}  // namespace kelotest
