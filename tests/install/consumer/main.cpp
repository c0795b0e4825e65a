// Built against the installed package only: writes a 32-bit integer, checks its bytes, reads it
// back. Exit code 0 when everything round-trips.
#include <kelohessian/kelohessian.h>

#include <cstdio>
#include <cstring>

int main() {
  CKeloOutput out;
  CKeloHesInt32 five(5);
  // Serialize and Deserialize are public through the root class only.
  const CKeloHesObject& written = five;
  int rc = written.Serialize(out);
  const char expected[] = {'I', 0x00, 0x00, 0x00, 0x05};
  if (rc != 0 || out.DataSize() != sizeof expected ||
      std::memcmp(out.Data(), expected, sizeof expected) != 0) {
    std::fprintf(stderr, "consumer: Serialize gave rc %d and %u bytes\n", rc, out.DataSize());
    return 1;
  }

  CKeloInput in(out.Data(), out.DataSize());
  CKeloInputParse parse(in);
  CKeloHesInt32 read;
  CKeloHesObject& target = read;
  rc = target.Deserialize(parse);
  if (rc != 0 || static_cast<int>(read) != 5 || in.GetNumExtracted() != sizeof expected) {
    std::fprintf(stderr, "consumer: Deserialize gave rc %d, value %d: %s\n", rc,
                 static_cast<int>(read), parse.GetError() ? parse.GetError() : "");
    return 1;
  }
  std::printf("consumer: KeloHessian round trip ok\n");
  return 0;
}
