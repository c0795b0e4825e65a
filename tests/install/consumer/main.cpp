// Built against the installed package only: writes a 32-bit integer, checks its bytes, reads it
// back; then declares message classes of its own with the installed schema macros (an integer, a
// string and a list of another own class) and round-trips one through a call and a reply.
// Exit code 0 when everything round-trips.
#include <kelohessian/kelohessian.h>
#include <kelohessian/schema/message.h>
#ifdef KELO_CONSUMER_JSON
#include <kelohessian/json/json.h>
#endif

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#define CONSUMER_Tag_MEMBERS(X) X(CKeloHesInt32, weight)

#define CONSUMER_Parcel_MEMBERS(X) \
  X(CKeloHesInt32, id)             \
  X(CKeloHesString, label)         \
  X(CKeloHesArray<Tag>, tags)

namespace consumer {
KELO_LOCAL_MESSAGE(Tag, CKeloHesClass, CONSUMER_Tag_MEMBERS)
KELO_LOCAL_MESSAGE(Parcel, CKeloHesClass, CONSUMER_Parcel_MEMBERS)
}  // namespace consumer

namespace consumer {
KELO_MESSAGE_DEFINE(Tag, "consumer", CKeloHesClass, CONSUMER_Tag_MEMBERS)
KELO_MESSAGE_DEFINE(Parcel, "consumer", CKeloHesClass, CONSUMER_Parcel_MEMBERS)
}  // namespace consumer

namespace {

int RoundTripInteger() {
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
  return 0;
}

int RoundTripOwnClass() {
  consumer::Parcel parcel;
  parcel.id = 42;
  parcel.label.Copy("box");
  const int weights[] = {3, 5};
  for (int weight : weights) {
    consumer::Tag* tag = new (std::nothrow) consumer::Tag();
    if (!tag) return 1;
    tag->weight = weight;
    if (parcel.tags.Add(*tag) != 0) {
      delete tag;
      return 1;
    }
  }
  CKeloOutput call(0);
  int rc = KeloHessianBuildRequest("send", 4, parcel, call);
  // The map, worked out from the wire rules: type name, then each member in table order.
  const char map[] =
      "Mt\x00\x0f"
      "consumer.Parcel"
      "S\x00\x02"
      "id"
      "I\x00\x00\x00\x2a"
      "S\x00\x05"
      "label"
      "S\x00\x03"
      "box"
      "S\x00\x04"
      "tags"
      "Vt\x00\x0d"
      "[consumer.Tag"
      "l\x00\x00\x00\x02"
      "Mt\x00\x0c"
      "consumer.Tag"
      "S\x00\x06"
      "weight"
      "I\x00\x00\x00\x03"
      "z"
      "Mt\x00\x0c"
      "consumer.Tag"
      "S\x00\x06"
      "weight"
      "I\x00\x00\x00\x05"
      "z"
      "z"
      "z";
  const unsigned int mapSize = sizeof map - 1;
  const unsigned int head = 3 + 3 + 4;  // 'c' 0 1, 'm' and the length, "send"
  if (rc != 0 || call.DataSize() != head + mapSize + 1 ||
      std::memcmp(call.Data() + head, map, mapSize) != 0) {
    std::fprintf(stderr, "consumer: own class written with rc %d, %u bytes\n", rc, call.DataSize());
    return 1;
  }
  char reply[sizeof map + 3] = {'r', 0x01, 0x00};
  std::memcpy(reply + 3, map, mapSize);
  reply[3 + mapSize] = 'z';
  CKeloInput in(reply, 3 + mapSize + 1);
  CKeloInputParse parse(in);
  consumer::Parcel back;
  rc = KeloHessianReadResponse(back, parse);
  const short* units = nullptr;
  const unsigned int length = back.label.Data(units);
  if (rc != 0 || static_cast<int>(back.id) != 42 || length != 3 || units[0] != 'b' ||
      back.tags.Count() != 2 || static_cast<int>(back.tags.GetAt(1)->weight) != 5) {
    std::fprintf(stderr, "consumer: own class read with rc %d: %s\n", rc,
                 parse.GetError() ? parse.GetError() : "");
    return 1;
  }
  const kelo::ClassInfo& info = consumer::Parcel::mClassInfo;
  if (kelo::CatalogueMemberCount(info) != 3 ||
      std::strcmp(kelo::CatalogueMemberAt(info, 2)->name, "tags") != 0) {
    std::fprintf(stderr, "consumer: own class description is wrong\n");
    return 1;
  }
  return 0;
}

// The one-call interface: a call of the installed library's client classes, and its JSON.
int RoundTripModern() {
  kelo::cl::ReqTopology request;
  std::vector<std::uint8_t> call;
  if (kelo::Status s = kelo::EncodeCall("getTopology", request, call); !s || call.size() < 4) {
    std::fprintf(stderr, "consumer: EncodeCall gave %s: %s\n", s.name(), s.message());
    return 1;
  }
#ifdef KELO_CONSUMER_JSON
  const std::string json = kelo::ToJson(request);
  if (json.empty() || json[0] != '{' || !kelo::FromJson(json, request)) {
    std::fprintf(stderr, "consumer: JSON round trip failed: %s\n", json.c_str());
    return 1;
  }
#endif
  return 0;
}

}  // namespace

int main() {
  if (RoundTripInteger() != 0 || RoundTripOwnClass() != 0 || RoundTripModern() != 0) return 1;
  std::printf("consumer: KeloHessian round trip ok\n");
  return 0;
}
