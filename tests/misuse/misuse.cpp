// Each schema misuse the macros can detect, selected by KELO_MISUSE; compiled (and expected to
// fail with exactly one error) by check_misuse.cmake. KELO_MISUSE=0 is the well-formed control.
#include <kelohessian/kelohessian.h>

#if KELO_MISUSE == 1  // a C++ type that is not a Hessian value
#define MY_Bad_MEMBERS(X) X(CKeloHesInt32, ok) X(int, n)
#elif KELO_MISUSE == 2  // a list of blobs (strings, booleans, 32- and 64-bit integers and doubles
                        // are lists of their own)
#define MY_Bad_MEMBERS(X) X(CKeloHesArray<CKeloHesBinary>, blobs)
#elif KELO_MISUSE == 3  // a list of lists
#define MY_Bad_MEMBERS(X) X(CKeloHesArray<CKeloHesArray<kelo::cl::ApReq>>, lists)
#elif KELO_MISUSE == 4  // a structure class without a description (registered by hand)
#define MY_Bad_MEMBERS(X) X(CKeloHesSkipClass, any)
#else
#define MY_Bad_MEMBERS(X)                 \
  X(CKeloHesInt32, ok)                    \
  X(CKeloHesArray<kelo::cl::ApReq>, aps)  \
  X(CKeloHesArray<CKeloHesString>, names) \
  X(CKeloHesArray<CKeloHesBool>, flags)   \
  X(CKeloHesArray<CKeloHesInt32>, counts) \
  X(CKeloHesArray<CKeloHesInt64>, totals) \
  X(CKeloHesArray<CKeloHesDouble>, levels)
#endif

namespace my {
KELO_LOCAL_MESSAGE(Bad, CKeloHesClass, MY_Bad_MEMBERS)
KELO_MESSAGE_DEFINE(Bad, "my", CKeloHesClass, MY_Bad_MEMBERS)
}  // namespace my
