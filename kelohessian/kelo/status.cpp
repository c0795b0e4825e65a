// The status glue of the modern face: the parse context's text and cursor as a Status.
#include <kelohessian/kelo/detail/face.h>

#include <kelohessian/hessian/detail/wire.h>

namespace kelo {
namespace face {

int RangeCheck(const void* data, std::size_t size) {
  if (!data && size) return KELO_E_INVALID_ARGUMENT;
  return size > kMaxInput ? KELO_E_OUT_OF_RANGE : KELO_OK;
}

namespace {

// What the classic reader leaves unsaid: it adds no text when the input ends inside a 4- or
// 8-byte value that it skips, and stops right behind the value's marker.
std::string CutValueText(const CKeloInput& in) {
  const unsigned int at = in.GetNumExtracted();
  const char* marker;
  if (at == 0 || in.GetDataAt(marker, at - 1, 1) != 0) return std::string();
  const int bits = *marker == 'I'                                       ? 32
                   : *marker == 'L' || *marker == 'D' || *marker == 'd' ? 64
                                                                        : 0;
  if (bits == 0) return std::string();
  return "The input ends inside a " + std::to_string(bits) + "-bit value that starts at offset " +
         std::to_string(at - 1);
}

}  // namespace

// The code with the parse context's text and the bytes consumed so far.
Status FromParse(int code, CKeloInputParse& parse) {
  std::string text;
  if (parse.GetErrorLength())
    text.assign(parse.GetError(), parse.GetErrorLength());
  else if (code == KELO_E_EXHAUSTED)
    text = CutValueText(parse.Input());
  return Status(code, std::move(text), parse.Input().GetNumExtracted());
}

unsigned int Left(CKeloInput& in) {
  return in.GetTotalSize() - in.GetNumExtracted();
}

// KELO_E_FORMAT with "<piece><number of bytes left>" when input remains after the message.
Status CheckEnd(CKeloInputParse& parse, kelo_detail::Failure piece) {
  const unsigned int left = Left(parse.Input());
  if (left == 0) return Status(KELO_OK, parse.Input().GetNumExtracted());
  kelo_detail::Add(parse, piece);
  const std::string count = std::to_string(left);
  parse.AddToErrorByLength(count.data(), static_cast<unsigned int>(count.size()), 0);
  return FromParse(KELO_E_FORMAT, parse);
}

Status ViewUtf8(std::string_view text, std::vector<short>& units, CKeloHesString& view);

// Defined with the text functions below.
Status Utf8Units(std::string_view text, std::vector<short>* units, std::size_t& count);
void AppendUnits(std::string& out, const unsigned short* units, std::size_t count);

}  // namespace face
}  // namespace kelo
