// A client session end to end: the five management-protocol exchanges (registration, login,
// connect, report update, topology) and the four client exchanges (topology, connect, register,
// behaviour). Each request is framed as a call with KeloHessianBuildRequest and handed to a
// stand-in for the server inside this program, which reads the call back into a request object,
// checks what arrived, and answers with a reply envelope; the reply is then read into the
// response object with KeloHessianReadResponse. The library does no I/O: the bytes go wherever
// the caller sends them, here straight to the stand-in.
#include <kelohessian/kelohessian.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

using namespace VarantoTypes;
using namespace kelo::cl;

int g_failures = 0;

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "   MISMATCH: %s\n", what);
    ++g_failures;
  }
}

// The parse context's error text, fit for a terminal: it can quote received bytes as they came
// (a type name, say), so control characters among them are shown as '?'.
std::string ErrorText(const CKeloInputParse& parse) {
  std::string text(parse.GetError() ? parse.GetError() : "", parse.GetErrorLength());
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return text;
}

std::string Text(const CKeloHesString& s) {
  const short* units;
  const unsigned int n = s.Data(units);
  std::string out;
  for (unsigned int i = 0; i < n; ++i) {
    const unsigned int u = static_cast<unsigned short>(units[i]);
    if (u < 0x80) {
      out.push_back(static_cast<char>(u));
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04X", u);
      out += buf;
    }
  }
  return s.IsNull() ? "(null)" : out;
}

void SetText(CKeloHesString& s, const char16_t* text) {
  unsigned int n = 0;
  while (text[n]) ++n;
  s.Copy(reinterpret_cast<const short*>(text), n);
}

std::string Bytes(const CKeloOutput& out) {
  return std::string(out.Data(), out.DataSize());
}

// The stand-in server: reads 'c' 00 01 'm' <method> <request> 'z' into request, then runs handle
// to fill response, and writes 'r' 01 00 <response> 'z'.
template <class Req, class Res, class Handler>
std::string Serve(const std::string& call, Handler handle) {
  std::string reply;
  if (call.size() < 7 || call.compare(0, 4, std::string("c\x00\x01m", 4)) != 0) return reply;
  const unsigned int length =
      (static_cast<unsigned char>(call[4]) << 8) | static_cast<unsigned char>(call[5]);
  CKeloInput in(call.data(), static_cast<unsigned int>(call.size()));
  const char* skipped;
  in.Extract(skipped, 6 + length);
  CKeloInputParse parse(in);
  Req request;
  CKeloHesObject& target = request;
  if (int rc = target.Deserialize(parse); rc != 0) {
    std::fprintf(stderr, "   server could not read the call: %d %s\n", rc,
                 ErrorText(parse).c_str());
    return reply;
  }
  Res response;
  handle(request, response);
  CKeloOutput out(0);
  out.Append("r\x01\x00", 3);
  const CKeloHesObject& source = response;
  if (source.Serialize(out) != 0 || out.Append('z') != 0) return reply;
  return Bytes(out);
}

// One exchange: frame the request, let the stand-in answer, read the reply.
template <class Req, class Res, class Handler>
bool Exchange(const char* method, const Req& request, Res& response, Handler handle) {
  CKeloOutput call(0);
  if (int rc = KeloHessianBuildRequest(method, static_cast<unsigned int>(std::strlen(method)),
                                       request, call);
      rc != 0) {
    std::fprintf(stderr, "%s: building the call failed with %d\n", method, rc);
    ++g_failures;
    return false;
  }
  std::printf("-> %s: call of %u bytes\n", method, call.DataSize());
  const std::string reply = Serve<Req, Res>(Bytes(call), handle);
  CKeloInput in(reply.data(), static_cast<unsigned int>(reply.size()));
  CKeloInputParse parse(in);
  if (int rc = KeloHessianReadResponse(response, parse); rc != 0) {
    std::fprintf(stderr, "%s: reading the reply failed with %d: %s\n", method, rc,
                 ErrorText(parse).c_str());
    ++g_failures;
    return false;
  }
  std::printf("<- %s: reply of %u bytes\n", method, static_cast<unsigned int>(reply.size()));
  return true;
}

