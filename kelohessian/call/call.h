/// \file
/// Call and reply framing. A call is
///
///     'c' 00 01 'm' <2-byte method length> <method> <request as a typed map or 'N'> 'z'
///
/// and a reply is
///
///     'r' <2 version bytes> <response> 'z'
///
/// Transport is the caller's business.
#pragma once

#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/hes_class.h>

/// Appends a call of the named method (length bytes, not necessarily terminated) with the request
/// as its one argument. On any failure the output holds exactly what it held before the call:
/// KELO_E_OUT_OF_RANGE for a method name over 65535 bytes, or the code of the failing write. The
/// request's values are not changed. The length is written as the byte count; Hessian counts 16-bit
/// units, the same for ASCII only.
KELO_API int KeloHessianBuildRequest(const char* method, unsigned int length,
                                     const CKeloHesClass& request, CKeloOutput& out);

/// Reads one reply from the cursor position into response: checks 'r' (the version bytes are not
/// checked), fills the response, checks the closing 'z'. On success the cursor stands right behind
/// the 'z' and any bytes after it are left unread. On failure the cursor stays where the failure
/// left it, members already filled keep their new values, and the parse context holds the text,
/// with one exception: an unknown member's 4- or 8-byte value cut short by the end of the input
/// fails with KELO_E_EXHAUSTED and adds no text, so the text may then be empty. A reply shorter
/// than 3 bytes is KELO_E_EXHAUSTED; one that does not open with 'r', or whose closing 'z' is
/// missing or wrong, KELO_E_FORMAT. A fault reply is a KELO_E_FORMAT here: kelo::DecodeReply reads
/// faults.
KELO_API int KeloHessianReadResponse(CKeloHesClass& response, CKeloInputParse& parse);
