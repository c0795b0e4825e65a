// Fills any catalogue class with deterministic values through the catalogue: negative narrow
// integers, 64-bit values beyond 2^53, non-ASCII text, blobs, nested messages and lists.
#pragma once

#include <kelohessian/kelohessian.h>

namespace kelotest {

// Fills every member of object (of class info) from seed; each list gets listItems items.
void FillObject(CKeloHesClass& object, const kelo::ClassInfo& info, unsigned int seed,
                int listItems);

// A default object of the class, filled; null when the heap is exhausted. The caller deletes it.
CKeloHesClass* NewFilled(const kelo::ClassInfo& info, unsigned int seed, int listItems);

}  // namespace kelotest
