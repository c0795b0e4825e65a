// The client side of the session against the reference server: the nine exchanges of exchanges.h,
// each filled with the seeded rule of tests/support/filler, framed with KeloHessianBuildRequest,
// posted over a kelo::http::Connection and read back with KeloHessianReadResponse.
#pragma once

#include <kelohessian/http/transport.h>

#include <cstdio>
#include <string>

namespace kelointerop {

// Runs exchange number index (0-based) against the server whose base URL is base
// ("http://127.0.0.1:PORT"): sends the request the rule gives, reads the reply and compares the
// response with the one the rule expects. True when it is that response; otherwise false, with
// failure set to one line (the transport's error, a fault, a read failure or the first differing
// byte). When out is not null, what was sent and what came back are printed to it, member by
// member.
bool RunExchange(kelo::http::Connection& connection, const std::string& base, unsigned int index,
                 std::FILE* out, std::string& failure);

// The call bytes of exchange number index with the request filled from seed: the rule's own seed
// gives the request the server expects, any other seed one that it refuses. Empty on failure.
std::string BuildCall(unsigned int index, unsigned int seed);

// The same request as JSON (the format of kelohes encode and decode), as kelohes call reads it.
// Empty on failure.
std::string RequestJson(unsigned int index, unsigned int seed);

}  // namespace kelointerop
