// A client session end to end: the five management-protocol exchanges (registration, login,
// connect, report update, topology) and the four client exchanges (topology, connect, register,
// behaviour), then a call that the server answers with a fault. Each request is framed as a call
// with kelo::EncodeCall and handed to a stand-in for the server inside this program, which reads
// the call with kelo::CallReader, checks what arrived, and answers with kelo::EncodeReply (or
// kelo::EncodeFault); the reply is then read into the response object with kelo::DecodeReply. The
// library does no I/O: the bytes go wherever the caller sends them, here straight to the
// stand-in.
#include <kelohessian/kelohessian.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace VarantoTypes;
using namespace kelo::cl;

using Bytes = std::vector<std::uint8_t>;

int g_failures = 0;

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "   MISMATCH: %s\n", what);
    ++g_failures;
  }
}

// A text that holds received bytes (an error text quoting a type name, a fault's message), fit
// for a terminal: control characters among them are shown as '?'.
std::string Printable(const std::string& text) {
  std::string shown = text;
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return shown;
}

std::string Text(const CKeloHesString& s) {
  return s.IsNull() ? "(null)" : kelo::ToUtf8(s);
}

void SetText(CKeloHesString& s, const char* utf8) {
  Check(kelo::FromUtf8(utf8, s).ok(), utf8);
}

// The stand-in server: reads the call of method `expected` with one argument into a request,
// runs handle to fill the response, and answers with the reply (or, for a handler that returns
// false, with a fault).
template <class Req, class Res, class Handler>
Bytes Serve(const char* expected, const Bytes& call, Handler handle) {
  Bytes reply;
  kelo::CallReader reader(call.data(), call.size());
  std::string method;
  Req request;
  kelo::Status s = reader.ReadMethod(method);
  if (s) s = reader.ReadArg(request);
  if (s) s = reader.Finish();
  if (!s) {
    std::fprintf(stderr, "   server could not read the call: %s %s\n", s.name(),
                 Printable(s.message()).c_str());
    return reply;
  }
  Check(method == expected, "method name");
  Res response;
  if (!handle(request, response)) {
    Check(kelo::EncodeFault("NotFound", "no such partition", reply).ok(), "fault");
    return reply;
  }
  Check(kelo::EncodeReply(response, reply).ok(), "reply");
  return reply;
}

