// The connect and register exchanges: ReqConnect and its answer ResConnectV2 with their network,
// site, log and update parameter groups, and ReqRegister and its answer ResRegister. OsInfo is
// shared by both requests.
#pragma once

#define KELO_OsInfo_MEMBERS(X) \
  X(CKeloHesInt32, osMaj)      \
  X(CKeloHesInt32, osMin)      \
  X(CKeloHesInt32, osSp)       \
  X(CKeloHesInt32, osBuild)    \
  X(CKeloHesInt32, osRev)      \
  X(CKeloHesString, osEdit)    \
  X(CKeloHesInt32, language)

#define KELO_OneTouchBtnData_MEMBERS(X) \
  X(CKeloHesInt32, index)               \
  X(CKeloHesString, linkName)           \
  X(CKeloHesString, linkData)           \
  X(CKeloHesString, prmFileName)        \
  X(CKeloHesString, imageFileName)

#define KELO_ReqConnect_MEMBERS(X)            \
  X(CKeloHesBinary, bssid)                    \
  X(CKeloHesBinary, ssid)                     \
  X(CKeloHesInt64, keloVer)                   \
  X(CKeloHesString, cellOperator)             \
  X(CKeloHesInt32, dataChannelMask)           \
  X(CKeloHesInt64, flags)                     \
  X(CKeloHesArray<OneTouchBtnData>, oneTouch) \
  X(OsInfo, osInfo)

#define KELO_PcNetwork_MEMBERS(X)  \
  X(CKeloHesUInt16, pktRetry)      \
  X(CKeloHesUInt16, pktTimeout)    \
  X(CKeloHesUInt32, tplgyInterval) \
  X(CKeloHesUInt32, scanInterval)  \
  X(CKeloHesUInt16, maxTplgySpots)

#define KELO_MobileNetwork_MEMBERS(X) \
  X(CKeloHesUInt16, pktRetry)         \
  X(CKeloHesUInt16, pktTimeout)       \
  X(CKeloHesUInt16, transTimeout)     \
  X(CKeloHesUInt32, bgScan)           \
  X(CKeloHesUInt16, maxTplgySpots)

#define KELO_VerSite_MEMBERS(X) \
  X(CKeloHesString, name)       \
  X(CKeloHesString, url)        \
  X(CKeloHesString, path)       \
  X(CKeloHesString, hdrName)    \
  X(CKeloHesString, hdrValue)   \
  X(CKeloHesBinary, body)

#define KELO_Log_MEMBERS(X)   \
  X(CKeloHesUInt32, fileSize) \
  X(CKeloHesUInt64, serverTime)

#define KELO_Update_MEMBERS(X) \
  X(CKeloHesUInt8, flags)      \
  X(CKeloHesUInt64, keloVer)   \
  X(CKeloHesString, title)     \
  X(CKeloHesString, descr)     \
  X(CKeloHesString, host)      \
  X(CKeloHesString, path)      \
  X(CKeloHesUInt16, port)      \
  X(CKeloHesUInt32, kbytes)

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

#define KELO_Cmpgn_MEMBERS(X)     \
  X(CKeloHesInt32, channel)       \
  X(CKeloHesInt32, id)            \
  X(CKeloHesInt32, keyword)       \
  X(CKeloHesInt32, creative)      \
  X(CKeloHesString, referringUrl) \
  X(CKeloHesInt32, landPage)      \
  X(CKeloHesInt64, downloadDate)  \
  X(CKeloHesString, cookie)

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

#define KELO_ResRegister_MEMBERS(X) \
  X(CKeloHesUInt8, status)          \
  X(CKeloHesString, description)
