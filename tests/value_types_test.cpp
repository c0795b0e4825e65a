// Value classes and the domain value types: the fixed one-member map, byte order of the IPv4
// accessors, the measurement mask and the exact texts of value-class failures.
#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace {

using kelotest::Decode;
using kelotest::Encode;
using kelotest::Hex;
using namespace VarantoTypes;

TEST(ValueClasses, WireFormsOfNumbersAndBlobs) {
  EXPECT_EQ(Encode(CT_CncId(5)),
            Hex("'Mt' 00 15 'VarantoTypes.CT_CncId' 'S' 00 05 'value' 'I' 00 00 00 05 'z'"));
  EXPECT_EQ(Encode(CT_MacAddr()),
            Hex("'Mt' 00 17 'VarantoTypes.CT_MacAddr' 'S' 00 05 'value' 'N' 'z'"));
  EXPECT_EQ(Encode(CT_CnrID(-2)), Hex("'Mt' 00 15 'VarantoTypes.CT_CnrID' 'S' 00 05 'value'"
                                      "'L' ff ff ff ff ff ff ff fe 'z'"));
  CT_Cipher cipher;
  cipher = static_cast<char>(-1);
  EXPECT_EQ(Encode(cipher).substr(34), Hex("'I' ff ff ff ff 'z'"));
  cipher = 3;
  EXPECT_EQ(static_cast<char>(cipher), 3);
  EXPECT_EQ(Encode(CT_Uint16(0xFFFF)).substr(34), Hex("'I' 00 00 ff ff 'z'"));
  EXPECT_EQ(static_cast<int>(CT_CncId(3)), 3);
  EXPECT_EQ(static_cast<short>(CT_Accessibility(-300)), -300);  // the code types store theirs
  EXPECT_EQ(Encode(CT_ConntectionQuality(1)).substr(4, 34), "VarantoTypes.CT_ConntectionQuality");
}

TEST(ValueClasses, AlwaysWrittenAsAFullMap) {
  CT_CnuId id(9);
  id.SetNull(true);
  EXPECT_EQ(Encode(id),
            Hex("'Mt' 00 15 'VarantoTypes.CT_CnuId' 'S' 00 05 'value' 'I' 00 00 00 09 'z'"));
  ASSERT_EQ(
      Decode(id, Hex("'Mt' 00 15 'VarantoTypes.CT_CnuId' 'S' 00 05 'value' 'I' 00 00 00 04 'z'"))
          .rc,
      0);
  EXPECT_FALSE(id.IsNull());
  EXPECT_EQ(static_cast<int>(id), 4);
  // 'N' marks it null and reads nothing more; the value stays.
  const kelotest::Decoded d = Decode(id, "Nrest");
  ASSERT_EQ(d.rc, 0);
  EXPECT_EQ(d.consumed, 1u);
  EXPECT_TRUE(id.IsNull());
  EXPECT_EQ(static_cast<int>(id), 4);
}

TEST(ValueClasses, DecodingFailures) {
  const std::string head = Hex("'Mt' 00 15 'VarantoTypes.CT_CncId'");
  struct Case {
    std::string bytes;
    int rc;
    std::string error;
  } cases[] = {
      {head + Hex("'S' 00 05 'Value' 'I' 00 00 00 01 'z'"), KELO_E_FORMAT,
       "While parsing class \"VarantoTypes.CT_CncId\", expected 'S' then the 'value' member name, "
       "but got something else. Last chars read: 'CT_CncIdS..Value'"},
      {head + Hex("'S' 00 05 'val'"), KELO_E_EXHAUSTED,
       "While parsing class \"VarantoTypes.CT_CncId\", expected 'S' then the 'value' member name, "
       "but got something else. Last chars read: 'toTypes.CT_CncId'"},
      {head + Hex("'S' 00 05 'value' 'I' 00 00 00 01 'S' 00 01 'x' 'N' 'z'"), KELO_E_FORMAT,
       "Expected terminating 'z' for class \"VarantoTypes.CT_CncId\" but got something else. Last "
       "chars read: 'IdS..valueI....S'"},
      {head + Hex("'S' 00 05 'value' 'I' 00 00 00 01"), KELO_E_EXHAUSTED,
       "Failed to read terminating 'z' for class \"VarantoTypes.CT_CncId\". Last chars read: "
       "'cIdS..valueI....'"},
      {head + Hex("'S' 00 05 'value' 'L' 00 00 00 00 00 00 00 01 'z'"), KELO_E_FORMAT,
       "Expected integer ('I'), but got something else. Last chars read: 'cIdS..valueL....'"
       ". This happens in member \"value\" of class \"VarantoTypes.CT_CncId\""},
      {Hex("'Mt' 00 15 'VarantoTypes.CT_CnuId' 'z'"), KELO_E_FORMAT,
       "Expected class \"VarantoTypes.CT_CncId\" but got \"VarantoTypes.CT_CnuId\". Last chars "
       "read: 'toTypes.CT_CnuId'"},
      {head + Hex("'s' 00 05 'value' 'I' 00 00 00 01 'z'"), KELO_E_FORMAT,
       "While parsing class \"VarantoTypes.CT_CncId\", expected 'S' then the 'value' member name, "
       "but got something else. Last chars read: 'CT_CncIds..value'"},
  };
  for (const Case& c : cases) {
    CT_CncId id(77);
    const kelotest::Decoded d = Decode(id, c.bytes);
    EXPECT_EQ(d.rc, c.rc) << kelotest::ToHex(c.bytes);
    EXPECT_EQ(d.error, c.error) << kelotest::ToHex(c.bytes);
  }
  CT_SSID ssid;
  EXPECT_EQ(Decode(ssid, Encode(CT_MacAddr())).rc, KELO_E_FORMAT);
}

