// Writes a string and a 64-bit integer into one output buffer, prints the Hessian bytes in hex,
// then reads both values back from those bytes and prints them.
#include <kelohessian/kelohessian.h>

#include <cstdio>

namespace {

void PrintHex(const char* data, unsigned int size) {
  for (unsigned int i = 0; i < size; ++i) {
    std::printf("%02x%s", static_cast<unsigned char>(data[i]), i + 1 < size ? " " : "\n");
  }
}

// Fails loudly with the parse context's error text, which names what was wrong and where.
int Fail(const char* what, int rc, const CKeloInputParse* parse) {
  const char* text = parse && parse->GetError() ? parse->GetError() : "";
  std::fprintf(stderr, "%s failed with %d%s%s\n", what, rc, *text ? ": " : "", text);
  return 1;
}

}  // namespace

int main() {
  CKeloHesString greeting;
  if (int rc = greeting.Copy("hello"); rc != 0) return Fail("Copy", rc, nullptr);
  CKeloHesInt64 big(1234567890123LL);

  CKeloOutput out;
  // The number classes keep Serialize and Deserialize behind the root class.
  const CKeloHesObject& bigObject = big;
  if (int rc = greeting.Serialize(out); rc != 0) return Fail("writing the string", rc, nullptr);
  if (int rc = bigObject.Serialize(out); rc != 0) return Fail("writing the number", rc, nullptr);
  std::printf("%u bytes: ", out.DataSize());
  PrintHex(out.Data(), out.DataSize());

  CKeloInput in(out.Data(), out.DataSize());
  CKeloInputParse parse(in);
  CKeloHesString greetingRead;
  CKeloHesInt64 bigRead;
  CKeloHesObject& bigReadObject = bigRead;
  if (int rc = greetingRead.Deserialize(parse); rc != 0)
    return Fail("reading the string", rc, &parse);
  if (int rc = bigReadObject.Deserialize(parse); rc != 0)
    return Fail("reading the number", rc, &parse);

  // The string holds 16-bit units; this one is plain ASCII.
  const short* units = nullptr;
  unsigned int length = greetingRead.Data(units);
  std::printf("string: \"");
  for (unsigned int i = 0; i < length; ++i) std::printf("%c", static_cast<char>(units[i]));
  std::printf("\"\nint64:  %lld\n", static_cast<long long>(bigRead));
  return 0;
}
