// The call writer behind KeloHessianBuildRequest and kelo::EncodeCall, which differ in how they
// count the method's length: the classic function writes the number of bytes it is given,
// kelo::EncodeCall the number of 16-bit units, as Hessian counts it. Not installed.
#pragma once

#include <kelohessian/hessian/hes_class.h>

namespace kelo_detail {

// Appends 'c' 00 01 'm', units as the 2-byte length, the method's bytes, the request and 'z'. On
// any failure the output holds exactly what it held before: KELO_E_OUT_OF_RANGE for units over
// 65535, or the code of the failing write.
int BuildCall(const char* method, unsigned int bytes, unsigned int units,
              const CKeloHesClass& request, CKeloOutput& out);

}  // namespace kelo_detail
