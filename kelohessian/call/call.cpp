// The call envelope around a request and the reply envelope around a response.
#include <kelohessian/call/call.h>

#include <kelohessian/call/detail/framing.h>
#include <kelohessian/hessian/detail/numbering.h>
#include <kelohessian/hessian/detail/wire.h>

int KeloHessianBuildRequest(const char* method, unsigned int length, const CKeloHesClass& request,
                            CKeloOutput& out) {
  return kelo_detail::BuildCall(method, length, length, request, out);
}

int kelo_detail::BuildCall(const char* method, unsigned int bytes, unsigned int units,
                           const CKeloHesClass& request, CKeloOutput& out) {
  if (units > 0xFFFF) return KELO_E_OUT_OF_RANGE;
  const unsigned int before = out.DataSize();
  char head[6];
  kelo::wire::PutEnvelope(head, 'c', 0x00, 0x01);
  kelo::wire::PutLength(head + 3, 'm', units);
  const CKeloHesObject& argument = request;
  kelo_detail::Numbering::Written(out) = 0;  // a call numbers its maps and lists from 0
  int rc = out.Append(head, 6);
  if (rc == 0) rc = out.Append(method, bytes);
  if (rc == 0) rc = argument.Serialize(out);
  if (rc == 0) rc = out.Append('z');
  if (rc != 0 && before <= out.DataSize()) out.SetDataSize(before);
  return rc;
}

int KeloHessianReadResponse(CKeloHesClass& response, CKeloInputParse& parse) {
  CKeloInput& in = parse.Input();
  const char* p;
  if (in.Extract(p, 3) != 0) {
    return kelo_detail::Fail(parse, kelo_detail::kFailReplyMissing);
  }
  if (p[0] != 'r') {
    return kelo_detail::Fail(parse, kelo_detail::kFailReplyMarker);
  }
  CKeloHesObject& target = response;
  if (int rc = target.Deserialize(parse); rc != 0) return rc;
  if (in.Extract(p, 1) != 0) {
    return kelo_detail::Fail(parse, kelo_detail::kFailReplyEndMissing);
  }
  if (*p != 'z') {
    return kelo_detail::Fail(parse, kelo_detail::kFailReplyEndMarker);
  }
  return KELO_OK;
}
