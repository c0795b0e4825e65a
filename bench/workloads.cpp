// Deterministic, realistic contents for the benchmark messages: SSID-like and URL strings, city
// and venue names in several scripts, 6-byte BSSIDs, coordinates, 64-bit ids and times.
#include "workloads.h"

#include <string.h>

#include <map>

#include "support/filler.h"

namespace kelobench {
namespace {

using namespace kelo::cl;

// Small linear congruential generator: the same values on every machine and every run.
struct Rng {
  unsigned long long state;
  explicit Rng(unsigned long long seed)
      : state(seed * 6364136223846793005ull + 1442695040888963407ull) {}
  unsigned int Next() {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<unsigned int>(state >> 33);
  }
  unsigned int Below(unsigned int n) { return Next() % n; }
};

// UTF-8 (as written in this file) to the 16-bit units a string holds; BMP text only.
std::u16string Units(const std::string& utf8) {
  std::u16string out;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      out.push_back(b);
      i += 1;
    } else if ((b & 0xE0) == 0xC0) {
      out.push_back(static_cast<char16_t>(((b & 0x1F) << 6) | (utf8[i + 1] & 0x3F)));
      i += 2;
    } else {
      out.push_back(static_cast<char16_t>(((b & 0x0F) << 12) | ((utf8[i + 1] & 0x3F) << 6) |
                                          (utf8[i + 2] & 0x3F)));
      i += 3;
    }
  }
  return out;
}

void Set(CKeloHesString& s, const std::string& utf8) {
  const std::u16string u = Units(utf8);
  s.Copy(reinterpret_cast<const short*>(u.data()), static_cast<unsigned int>(u.size()));
}

const char* const kCities[] = {"München", "Zürich",   "São Paulo", "Kraków", "東京",
                               "Köln",    "Göteborg", "Málaga",    "Αθήνα",  "Москва",
                               "Paris",   "Lisboa",   "İstanbul",  "Brno",   "서울"};
const char* const kCountries[] = {"Deutschland", "Schweiz",  "Brasil",  "Polska", "日本",
                                  "Deutschland", "Sverige",  "España",  "Ελλάδα", "Россия",
                                  "France",      "Portugal", "Türkiye", "Česko",  "대한민국"};
const char* const kVenues[] = {
    "Café Bräu",        "Bäckerei Müller",  "Hôtel de la Gare", "Łaźnia Café",     "喫茶 さくら",
    "Biergarten Süd",   "Kaffestugan",      "Estación Norte",   "Καφενείο Ωμέγα",  "Кофейня Пушкин",
    "Brasserie Élysée", "Pastelaria Belém", "Çay Bahçesi",      "Kavárna Rybička", "카페 하늘"};
const char* const kStreets[] = {"Hauptstraße",      "Bahnhofplatz",    "Rua Augusta",
                                "ulica Floriańska", "銀座通り",        "Schildergasse",
                                "Kungsgatan",       "Calle Larios",    "Οδός Ερμού",
                                "Тверская улица",   "Rue de Rivoli",   "Avenida da Liberdade",
                                "İstiklal Caddesi", "Náměstí Svobody", "명동길"};
const char* const kSsids[] = {"FreeWiFi",     "Telekom_FON", "eduroam", "CityNet", "Guest",
                              "Airport-Free", "Starlight",   "HOTSPOT", "MeshNet", "CoffeeHouse"};

void FillHeader(Header& h, unsigned int seed) {
  h.cnc = 262;
  h.cnu = 1400000 + static_cast<int>(seed);
  h.cnr = 7205759403792793600ll + seed;
  h.session = 918273645;
  h.os = 4;
}

