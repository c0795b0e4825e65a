// Result codes returned by every operation of the library. 0 is success; the six negative codes
// below are the only failures the library produces, and a code from a nested call is passed up
// unchanged.
#pragma once

enum : int {
  KELO_OK = 0,
  KELO_E_NOT_SUPPORTED = -1999993,  // operation or value the encoding cannot carry
  KELO_E_OUT_OF_RANGE = -1999994,   // a length beyond a 16-bit field, SetDataSize growing
  KELO_E_FORMAT = -1999995,         // unexpected marker, corrupt UTF-8, wrong type name
  KELO_E_EXHAUSTED = -1999996,      // fewer bytes remain than the item needs
  KELO_E_NO_MEMORY = -1999997,      // an allocation failed
  KELO_E_INVALID_STATE = -1999998   // cursor stepped back before its start, no members to write
};
