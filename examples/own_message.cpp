// Message classes of a program's own: a Shipment with an integer, a string and a list of Parcels,
// declared with the installed schema macros, sent as a call and answered as a reply through the
// one-call interface, with the server side reading the call through kelo::CallReader.
//   Shipment: M t "shop.Shipment" S "id" I ... S "label" S ... S "parcels" V t "[shop.Parcel" l n
//   ... z
#include <kelohessian/kelohessian.h>
#include <kelohessian/schema/message.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// The member tables: member type and wire name, in wire order.
#define SHOP_Parcel_MEMBERS(X) \
  X(CKeloHesInt32, grams)      \
  X(CKeloHesString, content)

#define SHOP_Shipment_MEMBERS(X) \
  X(CKeloHesInt32, id)           \
  X(CKeloHesString, label)       \
  X(CKeloHesArray<Parcel>, parcels)

// Declarations (they would sit in a header of the program)...
namespace shop {
KELO_LOCAL_MESSAGE(Parcel, CKeloHesClass, SHOP_Parcel_MEMBERS)
KELO_LOCAL_MESSAGE(Shipment, CKeloHesClass, SHOP_Shipment_MEMBERS)
}  // namespace shop

// ...and definitions, in one source file, with the wire namespace "shop".
namespace shop {
KELO_MESSAGE_DEFINE(Parcel, "shop", CKeloHesClass, SHOP_Parcel_MEMBERS)
KELO_MESSAGE_DEFINE(Shipment, "shop", CKeloHesClass, SHOP_Shipment_MEMBERS)
}  // namespace shop

namespace {

int Fail(const char* step, const kelo::Status& status) {
  std::fprintf(stderr, "%s: %s %s\n", step, status.name(), status.message());
  return 1;
}

}  // namespace

int main() {
  // The client fills a shipment; the list owns what it is given.
  shop::Shipment shipment;
  shipment.id = 7;
  if (kelo::Status s = kelo::FromUtf8("Zürich depot", shipment.label); !s) return Fail("label", s);
  for (int grams : {250, 1200}) {
    auto parcel = std::make_unique<shop::Parcel>();
    parcel->grams = grams;
    if (kelo::Status s = kelo::FromUtf8(grams < 1000 ? "tea" : "books", parcel->content); !s)
      return Fail("content", s);
    if (shipment.parcels.Add(std::move(parcel)) != 0) return 1;
  }
  std::vector<std::uint8_t> call;
  if (kelo::Status s = kelo::EncodeCall("ship", shipment, call); !s) return Fail("call", s);

  // The server reads the call and answers with what it received, one parcel heavier.
  kelo::CallReader reader(call.data(), call.size());
  std::string method;
  shop::Shipment received;
  kelo::Status s = reader.ReadMethod(method);
  if (s) s = reader.ReadArg(received);
  if (s) s = reader.Finish();
  if (!s) return Fail("server", s);
  shop::Parcel* extra = received.parcels.Emplace();
  if (!extra) return 1;
  extra->grams = 40;
  if (kelo::Status e = kelo::FromUtf8("receipt", extra->content); !e) return Fail("receipt", e);
  std::vector<std::uint8_t> reply;
  if (kelo::Status e = kelo::EncodeReply(received, reply); !e) return Fail("reply", e);

  // The client reads the reply.
  shop::Shipment answered;
  if (kelo::Status e = kelo::DecodeReply(reply.data(), reply.size(), answered); !e)
    return Fail("decode", e);
  std::printf("%s: shipment %d, %s, %zu bytes out, %zu back\n", method.c_str(),
              static_cast<int>(answered.id), kelo::ToUtf8(answered.label).c_str(), call.size(),
              reply.size());
  int total = 0;
  for (const shop::Parcel& parcel : answered.parcels) {
    std::printf("  %5d g  %s\n", static_cast<int>(parcel.grams),
                kelo::ToUtf8(parcel.content).c_str());
    total += parcel.grams;
  }
  // What the catalogue-style description of the class says about its members.
  const kelo::ClassInfo& info = shop::Shipment::mClassInfo;
  std::printf("%s has %u members; the last is \"%s\"\n", info.typeName,
              kelo::CatalogueMemberCount(info), kelo::CatalogueMemberAt(info, 2)->name);
  return method == "ship" && answered.parcels.Count() == 3 && total == 1490 ? 0 : 1;
}