void FillAp(ApRes& ap, int index) {
  Rng rng(static_cast<unsigned long long>(index) + 17);
  const unsigned int c = rng.Below(15);
  char buf[160];

  ap.checkCategory = static_cast<int>(rng.Below(4));

  ap.scanRes.cnrId = 4503599627370496ll + 7919ll * index;
  const unsigned char bssid[6] = {0x00,
                                  0x1b,
                                  0x63,
                                  static_cast<unsigned char>(index >> 16),
                                  static_cast<unsigned char>(index >> 8),
                                  static_cast<unsigned char>(index)};
  ap.scanRes.bssid.Copy(reinterpret_cast<const char*>(bssid), 6);
  ap.scanRes.systemQuality = static_cast<short>(rng.Below(100));

  ConnectivityRes& cr = ap.connectivityRes;
  cr.accessibility = static_cast<short>(rng.Below(3));
  snprintf(buf, sizeof buf, "10.%u.%u.1", rng.Below(256), rng.Below(256));
  Set(cr.dns, buf);
  snprintf(buf, sizeof buf, "192.168.%u.%u", rng.Below(256), 2 + rng.Below(250));
  Set(cr.clientIpAddr, buf);
  cr.wifiDevConnected = static_cast<int>(rng.Below(60));
  cr.connectTimeIp = static_cast<int>(200 + rng.Below(3000));
  cr.connectTimeInet = static_cast<int>(400 + rng.Below(6000));
  cr.connectedUsers = static_cast<int>(rng.Below(500));
  cr.bw = static_cast<int>(1000 + rng.Below(100000));
  cr.freshness = 1733443200000ll + 60000ll * rng.Below(100000);

  ap.captiveRes.serviceType = static_cast<char>(rng.Below(5));
  ap.captiveRes.loginType = static_cast<int>(rng.Below(4));
  ap.captiveRes.payType = static_cast<int>(rng.Below(3));
  ap.captiveRes.protocolType = static_cast<int>(rng.Below(6));

  snprintf(buf, sizeof buf, "%s-%05d", kSsids[index % 10], index);
  Set(ap.wispInfoRes.networkId, buf);

  ap.locationRes.lat = -60.0 + 120.0 * (rng.Next() / 2147483648.0);
  ap.locationRes.longt = -180.0 + 360.0 * (rng.Next() / 2147483648.0);
  ap.locationRes.mapType = static_cast<int>(rng.Below(3));
  ap.locationRes.mapperCnu = static_cast<int>(1400000 + rng.Below(900000));

  ap.publicInfo.category = static_cast<int>(rng.Below(40));
  snprintf(buf, sizeof buf, "%s %u", kVenues[c], 1 + rng.Below(99));
  Set(ap.publicInfo.name, buf);
  snprintf(buf, sizeof buf, "%s in %s — free Wi-Fi for guests, open daily", kVenues[c], kCities[c]);
  Set(ap.publicInfo.description, buf);

  Set(ap.addressRes.country, kCountries[c]);
  snprintf(buf, sizeof buf, "Region %u", 1 + rng.Below(30));
  Set(ap.addressRes.state, buf);
  Set(ap.addressRes.city, kCities[c]);
  snprintf(buf, sizeof buf, "%s %u", kStreets[c], 1 + rng.Below(250));
  Set(ap.addressRes.address, buf);

  snprintf(buf, sizeof buf, "%s Netz GmbH", kSsids[(index + 3) % 10]);
  Set(ap.generalInfoRes.organization, buf);
  snprintf(buf, sizeof buf, "%u.%u.%u.%u", 80 + rng.Below(100), rng.Below(256), rng.Below(256),
           1 + rng.Below(254));
  Set(ap.generalInfoRes.externalIp, buf);
  snprintf(buf, sizeof buf, "https://portal.%s.example.net/login?ap=%08x&lang=de",
           kSsids[index % 10], rng.Next());
  Set(ap.generalInfoRes.url, buf);
}

}  // namespace

