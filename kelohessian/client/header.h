/// \file
/// The client-message envelopes: Header, carried by both envelopes, and Request and Response, the
/// bases of every client request and response. Their members come first on the wire, before
/// those of the derived message.
#pragma once

/// \class kelo::cl::Header
/// The five identifiers that every client request and response carries as its "header". Java class
/// `kelo.cl.Header`.
#define KELO_Header_MEMBERS(X) \
  X(CKeloHesInt32, cnc)        \
  X(CKeloHesInt32, cnu)        \
  X(CKeloHesInt64, cnr)        \
  X(CKeloHesInt32, session)    \
  X(CKeloHesInt32, os)

/// \class kelo::cl::Request
/// The base of the client requests: "reqID" and "header" come first on the wire, before the members
/// of the derived request. Java class `kelo.cl.Request`.
#define KELO_Request_MEMBERS(X) \
  X(CKeloHesInt32, reqID)       \
  X(Header, header)

/// \class kelo::cl::Response
/// The base of the client responses: "resID" and "header" come first on the wire, before the
/// members of the derived response. Java class `kelo.cl.Response`.
#define KELO_Response_MEMBERS(X) \
  X(CKeloHesInt32, resID)        \
  X(Header, header)
