// Text and bytes of the modern face: UTF-8 through the wire's codec, blobs as byte views.
#include <kelohessian/kelo/text.h>

#include <kelohessian/kelo/detail/face.h>
#include <kelohessian/wire/utf8.h>

namespace kelo {

using namespace face;

namespace {

bool IsHigh(unsigned int u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLow(unsigned int u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

// Why a UTF-8 sequence starting at `at` is refused, as a status.
Status BadUtf8(const char* why, std::size_t at) {
  return Status(KELO_E_FORMAT,
                std::string("Invalid UTF-8: ") + why + " at byte " + std::to_string(at), at);
}

}  // namespace

namespace face {

void AppendUnits(std::string& out, const unsigned short* units, std::size_t count) {
  char bytes[4];
  for (std::size_t i = 0; i < count; ++i) {
    std::uint32_t u = units[i];
    if (IsHigh(u) && i + 1 < count && IsLow(units[i + 1]))
      u = 0x10000 + ((u - 0xD800) << 10) + (units[++i] - 0xDC00u);
    else if (IsHigh(u) || IsLow(u))
      u = 0xFFFD;
    out.append(bytes, kelo::wire::PutChar(u, bytes));
  }
}

Status Utf8Units(std::string_view text, std::vector<short>* units, std::size_t& count) {
  count = 0;
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t at = i;
    std::uint32_t c = 0;
    if (const kelo::wire::TextStatus t = kelo::wire::NextChar(s, text.size(), &i, &c);
        t != kelo::wire::kTextOk)
      return BadUtf8(kelo::wire::TextMessage(t), at);
    if (c > 0xFFFF)
      return Status(KELO_E_NOT_SUPPORTED,
                    "The character at byte " + std::to_string(at) +
                        " lies above U+FFFF, which strings cannot carry",
                    at);
    if (units) units->push_back(static_cast<short>(static_cast<unsigned short>(c)));
    ++count;
  }
  return Status();
}

Status ViewUtf8(std::string_view text, std::vector<short>& units, CKeloHesString& view) {
  if (int rc = RangeCheck(text.data(), text.size()); rc != 0) return Status(rc);
  units.reserve(text.size());  // one unit per byte at most
  std::size_t count = 0;
  if (Status s = Utf8Units(text, &units, count); !s) return s;
  static const short kNone = 0;  // a non-null source, so an empty text is not null
  view.SetExternal(units.empty() ? &kNone : units.data(), static_cast<unsigned int>(count));
  return Status();
}

}  // namespace face

std::string ToUtf8(const CKeloHesString& text) {
  try {
    const short* units;
    const unsigned int length = text.Data(units);
    std::string out;
    if (text.IsNull()) return out;
    out.reserve(length);
    AppendUnits(out, reinterpret_cast<const unsigned short*>(units), length);
    return out;
  } catch (const std::exception&) {
    return std::string();
  }
}

Status FromUtf8(std::string_view text, CKeloHesString& out) {
  return Guard(nullptr, [&] {
    std::vector<short> units;
    CKeloHesString view;
    if (Status s = ViewUtf8(text, units, view); !s) return s;
    const short* data;
    const unsigned int length = view.Data(data);
    if (int rc = out.Copy(data, length); rc != 0) return Status(rc);
    out.SetNull(false);
    return Status();
  });
}

std::string_view ToBytes(const CKeloHesBinary& blob) {
  const char* bytes;
  const unsigned int length = blob.Data(bytes);
  if (blob.IsNull() || !bytes) return std::string_view();
  return std::string_view(bytes, length);
}

Status FromBytes(const void* data, std::size_t size, CKeloHesBinary& out) {
  if (int rc = RangeCheck(data, size); rc != 0) return Status(rc);
  static const char kNone = 0;  // a non-null source, so an empty blob is not null
  const char* bytes = size ? static_cast<const char*>(data) : &kNone;
  if (int rc = out.Copy(bytes, static_cast<unsigned int>(size)); rc != 0) return Status(rc);
  out.SetNull(false);
  return Status();
}

}  // namespace kelo