CKeloHesClass* BuildTopology(int aps) {
  ResTopology* t = new ResTopology();
  t->resID = 77;
  FillHeader(t->header, 1);
  t->communityCacheRes.maxPartitions = 20;
  for (int i = 0; i < 20; ++i) {
    ResPartition* p = new ResPartition();
    char buf[96];
    snprintf(buf, sizeof buf, "partition-%02d", i);
    Set(p->pidName, buf);
    snprintf(buf, sizeof buf, "https://cache%02d.kelo.example.net/topology/v3/p%02d", i, i);
    Set(p->url, buf);
    t->communityCacheRes.partitionElemRes.Add(*p);
  }
  for (int i = 0; i < aps; ++i) {
    ApRes* ap = new ApRes();
    FillAp(*ap, i);
    t->apList.Add(*ap);
  }
  return t;
}

namespace {

CKeloHesClass* BuildBehavior() {
  ReqBehavior* r = new ReqBehavior();
  r->reqID = 4242;
  FillHeader(r->header, 2);
  for (int i = 0; i < 1000; ++i) {
    Rng rng(static_cast<unsigned long long>(i) + 1000);
    MeasureReq* m = new MeasureReq();
    m->recType = static_cast<int>(rng.Below(4));
    m->cnu = 1400000 + i;
    m->cnr = 7205759403792793600ll + i;
    const unsigned char bssid[6] = {0x00,
                                    0x24,
                                    0xa5,
                                    static_cast<unsigned char>(i >> 8),
                                    static_cast<unsigned char>(i),
                                    static_cast<unsigned char>(i * 7)};
    m->bssid.Copy(reinterpret_cast<const char*>(bssid), 6);
    m->crTmSrvr = 1733443200000ll + 1000ll * i;
    m->crTmLcl = m->crTmSrvr - 250;
    m->duration = 1000ll * rng.Below(3600);
    m->sessType = static_cast<int>(rng.Below(3));
    m->wifiRx = 1000ll * rng.Next();
    m->wifiTx = 100ll * rng.Next();
    m->cellRx = rng.Next();
    m->cellTx = rng.Next() / 4;
    m->totalConnTm = 1000ll * rng.Below(86400);
    m->apConnTm = 1000ll * rng.Below(3600);
    m->bw = static_cast<int>(1000 + rng.Below(100000));
    m->connDev = static_cast<int>(rng.Below(40));
    m->connDevBitmask = (1ll << 40) | rng.Next();
    r->measureList.Add(*m);

    EventReq* e = new EventReq();
    e->recType = static_cast<int>(rng.Below(8));
    e->cnu = 1400000 + i;
    e->evTmSrvr = 1733443200000ll + 1000ll * i + 17;
    e->evTmLcl = e->evTmSrvr - 250;
    e->duration = rng.Below(60000);
    e->clVer = 30010002;
    e->cnr = 7205759403792793600ll + i;
    char buf[64];
    snprintf(buf, sizeof buf, "%s-%s-%04d", kSsids[i % 10], i % 3 == 0 ? "Straße" : "Gäste", i);
    Set(e->ssid, buf);
    e->failReason = static_cast<int>(rng.Below(12));
    r->eventList.Add(*e);
  }
  return r;
}

CKeloHesClass* BuildConnect() {
  const kelo::ClassInfo* info = kelo::CatalogueFind("services.ConnectServiceResponse");
  return kelotest::NewFilled(*info, 11, 4);
}

CKeloHesClass* BuildBlob() {
  VarantoTypes::CT_MacAddr* blob = new VarantoTypes::CT_MacAddr();
  std::string bytes(4u << 20, '\0');
  Rng rng(4);
  for (char& b : bytes) b = static_cast<char>(rng.Next());
  blob->Copy(bytes.data(), static_cast<unsigned int>(bytes.size()));
  return blob;
}

CKeloHesClass* BuildText() {
  GeneralInfoReq* req = new GeneralInfoReq();
  // A million characters of 2- and 3-byte UTF-8 with some ASCII: Latin with diacritics, Greek,
  // Cyrillic, CJK and Hangul.
  const std::u16string pieces[] = {Units("Zürich "), Units("Αθήνα "), Units("Москва "),
                                   Units("東京都 "), Units("서울 "),  Units("Kraków ")};
  std::u16string text;
  text.reserve(1000000);
  for (int i = 0; text.size() < 1000000; ++i) text += pieces[i % 6];
  text.resize(1000000);
  req->organization.Copy(reinterpret_cast<const short*>(text.data()), 1000000);
  return req;
}

template <class T>
CKeloHesClass* Create() {
  return new T();
}

}  // namespace