template <class Envelope>
void FillServiceHeader(Envelope& e, int id) {
  e.serviceHeader.m_CNCID = 1001;
  e.serviceHeader.m_CNUID = 2002;
  e.serviceHeader.m_CNR = 3003;
  e.serviceHeader.m_SessionID = 77;
  e.reqID = id;
}

void ManagementSession() {
  const char mac[6] = {0x00, 0x1b, 0x63, static_cast<char>(0x84), 0x45, static_cast<char>(0xe6)};

  services::RegistrationServiceRequest reg;
  FillServiceHeader(reg, 1);
  reg.req.m_swVersion = 0x00030002u;
  reg.req.m_macAddr.Copy(mac, 6);
  reg.req.m_osMajor = 10;
  services::RegistrationServiceResponse regRsp;
  if (Exchange("register", reg, regRsp, [](auto& rq, auto& rs) {
        Check(static_cast<unsigned int>(rq.req.m_swVersion) == 0x00030002u, "m_swVersion");
        rs.rspID = rq.reqID;
        rs.rsp.m_registrationStatus = 1;
        rs.rsp.m_cncId = 4711;
      })) {
    std::printf("   sent swVersion 0x%08x, read status %d, cncId %d\n",
                static_cast<unsigned int>(reg.req.m_swVersion),
                static_cast<char>(regRsp.rsp.m_registrationStatus),
                static_cast<int>(regRsp.rsp.m_cncId));
    Check(static_cast<int>(regRsp.rsp.m_cncId) == 4711, "m_cncId");
  }

  services::LoginServiceRequest login;
  FillServiceHeader(login, 2);
  login.req.m_cncId = 4711;
  login.req.m_macAddr.Copy(mac, 6);
  login.req.m_ssId.Copy("HomeNet", 7);
  login.req.m_userName.Copy("alice", 5);
  login.req.m_password.Copy("s3cret", 6);
  services::LoginServiceResponse loginRsp;
  if (Exchange("login", login, loginRsp, [](auto& rq, auto& rs) {
        const char* user;
        Check(rq.req.m_userName.Data(user) == 5 && std::memcmp(user, "alice", 5) == 0,
              "m_userName");
        const unsigned char ip[4] = {10, 0, 0, 1};
        rs.rspID = rq.reqID;
        rs.m_response.m_connStatues = 0;
        rs.m_response.m_commServerIP.Copy(reinterpret_cast<const char*>(ip), 4);
        rs.m_response.m_cookie = 0x5eed;
        rs.m_response.m_cnuId = 2002;
      })) {
    const unsigned int server =
        static_cast<unsigned int>(loginRsp.m_response.m_commServerIP.GetInHostOrder());
    std::printf("   sent user alice, read cookie 0x%x, server %u.%u.%u.%u, cnuId %d\n",
                static_cast<int>(loginRsp.m_response.m_cookie), server >> 24, (server >> 16) & 255,
                (server >> 8) & 255, server & 255, static_cast<int>(loginRsp.m_response.m_cnuId));
    Check(static_cast<int>(loginRsp.m_response.m_cookie) == 0x5eed, "m_cookie");
  }

  services::ConnectServiceRequest connect;
  FillServiceHeader(connect, 3);
  connect.req.m_cookie.Copy("\x5e\xed", 2);
  connect.req.m_cnrId = 1234567890123ll;
  connect.req.m_featureBitMap = 0x11;
  services::ConnectServiceResponse connectRsp;
  if (Exchange("connect", connect, connectRsp, [](auto& rq, auto& rs) {
        Check(static_cast<long long>(rq.req.m_cnrId) == 1234567890123ll, "m_cnrId");
        rs.rspID = rq.reqID;
        rs.m_connectRsp.m_featureBitMap = 0x11;
        rs.m_networkProfile.m_topologyFreq = 300;
        rs.m_loggerProfile.m_logFileSize = 1 << 20;
      })) {
    std::printf("   sent cnrId %lld, read featureBitMap 0x%x, topologyFreq %u, logFileSize %d\n",
                static_cast<long long>(connect.req.m_cnrId),
                static_cast<unsigned int>(connectRsp.m_connectRsp.m_featureBitMap),
                static_cast<unsigned int>(connectRsp.m_networkProfile.m_topologyFreq),
                static_cast<int>(connectRsp.m_loggerProfile.m_logFileSize));
    Check(static_cast<unsigned int>(connectRsp.m_networkProfile.m_topologyFreq) == 300,
          "m_topologyFreq");
  }

  services::ReportUpdateServiceRequest report;
  FillServiceHeader(report, 4);
  report.vkap_ie_connectionReport.m_connQ = 3;
  report.vkap_ie_connectionReport.m_roamingReson = static_cast<char>(-1);
  services::ReportUpdateServiceResponse reportRsp;
  if (Exchange("reportUpdate", report, reportRsp, [](auto& rq, auto& rs) {
        Check(static_cast<signed char>(rq.vkap_ie_connectionReport.m_roamingReson) == -1,
              "m_roamingReson");
        rs.rspID = rq.reqID;
        rs.m_success = true;
      })) {
    std::printf("   sent connQ 3, read success %s\n",
                static_cast<bool>(reportRsp.m_success) ? "true" : "false");
    Check(static_cast<bool>(reportRsp.m_success), "m_success");
  }

  services::TopologyServiceRequest topo;
  FillServiceHeader(topo, 5);
  topo.clientIP.Copy("192.168.1.20");
  for (int i = 0; i < 3; ++i) {
    CommEngine::VKAP_IE_TopologyReqV3* ap = new CommEngine::VKAP_IE_TopologyReqV3();
    ap->m_cnrId = 9000 + i;
    ap->m_measurmentMask.TurnBitsOn(1u << i);
    topo.req.Add(*ap);
  }
  services::TopologyServiceResponse topoRsp;
  if (Exchange("topology", topo, topoRsp, [](auto& rq, auto& rs) {
        Check(rq.req.Count() == 3, "req count");
        rs.rspID = rq.reqID;
        for (int i = 0; i < rq.req.Count(); ++i) {
          CommEngine::VKAP_IE_TopologyRspV3* ap = new CommEngine::VKAP_IE_TopologyRspV3();
          ap->m_cnrId = static_cast<long long>(rq.req.GetAt(i)->m_cnrId);
          ap->m_systemQuality = static_cast<unsigned short>(80 + i);
          rs.rsp.Add(*ap);
        }
      })) {
    std::printf("   sent %d access points, read %d:", topo.req.Count(), topoRsp.rsp.Count());
    for (int i = 0; i < topoRsp.rsp.Count(); ++i)
      std::printf(" cnr %lld quality %u;", static_cast<long long>(topoRsp.rsp.GetAt(i)->m_cnrId),
                  static_cast<unsigned int>(topoRsp.rsp.GetAt(i)->m_systemQuality));
    std::printf("\n");
    Check(topoRsp.rsp.Count() == 3, "rsp count");
  }
}

