/// \file
/// The one-call interface in namespace kelo, over the same encoders and decoders as the classic
/// functions: a call 'c' 00 01 'm' \<method\> \<argument\> 'z', a reply 'r' 01 00 \<result\> 'z',
/// a fault reply 'r' 01 00 'f' "code" \<code\> "message" \<message\> ... 'z' 'z', text as UTF-8
/// and bytes as standard vectors. Nothing here throws: a std::bad_alloc inside becomes
/// KELO_E_NO_MEMORY. A null pointer given with a non-zero size (bytes or text) is refused with
/// KELO_E_INVALID_ARGUMENT.
#pragma once

// The modern face is three headers by concern; this one includes them all.
#include <kelohessian/kelo/envelope.h>
#include <kelohessian/kelo/status.h>
#include <kelohessian/kelo/text.h>
