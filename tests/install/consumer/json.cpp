// Built against the installed package only: a client request to JSON and back.
#include <kelohessian/json/json.h>
#include <kelohessian/kelohessian.h>

#include <cstdio>

int main() {
  kelo::cl::ReqTopology request;
  request.reqID = 7;
  const std::string json = kelo::ToJson(request);
  kelo::cl::ReqTopology back;
  const kelo::Status s = kelo::FromJson(json, back);
  if (!s || static_cast<int>(back.reqID) != 7) {
    std::fprintf(stderr, "consumer_json: %s: %s\n", s.message(), json.c_str());
    return 1;
  }
  return 0;
}
