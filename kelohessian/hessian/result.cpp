// Names and descriptions of the result codes, generated from the one list in result.h.
#include <kelohessian/hessian/result.h>

namespace kelo {

const char* ResultName(int code) {
  switch (code) {
#define KELO_RESULT_NAME_ROW(name, value, description) \
  case value:                                          \
    return #name;
    KELO_RESULT_CODES(KELO_RESULT_NAME_ROW)
#undef KELO_RESULT_NAME_ROW
  }
  return "unknown";
}

const char* ResultDescription(int code) {
  switch (code) {
#define KELO_RESULT_TEXT_ROW(name, value, description) \
  case value:                                          \
    return description;
    KELO_RESULT_CODES(KELO_RESULT_TEXT_ROW)
#undef KELO_RESULT_TEXT_ROW
  }
  return "unknown result code";
}

}  // namespace kelo
