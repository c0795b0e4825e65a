// The fifteen domain value types as one list: X(class name, value class it derives from, the
// value object inside). Feeds their definitions and the catalogue. Not installed.
#pragma once

#include <kelohessian/types/domain_types.h>

#define KELO_VALUE_TYPES(X)                                   \
  X(CT_CncId, CKeloInt32ValueClass, CKeloHesInt32)            \
  X(CT_CnuId, CKeloInt32ValueClass, CKeloHesInt32)            \
  X(CT_CnrID, CKeloInt64ValueClass, CKeloHesInt64)            \
  X(CT_Uint16, CKeloUInt16ValueClass, CKeloHesUInt16)         \
  X(CT_Uint32, CKeloUInt32ValueClass, CKeloHesUInt32)         \
  X(CT_RegistrationStatus, CKeloInt8ValueClass, CKeloHesInt8) \
  X(CT_NetworkType, CKeloInt8ValueClass, CKeloHesInt8)        \
  X(CT_Cipher, CKeloInt8ValueClass, CKeloHesInt8)             \
  X(CT_ApServiceType, CKeloInt8ValueClass, CKeloHesInt8)      \
  X(CT_ConntectionQuality, CKeloInt8ValueClass, CKeloHesInt8) \
  X(CT_Accessibility, CKeloInt16ValueClass, CKeloHesInt16)    \
  X(CT_MacAddr, CKeloBinaryValueClass, CKeloHesBinary)        \
  X(CT_SSID, CKeloBinaryValueClass, CKeloHesBinary)           \
  X(CT_IPAddr, CKeloBinaryValueClass, CKeloHesBinary)         \
  X(CT_MeasurementType, CKeloBinaryValueClass, CKeloHesBinary)
