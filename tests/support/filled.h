// Deterministically filled test structures, shared by the truncation and allocation tests.
#pragma once

#include "support/test_support.h"

namespace kelotest {

// A crate whose box holds a corner and three points with non-ASCII labels, blobs and numbers of
// every kind; one point is a null structure.
void FillCrate(Crate& crate);

}  // namespace kelotest
