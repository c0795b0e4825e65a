// The client-message envelopes: Header, carried by both envelopes, and Request and Response, the
// bases of every client request and response. Their members come first on the wire, before
// those of the derived message.
#pragma once

#define KELO_Header_MEMBERS(X) \
  X(CKeloHesInt32, cnc)        \
  X(CKeloHesInt32, cnu)        \
  X(CKeloHesInt64, cnr)        \
  X(CKeloHesInt32, session)    \
  X(CKeloHesInt32, os)

#define KELO_Request_MEMBERS(X) \
  X(CKeloHesInt32, reqID)       \
  X(Header, header)

#define KELO_Response_MEMBERS(X) \
  X(CKeloHesInt32, resID)        \
  X(Header, header)