const std::vector<Workload>& Workloads() {
  static const std::vector<Workload> all = {
      {"restopo_1", kReply, nullptr, "kelo.cl.ResTopology", 1, Create<ResTopology>,
       [] { return BuildTopology(1); }},
      {"restopo_100", kReply, nullptr, "kelo.cl.ResTopology", 100, Create<ResTopology>,
       [] { return BuildTopology(100); }},
      {"restopo_10000", kReply, nullptr, "kelo.cl.ResTopology", 10000, Create<ResTopology>,
       [] { return BuildTopology(10000); }},
      {"reqbehavior_1000", kCall, "reqBehavior", "kelo.cl.ReqBehavior", 2000, Create<ReqBehavior>,
       BuildBehavior},
      {"connectsvc", kReply, nullptr, "services.ConnectServiceResponse", 1,
       Create<services::ConnectServiceResponse>, BuildConnect},
      {"blob_4m", kBare, nullptr, "VarantoTypes.CT_MacAddr", 1, Create<VarantoTypes::CT_MacAddr>,
       BuildBlob},
      {"text_1m", kBare, nullptr, "kelo.cl.GeneralInfoReq", 1, Create<GeneralInfoReq>, BuildText},
  };
  return all;
}

const Workload* FindWorkload(const std::string& name) {
  for (const Workload& w : Workloads())
    if (name == w.name) return &w;
  return nullptr;
}

const CKeloHesClass& Filled(const Workload& w) {
  static std::map<std::string, std::unique_ptr<CKeloHesClass>> cache;
  std::unique_ptr<CKeloHesClass>& slot = cache[w.name];
  if (!slot) slot.reset(w.build());
  return *slot;
}

const std::string& Bytes(const Workload& w) {
  static std::map<std::string, std::string> cache;
  auto it = cache.find(w.name);
  if (it != cache.end()) return it->second;
  CKeloOutput out(0);
  if (Encode(w, Filled(w), out) != 0) abort();
  return cache[w.name] = std::string(out.Data(), out.DataSize());
}

int Encode(const Workload& w, const CKeloHesClass& object, CKeloOutput& out) {
  const CKeloHesObject& value = object;
  switch (w.framing) {
    case kCall:
      return KeloHessianBuildRequest(w.method, static_cast<unsigned int>(strlen(w.method)), object,
                                     out);
    case kReply: {
      // The library writes no reply envelope; the server side of a benchmark adds it.
      if (int rc = out.Append("r\x01\x00", 3); rc != 0) return rc;
      if (int rc = value.Serialize(out); rc != 0) return rc;
      return out.Append('z');
    }
    case kBare:
      return value.Serialize(out);
  }
  return -1;
}

int Decode(const Workload& w, const char* data, unsigned int size, CKeloHesClass& object) {
  CKeloInput in(data, size);
  CKeloInputParse parse(in);
  CKeloHesObject& value = object;
  switch (w.framing) {
    case kReply:
      return KeloHessianReadResponse(object, parse);
    case kCall: {
      // 'c' 00 01 'm' <2-byte length> <method>, then the request and 'z'.
      const char* p;
      if (int rc = in.Extract(p, 6); rc != 0) return rc;
      const unsigned int length =
          (static_cast<unsigned char>(p[4]) << 8) | static_cast<unsigned char>(p[5]);
      if (int rc = in.Extract(p, length); rc != 0) return rc;
      if (int rc = value.Deserialize(parse); rc != 0) return rc;
      if (int rc = in.Extract(p, 1); rc != 0) return rc;
      return *p == 'z' ? KELO_OK : KELO_E_FORMAT;
    }
    case kBare:
      return value.Deserialize(parse);
  }
  return -1;
}

}  // namespace kelobench
