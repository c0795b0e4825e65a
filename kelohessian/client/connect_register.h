/// \file
/// The connect and register exchanges: ReqConnect and its answer ResConnectV2 with their network,
/// site, log and update parameter groups, and ReqRegister and its answer ResRegister. OsInfo is
/// shared by both requests.
#pragma once

/// \class kelo::cl::OsInfo
/// The client's operating system: version numbers, edition and language; part of ReqConnect and
/// ReqRegister. Java class `kelo.cl.OsInfo`.
#define KELO_OsInfo_MEMBERS(X) \
  X(CKeloHesInt32, osMaj)      \
  X(CKeloHesInt32, osMin)      \
  X(CKeloHesInt32, osSp)       \
  X(CKeloHesInt32, osBuild)    \
  X(CKeloHesInt32, osRev)      \
  X(CKeloHesString, osEdit)    \
  X(CKeloHesInt32, language)

/// \class kelo::cl::OneTouchBtnData
/// One one-touch button: its index, link name and data, and parameter and image file names; an item
/// of ReqConnect::oneTouch. Java class `kelo.cl.OneTouchBtnData`.
#define KELO_OneTouchBtnData_MEMBERS(X) \
  X(CKeloHesInt32, index)               \
  X(CKeloHesString, linkName)           \
  X(CKeloHesString, linkData)           \
  X(CKeloHesString, prmFileName)        \
  X(CKeloHesString, imageFileName)

/// \class kelo::cl::ReqConnect
/// The connect request (the argument of the server's connect): an access point's BSSID and SSID
/// (bytes) and a description of the client. Answered by ResConnectV2. Holds a typed list, so it
/// cannot be copied. Java class `kelo.cl.ReqConnect`.
#define KELO_ReqConnect_MEMBERS(X)            \
  X(CKeloHesBinary, bssid)                    \
  X(CKeloHesBinary, ssid)                     \
  X(CKeloHesInt64, keloVer)                   \
  X(CKeloHesString, cellOperator)             \
  X(CKeloHesInt32, dataChannelMask)           \
  X(CKeloHesInt64, flags)                     \
  X(CKeloHesArray<OneTouchBtnData>, oneTouch) \
  X(OsInfo, osInfo)

/// \class kelo::cl::PcNetwork
/// Network parameters for PCs: packet retries and timeout, topology and scan intervals, most
/// topology spots. Java class `kelo.cl.PcNetwork`.
#define KELO_PcNetwork_MEMBERS(X)  \
  X(CKeloHesUInt16, pktRetry)      \
  X(CKeloHesUInt16, pktTimeout)    \
  X(CKeloHesUInt32, tplgyInterval) \
  X(CKeloHesUInt32, scanInterval)  \
  X(CKeloHesUInt16, maxTplgySpots)

/// \class kelo::cl::MobileNetwork
/// Network parameters for mobile devices: packet retries and timeout, transaction timeout,
/// background scan, most topology spots. Java class `kelo.cl.MobileNetwork`.
#define KELO_MobileNetwork_MEMBERS(X) \
  X(CKeloHesUInt16, pktRetry)         \
  X(CKeloHesUInt16, pktTimeout)       \
  X(CKeloHesUInt16, transTimeout)     \
  X(CKeloHesUInt32, bgScan)           \
  X(CKeloHesUInt16, maxTplgySpots)

/// \class kelo::cl::VerSite
/// A site: name, URL, path, one header name and value, and a body (bytes); an item of
/// ResConnectV2::verSite. Java class `kelo.cl.VerSite`.
#define KELO_VerSite_MEMBERS(X) \
  X(CKeloHesString, name)       \
  X(CKeloHesString, url)        \
  X(CKeloHesString, path)       \
  X(CKeloHesString, hdrName)    \
  X(CKeloHesString, hdrValue)   \
  X(CKeloHesBinary, body)

/// \class kelo::cl::Log
/// Logging parameters: the log file size and the server's time. Java class `kelo.cl.Log`.
#define KELO_Log_MEMBERS(X)   \
  X(CKeloHesUInt32, fileSize) \
  X(CKeloHesUInt64, serverTime)

/// \class kelo::cl::Update
/// An offered update: flags, version, title, description, download host, path and port, and size in
/// kilobytes. Java class `kelo.cl.Update`.
#define KELO_Update_MEMBERS(X) \
  X(CKeloHesUInt8, flags)      \
  X(CKeloHesUInt64, keloVer)   \
  X(CKeloHesString, title)     \
  X(CKeloHesString, descr)     \
  X(CKeloHesString, host)      \
  X(CKeloHesString, path)      \
  X(CKeloHesUInt16, port)      \
  X(CKeloHesUInt32, kbytes)

/// \class kelo::cl::ResConnectV2
/// The connect response, the answer to ReqConnect: a status and a text, network parameters, sites,
/// logging, an update offer and the link settings. Holds a typed list, so it cannot be copied. Java
/// class `kelo.cl.ResConnectV2`.
#define KELO_ResConnectV2_MEMBERS(X) \
  X(CKeloHesUInt8, status)           \
  X(CKeloHesInt32, maxPartSize)      \
  X(CKeloHesString, description)     \
  X(PcNetwork, pcNetwork)            \
  X(MobileNetwork, mobileNetwork)    \
  X(CKeloHesArray<VerSite>, verSite) \
  X(Log, log)                        \
  X(Update, update)                  \
  X(CKeloHesString, apUrl)           \
  X(CKeloHesUInt8, forceOpenUrl)

/// \class kelo::cl::Cmpgn
/// Campaign data of an installation: channel, campaign, keyword, creative, referring URL, landing
/// page, download date and cookie. Java class `kelo.cl.Cmpgn`.
#define KELO_Cmpgn_MEMBERS(X)     \
  X(CKeloHesInt32, channel)       \
  X(CKeloHesInt32, id)            \
  X(CKeloHesInt32, keyword)       \
  X(CKeloHesInt32, creative)      \
  X(CKeloHesString, referringUrl) \
  X(CKeloHesInt32, landPage)      \
  X(CKeloHesInt64, downloadDate)  \
  X(CKeloHesString, cookie)

/// \class kelo::cl::ReqRegister
/// The register request (the argument of the server's register): the client's version, device
/// identity, operating system and campaign. Answered by ResRegister. Java class
/// `kelo.cl.ReqRegister`.
#define KELO_ReqRegister_MEMBERS(X) \
  X(CKeloHesInt64, keloVer)         \
  X(CKeloHesBinary, mac)            \
  X(CKeloHesBinary, uniqId)         \
  X(CKeloHesString, manuf)          \
  X(CKeloHesString, model)          \
  X(CKeloHesInt32, secSinceInst)    \
  X(CKeloHesInt32, resX)            \
  X(CKeloHesInt32, resY)            \
  X(CKeloHesInt64, flags)           \
  X(OsInfo, osInfo)                 \
  X(Cmpgn, campaign)

/// \class kelo::cl::ResRegister
/// The register response, the answer to ReqRegister: a status and a text. Java class
/// `kelo.cl.ResRegister`.
#define KELO_ResRegister_MEMBERS(X) \
  X(CKeloHesUInt8, status)          \
  X(CKeloHesString, description)