TEST(ValueClasses, BlobAccessAndCopies) {
  CT_MacAddr mac;
  const char bytes[] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
  ASSERT_EQ(mac.Copy(bytes, 6), 0);
  CT_MacAddr copy(mac);
  const char* a;
  const char* b;
  ASSERT_EQ(mac.Data(a), 6u);
  ASSERT_EQ(copy.Data(b), 6u);
  EXPECT_NE(a, b);  // an owned blob is copied
  EXPECT_EQ(std::string(a, 6), std::string(b, 6));
  mac.SetExternal(bytes, 3);
  ASSERT_EQ(mac.Data(a), 3u);
  EXPECT_EQ(a, bytes);
  mac.SetExternal(nullptr, 0);
  EXPECT_EQ(Encode(mac), Encode(CT_MacAddr()));
  CT_MacAddr back;
  ASSERT_EQ(Decode(back, Encode(copy)).rc, 0);
  ASSERT_EQ(back.Data(a), 6u);
  EXPECT_EQ(std::string(a, 6), std::string(bytes, 6));
}

TEST(DomainTypes, IPv4Accessors) {
  CT_IPAddr ip;
  const unsigned char addr[] = {192, 168, 1, 2, 99};
  ASSERT_EQ(ip.Copy(reinterpret_cast<const char*>(addr), 4), 0);
  EXPECT_EQ(static_cast<unsigned int>(ip.GetInHostOrder()), 0xC0A80102u);
  // In memory the network-order value holds the address bytes in order, whatever the host.
  const int network = ip.GetInNetworkOrder();
  EXPECT_EQ(memcmp(&network, addr, 4), 0);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  EXPECT_EQ(static_cast<unsigned int>(network), 0x0201A8C0u);
#endif
  ASSERT_EQ(ip.Copy(reinterpret_cast<const char*>(addr), 5), 0);  // bytes beyond 4 are ignored
  EXPECT_EQ(static_cast<unsigned int>(ip.GetInHostOrder()), 0xC0A80102u);
  ASSERT_EQ(ip.Copy(reinterpret_cast<const char*>(addr), 3), 0);
  EXPECT_EQ(ip.GetInHostOrder(), 0);
  EXPECT_EQ(ip.GetInNetworkOrder(), 0);
  EXPECT_EQ(CT_IPAddr().GetInHostOrder(), 0);
}

TEST(DomainTypes, MeasurementMask) {
  CT_MeasurementType mask;
  ASSERT_EQ(mask.TurnBitsOn(0x1), 0);
  ASSERT_EQ(mask.TurnBitsOn(0x100), 0);
  const char* bytes;
  ASSERT_EQ(mask.Data(bytes), 4u);
  EXPECT_EQ(std::string(bytes, 4), std::string("\x01\x01\x00\x00", 4));
  EXPECT_FALSE(mask.Value().IsNull());

  CT_MeasurementType zero;
  ASSERT_EQ(zero.TurnBitsOn(0), 0);
  ASSERT_EQ(zero.Data(bytes), 4u);
  EXPECT_EQ(std::string(bytes, 4), std::string(4, '\0'));

  CT_MeasurementType odd;
  ASSERT_EQ(odd.Copy("abcdef", 6), 0);
  EXPECT_EQ(odd.TurnBitsOn(1), KELO_E_NOT_SUPPORTED);
  ASSERT_EQ(odd.Data(bytes), 6u);
  EXPECT_EQ(std::string(bytes, 6), "abcdef");
}

}  // namespace
