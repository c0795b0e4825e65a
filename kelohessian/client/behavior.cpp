// MeasureReq::setBssid, the one client-message operation that throws.
#include <kelohessian/client/client.h>
#include <kelohessian/kllang/kllang.h>

namespace kelo {
namespace cl {
void MeasureReq::setBssid(const char* data, int length) {
  if (data == nullptr || length != 6) {
    throw kllang::IllegalArgumentException(
        kllang::CKlString(L"MeasureReq::setBssid() : either input is Null or has illegal length"));
  }
  const int rc = bssid.Copy(data, 6);
  if (rc == KELO_OK) return;
  if (rc == KELO_E_NO_MEMORY) kllang::OutOfMemoryError::ThrowInstance();
  throw kllang::Exception(kllang::CKlString(L"MeasureReq::setBssid(). Got error: ") +
                          kllang::CKlString(rc));
}
}  // namespace cl
}  // namespace kelo