// One exchange: frame the request, let the stand-in answer, read the reply.
template <class Req, class Res, class Handler>
kelo::Status Exchange(const char* method, const Req& request, Res& response, Handler handle) {
  Bytes call;
  if (kelo::Status s = kelo::EncodeCall(method, request, call); !s) {
    std::fprintf(stderr, "%s: building the call failed: %s\n", method, s.name());
    ++g_failures;
    return s;
  }
  std::printf("-> %s: call of %u bytes\n", method, static_cast<unsigned int>(call.size()));
  const Bytes reply = Serve<Req, Res>(method, call, handle);
  kelo::Status s = kelo::DecodeReply(reply.data(), reply.size(), response);
  if (s.is_fault()) {
    std::printf("<- %s: fault %s: %s\n", method, Printable(s.fault_code()).c_str(),
                Printable(s.fault_message()).c_str());
  } else if (!s) {
    std::fprintf(stderr, "%s: reading the reply failed with %s: %s\n", method, s.name(),
                 Printable(s.message()).c_str());
    ++g_failures;
  } else {
    std::printf("<- %s: reply of %u bytes\n", method, static_cast<unsigned int>(reply.size()));
  }
  return s;
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
        return true;
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
        return true;
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
        return true;
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
        return true;
      })) {
    std::printf("   sent connQ 3, read success %s\n",
                static_cast<bool>(reportRsp.m_success) ? "true" : "false");
    Check(static_cast<bool>(reportRsp.m_success), "m_success");
  }

  services::TopologyServiceRequest topo;
  FillServiceHeader(topo, 5);
  topo.clientIP.Copy("192.168.1.20");
  for (int i = 0; i < 3; ++i) {
    CommEngine::VKAP_IE_TopologyReqV3* ap = topo.req.Emplace();
    if (!ap) return;
    ap->m_cnrId = 9000 + i;
    ap->m_measurmentMask.TurnBitsOn(1u << i);
  }
  services::TopologyServiceResponse topoRsp;
  if (Exchange("topology", topo, topoRsp, [](auto& rq, auto& rs) {
        Check(rq.req.Count() == 3, "req count");
        rs.rspID = rq.reqID;
        int i = 0;
        for (const CommEngine::VKAP_IE_TopologyReqV3& req : rq.req) {
          auto ap = std::make_unique<CommEngine::VKAP_IE_TopologyRspV3>();
          ap->m_cnrId = static_cast<long long>(req.m_cnrId);
          ap->m_systemQuality = static_cast<unsigned short>(80 + i++);
          if (rs.rsp.Add(std::move(ap)) != 0) return false;
        }
        return true;
      })) {
    std::printf("   sent %d access points, read %d:", topo.req.Count(), topoRsp.rsp.Count());
    for (const CommEngine::VKAP_IE_TopologyRspV3& ap : topoRsp.rsp)
      std::printf(" cnr %lld quality %u;", static_cast<long long>(ap.m_cnrId),
                  static_cast<unsigned int>(ap.m_systemQuality));
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
  ReqPartition* part = topo.commCacheReq.partitionElemReq.Emplace();
  ApReq* ap = topo.apList.Emplace();
  if (!part || !ap) return;
  SetText(part->pidName, "north");
  ap->scanReq.bssid.Copy("\x00\x1b\x63\x84\x45\xe6", 6);
  ap->scanReq.rssi = -61;
  SetText(ap->addressReq.city, "Z\u00fcrich");
  ResTopology topoRes;
  if (Exchange("getTopology", topo, topoRes, [](auto& rq, auto& rs) {
        Check(rq.apList.Count() == 1 && static_cast<short>(rq.apList.GetAt(0)->scanReq.rssi) == -61,
              "rssi");
        rs.resID = rq.reqID;
        rs.communityCacheRes.maxPartitions = 20;
        for (int i = 0; i < 2; ++i) {
          ApRes* res = rs.apList.Emplace();
          if (!res) return false;
          res->scanRes.cnrId = 5000 + i;
          res->locationRes.lat = 47.3769;
          res->locationRes.longt = 8.5417;
          SetText(res->addressRes.city, "Z\u00fcrich");
          SetText(res->publicInfo.name, "Caf\u00e9 Odeon");
        }
        return true;
      })) {
    std::printf("   sent 1 access point, read %d:", topoRes.apList.Count());
    for (const ApRes& r : topoRes.apList) {
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
  SetText(connect.cellOperator, "Op\u00e9rateur");
  ResConnectV2 connectRes;
  if (Exchange("connect", connect, connectRes, [](auto& rq, auto& rs) {
        Check(static_cast<long long>(rq.keloVer) == -1, "keloVer");
        rs.resID = rq.reqID;
        rs.status = 0;
        rs.maxPartSize = 64;
        SetText(rs.description, "welcome");
        rs.update.port = 443;
        VerSite* site = rs.verSite.Emplace();
        if (!site) return false;
        SetText(site->url, "https://example.invalid/check");
        return true;
      })) {
    std::printf(
        "   sent keloVer -1, read \"%s\", maxPartSize %d, update port %u, %d check site(s)\n",
        Text(connectRes.description).c_str(), static_cast<int>(connectRes.maxPartSize),
        static_cast<unsigned int>(connectRes.update.port), connectRes.verSite.Count());
    Check(connectRes.verSite.Count() == 1, "verSite count");
  }

  ReqRegister reg;
  FillHeader(reg, 13);
  SetText(reg.manuf, "Acme");
  SetText(reg.model, "Phone \u03a9");
  reg.osInfo.osMaj = 14;
  reg.campaign.id = 99;
  ResRegister regRes;
  if (Exchange("register", reg, regRes, [](auto& rq, auto& rs) {
        Check(static_cast<int>(rq.osInfo.osMaj) == 14 && static_cast<int>(rq.campaign.id) == 99,
              "osInfo/campaign");
        rs.resID = rq.reqID;
        rs.status = 1;
        SetText(rs.description, "registered");
        return true;
      })) {
    std::printf("   sent model \"%s\", read status %u \"%s\"\n", Text(reg.model).c_str(),
                static_cast<unsigned int>(static_cast<unsigned char>(regRes.status)),
                Text(regRes.description).c_str());
    Check(static_cast<unsigned char>(regRes.status) == 1, "status");
  }

  ReqBehavior behavior;
  FillHeader(behavior, 14);
  MeasureReq* m = behavior.measureList.Emplace();
  EventReq* e = behavior.eventList.Emplace();
  if (!m || !e) return;
  m->setBssid("\x00\x1b\x63\x84\x45\xe6", 6);
  m->wifiRx = 123456789012ll;
  SetText(e->ssid, "HomeNet");
  e->failReason = 2;
  ResBehavior behaviorRes;
  if (Exchange("reportBehavior", behavior, behaviorRes, [](auto& rq, auto& rs) {
        Check(rq.measureList.Count() == 1 && rq.eventList.Count() == 1, "record counts");
        rs.resID = rq.reqID;
        rs.status = 0;
        SetText(rs.desc, "stored");
        return true;
      })) {
    std::printf("   sent 1 measurement and 1 event, read status %u \"%s\"\n",
                static_cast<unsigned int>(static_cast<unsigned char>(behaviorRes.status)),
                Text(behaviorRes.desc).c_str());
  }

  // A request the server cannot answer: it replies with a Hessian fault, which arrives as a
  // status whatever response class was asked for.
  ReqTopology unknown;
  FillHeader(unknown, 15);
  ReqPartition* missing = unknown.commCacheReq.partitionElemReq.Emplace();
  if (!missing) return;
  SetText(missing->pidName, "atlantis");
  ResTopology none;
  const kelo::Status fault =
      Exchange("getTopology", unknown, none, [](auto&, auto&) { return false; });
  Check(fault.is_fault() && fault.fault_code() == "NotFound", "fault");
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
  std::printf("session complete: 9 exchanges and a fault\n");
  return 0;
}
