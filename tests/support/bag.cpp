#include "support/bag.h"

#include <limits>

namespace lab {
KELO_MESSAGE_DEFINE(Holder, "lab", CKeloHesClass, KELO_TEST_Holder_MEMBERS)
KELO_MESSAGE_DEFINE(Bag, "lab", CKeloHesClass, KELO_TEST_Bag_MEMBERS)
KELO_MESSAGE_DEFINE(BagLists, "lab", CKeloHesClass, KELO_TEST_Bag_MEMBERS)
}  // namespace lab

namespace kelotest {

void FillJavaBag(lab::Bag& bag) {
  for (const char* name : {"roof", static_cast<const char*>(nullptr), "", "Z\xC3\xBCrich"}) {
    CKeloHesString text;  // null unless set
    if (name && !kelo::FromUtf8(name, text)) return;
    bag.names.Add(text);
  }
  for (bool flag : {true, false, true}) bag.flags.Add(flag);
  for (int count : {0, -1, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()})
    bag.counts.Add(count);
  for (long long total : {0LL, -1LL, (1LL << 53) + 1, std::numeric_limits<long long>::min()})
    bag.totals.Add(total);
  for (double level : {0.0, -0.0, 3.25, std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::denorm_min()})
    bag.levels.Add(level);
}

}  // namespace kelotest
