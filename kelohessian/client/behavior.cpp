// Behaviour reports, and MeasureReq::setBssid, the one client-message operation that throws.
#include <kelohessian/client/behavior.h>
#include <kelohessian/commengine/detail/message_impl.h>

KELO_DEFINE_ARRAY(kelo::cl::MeasureReq)
KELO_DEFINE_ARRAY(kelo::cl::EventReq)

namespace kelo {
namespace cl {
KELO_MESSAGE_IMPL(ResBehavior, "kelo.cl", Response, KELO_ResBehavior_MEMBERS)
KELO_MESSAGE_IMPL(MeasureReq, "kelo.cl", CKeloHesClass, KELO_MeasureReq_MEMBERS)
KELO_MESSAGE_IMPL(EventReq, "kelo.cl", CKeloHesClass, KELO_EventReq_MEMBERS)
KELO_MESSAGE_IMPL(ReqBehavior, "kelo.cl", Request, KELO_ReqBehavior_MEMBERS)

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
