// Members of any value: the value codec reads and writes them in place in a message of classes.
#include <kelohessian/kelo/any.h>

#include <string.h>

#include <new>

#include <kelohessian/kelo/detail/value_codec.h>

CKeloHesAny::~CKeloHesAny() {}

int CKeloHesAny::Serialize(CKeloOutput& out) const {
  try {
    return kelo::value_detail::WriteInMessage(m_value, out);
  } catch (const std::bad_alloc&) {
    return KELO_E_NO_MEMORY;
  }
}

int CKeloHesAny::Deserialize(CKeloInputParse& parse) {
  kelo::Status status;
  try {
    kelo::Value value;
    status = kelo::value_detail::ReadInMessage(parse, value);
    if (status) {
      Set(std::move(value));
      return KELO_OK;
    }
  } catch (const std::bad_alloc&) {
    status = kelo::Status(KELO_E_NO_MEMORY);
  }
  const char* text = status.message();
  parse.AddToErrorByLength(text, static_cast<unsigned int>(strlen(text)), 0);
  return status.code();
}

int CKeloHesAny::SetNull(bool isNull) {
  if (isNull) {
    Set(kelo::Value());
    return KELO_OK;
  }
  return m_value.is_null() ? KELO_E_NOT_SUPPORTED : KELO_OK;
}