template <class Message>
void FillHeader(Message& m, int id) {
  m.reqID = id;
  m.header.cnc = 4711;
  m.header.cnu = 2002;
  m.header.cnr = 1234567890123ll;
  m.header.session = 77;
  m.header.os = 3;
}

void ClientSession() {
  ReqTopology topo;
  FillHeader(topo, 11);
  topo.generalReq.isLan = 1;
  ReqPartition* part = new ReqPartition();
  SetText(part->pidName, u"north");
  topo.commCacheReq.partitionElemReq.Add(*part);
  ApReq* ap = new ApReq();
  ap->scanReq.bssid.Copy("\x00\x1b\x63\x84\x45\xe6", 6);
  ap->scanReq.rssi = -61;
  SetText(ap->addressReq.city, u"Z\u00fcrich");
  topo.apList.Add(*ap);
  ResTopology topoRes;
  if (Exchange("getTopology", topo, topoRes, [](auto& rq, auto& rs) {
        Check(rq.apList.Count() == 1 && static_cast<short>(rq.apList.GetAt(0)->scanReq.rssi) == -61,
              "rssi");
        rs.resID = rq.reqID;
        rs.communityCacheRes.maxPartitions = 20;
        for (int i = 0; i < 2; ++i) {
          ApRes* res = new ApRes();
          res->scanRes.cnrId = 5000 + i;
          res->locationRes.lat = 47.3769;
          res->locationRes.longt = 8.5417;
          SetText(res->addressRes.city, u"Z\u00fcrich");
          SetText(res->publicInfo.name, u"Caf\u00e9 Odeon");
          rs.apList.Add(*res);
        }
      })) {
    std::printf("   sent 1 access point, read %d:", topoRes.apList.Count());
    for (int i = 0; i < topoRes.apList.Count(); ++i) {
      const ApRes& r = *topoRes.apList.GetAt(i);
      std::printf(" cnr %lld \"%s\" in %s at %.4f,%.4f;", static_cast<long long>(r.scanRes.cnrId),
                  Text(r.publicInfo.name).c_str(), Text(r.addressRes.city).c_str(),
                  static_cast<double>(r.locationRes.lat), static_cast<double>(r.locationRes.longt));
    }
    std::printf("\n");
    Check(topoRes.apList.Count() == 2, "apList count");
  }

  ReqConnect connect;
  FillHeader(connect, 12);
  connect.keloVer = -1;
  connect.ssid.Copy("HomeNet", 7);
  SetText(connect.cellOperator, u"Op\u00e9rateur");
  ResConnectV2 connectRes;
  if (Exchange("connect", connect, connectRes, [](auto& rq, auto& rs) {
        Check(static_cast<long long>(rq.keloVer) == -1, "keloVer");
        rs.resID = rq.reqID;
        rs.status = 0;
        rs.maxPartSize = 64;
        SetText(rs.description, u"welcome");
        rs.update.port = 443;
        VerSite* site = new VerSite();
        SetText(site->url, u"https://example.invalid/check");
        rs.verSite.Add(*site);
      })) {
    std::printf(
        "   sent keloVer -1, read \"%s\", maxPartSize %d, update port %u, %d check site(s)\n",
        Text(connectRes.description).c_str(), static_cast<int>(connectRes.maxPartSize),
        static_cast<unsigned int>(connectRes.update.port), connectRes.verSite.Count());
    Check(connectRes.verSite.Count() == 1, "verSite count");
  }

  ReqRegister reg;
  FillHeader(reg, 13);
  SetText(reg.manuf, u"Acme");
  SetText(reg.model, u"Phone \u03a9");
  reg.osInfo.osMaj = 14;
  reg.campaign.id = 99;
  ResRegister regRes;
  if (Exchange("register", reg, regRes, [](auto& rq, auto& rs) {
        Check(static_cast<int>(rq.osInfo.osMaj) == 14 && static_cast<int>(rq.campaign.id) == 99,
              "osInfo/campaign");
        rs.resID = rq.reqID;
        rs.status = 1;
        SetText(rs.description, u"registered");
      })) {
    std::printf("   sent model \"%s\", read status %u \"%s\"\n", Text(reg.model).c_str(),
                static_cast<unsigned int>(static_cast<unsigned char>(regRes.status)),
                Text(regRes.description).c_str());
    Check(static_cast<unsigned char>(regRes.status) == 1, "status");
  }

  ReqBehavior behavior;
  FillHeader(behavior, 14);
  MeasureReq* m = new MeasureReq();
  m->setBssid("\x00\x1b\x63\x84\x45\xe6", 6);
  m->wifiRx = 123456789012ll;
  behavior.measureList.Add(*m);
  EventReq* e = new EventReq();
  SetText(e->ssid, u"HomeNet");
  e->failReason = 2;
  behavior.eventList.Add(*e);
  ResBehavior behaviorRes;
  if (Exchange("reportBehavior", behavior, behaviorRes, [](auto& rq, auto& rs) {
        Check(rq.measureList.Count() == 1 && rq.eventList.Count() == 1, "record counts");
        rs.resID = rq.reqID;
        rs.status = 0;
        SetText(rs.desc, u"stored");
      })) {
    std::printf("   sent 1 measurement and 1 event, read status %u \"%s\"\n",
                static_cast<unsigned int>(static_cast<unsigned char>(behaviorRes.status)),
                Text(behaviorRes.desc).c_str());
  }
}

}  // namespace

int main() {
  std::printf("management protocol\n");
  ManagementSession();
  std::printf("client messages\n");
  ClientSession();
  if (g_failures) {
    std::fprintf(stderr, "%d mismatch(es)\n", g_failures);
    return 1;
  }
  std::printf("session complete: 9 exchanges\n");
  return 0;
}
