/// \file
/// The one writer of Hessian 1.0: the bytes of every construct, big-endian, formatted into a small
/// buffer by a Put function (which the classic writers append piece by piece, so that a failure
/// leaves exactly the bytes it always left), and Writer, which appends whole constructs to any sink
/// with `int Append(const char* bytes, unsigned int length)` returning 0 or a result code
/// (CKeloOutput is one).
///
/// Names (types, headers, methods) carry their length in 16-bit units as Hessian counts it; the
/// caller says what that length is (the classic writers pass their byte counts unchanged).
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <kelohessian/hessian/result.h>

namespace kelo::wire {

// ---- Big-endian numbers ------------------------------------------------------------------------

/// Big-endian numbers of 2, 4 and 8 bytes, read from and written to p.
/// @{
inline unsigned int ReadU16(const char* p) {
  return (static_cast<unsigned int>(static_cast<unsigned char>(p[0])) << 8) |
         static_cast<unsigned char>(p[1]);
}
inline unsigned int ReadU32(const char* p) {
  return (ReadU16(p) << 16) | ReadU16(p + 2);
}
inline unsigned long long ReadU64(const char* p) {
  return (static_cast<unsigned long long>(ReadU32(p)) << 32) | ReadU32(p + 4);
}
inline void WriteU16(char* p, unsigned int v) {
  p[0] = static_cast<char>((v >> 8) & 0xFF);
  p[1] = static_cast<char>(v & 0xFF);
}
inline void WriteU32(char* p, unsigned int v) {
  WriteU16(p, v >> 16);
  WriteU16(p + 2, v & 0xFFFF);
}
inline void WriteU64(char* p, unsigned long long v) {
  WriteU32(p, static_cast<unsigned int>(v >> 32));
  WriteU32(p + 4, static_cast<unsigned int>(v));
}
/// @}

// ---- Constructs into a buffer: each returns the bytes it formatted ------------------------------

/// The longest construct a Put function formats: a marker and 8 bytes.
enum : unsigned int { kMaxPut = 9 };

/// 'I' and 4 bytes.
inline unsigned int PutInt(char* p, int32_t v) {
  p[0] = 'I';
  WriteU32(p + 1, static_cast<uint32_t>(v));
  return 5;
}
/// 'L', 'D' or 'd' (marker) and 8 bytes: a long, the bits of a double, a date in milliseconds.
inline unsigned int Put64(char* p, char marker, int64_t v) {
  p[0] = marker;
  WriteU64(p + 1, static_cast<uint64_t>(v));
  return 9;
}
/// 'D' and the bits of the double.
inline unsigned int PutDouble(char* p, double v) {
  int64_t bits;
  memcpy(&bits, &v, sizeof bits);
  return Put64(p, 'D', bits);
}
/// 'R' and the index of an earlier map or list.
inline unsigned int PutRef(char* p, uint32_t index) {
  p[0] = 'R';
  WriteU32(p + 1, index);
  return 5;
}
/// A marker and a 16-bit length: a chunk header ('s' 'S' 'x' 'X' 'b' 'B'), a name's ('t' 'H' 'm'),
/// a member's ('S').
inline unsigned int PutLength(char* p, char marker, unsigned int length) {
  p[0] = marker;
  WriteU16(p + 1, length);
  return 3;
}
/// 'l' and a list's 32-bit length.
inline unsigned int PutListLength(char* p, int32_t length) {
  p[0] = 'l';
  WriteU32(p + 1, static_cast<uint32_t>(length));
  return 5;
}
/// 'c' or 'r' (marker) and the version bytes major, minor.
inline unsigned int PutEnvelope(char* p, char marker, unsigned int major, unsigned int minor) {
  p[0] = marker;
  p[1] = static_cast<char>(major);
  p[2] = static_cast<char>(minor);
  return 3;
}

// ---- Whole constructs into a sink ---------------------------------------------------------------

/// A name as the wire carries it: its bytes, and its length in 16-bit units.
struct Name {
  const char* data;    ///< the name's bytes
  size_t size;         ///< how many
  unsigned int units;  ///< its length on the wire: 16-bit units (the classic writers: bytes)
};

/// Appends whole constructs to a sink. Every function returns 0 or the sink's result code (a
/// length beyond its field: KELO_E_OUT_OF_RANGE, nothing written).
template <class Sink>
class Writer {
 public:
  /// A writer appending to sink, which must outlive it.
  explicit Writer(Sink& sink) : sink_(sink) {}

  int Null() { return Byte('N'); }                                                ///< 'N'
  int Bool(bool v) { return Byte(v ? 'T' : 'F'); }                                ///< 'T' or 'F'
  int Int(int32_t v) { return Put(buffer_, PutInt(buffer_, v)); }                 ///< 'I'
  int Long(int64_t v) { return Put(buffer_, Put64(buffer_, 'L', v)); }            ///< 'L'
  int Double(double v) { return Put(buffer_, PutDouble(buffer_, v)); }            ///< 'D'
  int Date(int64_t millis) { return Put(buffer_, Put64(buffer_, 'd', millis)); }  ///< 'd'
  int Ref(uint32_t index) { return Put(buffer_, PutRef(buffer_, index)); }        ///< 'R'
  /// 'z': closes a map, list, fault or envelope.
  int End() { return Byte('z'); }

  /// One chunk: its header and its bytes (UTF-8 for text, whose length is units).
  int Chunk(char marker, const char* bytes, size_t size, unsigned int units) {
    if (int rc = Put(buffer_, PutLength(buffer_, marker, units)); rc != 0) return rc;
    return Put(bytes, size);
  }
  /// 'M', with 't' and the type when it has one.
  int Map(const Name* type) { return Open('M', type); }
  /// 'V', with 't' and the type when it has one, 'l' and the length when length is not null.
  int List(const Name* type, const int32_t* length) {
    if (int rc = Open('V', type); rc != 0) return rc;
    return length ? Put(buffer_, PutListLength(buffer_, *length)) : KELO_OK;
  }
  /// 'r' 't' type 'S' url: a remote object.
  int Remote(const Name& type, const Name& url) {
    if (int rc = Byte('r'); rc != 0) return rc;
    if (int rc = Named('t', type); rc != 0) return rc;
    return Named('S', url);
  }

  /// 'c' or 'r' and the version, 1.0 unless given.
  int Call(unsigned int major = 1, unsigned int minor = 0) {
    return Put(buffer_, PutEnvelope(buffer_, 'c', major, minor));
  }
  /// See Call.
  int Reply(unsigned int major = 1, unsigned int minor = 0) {
    return Put(buffer_, PutEnvelope(buffer_, 'r', major, minor));
  }
  int Header(const Name& name) { return Named('H', name); }  ///< 'H' and the name; a value follows
  int Method(const Name& name) { return Named('m', name); }  ///< 'm' and the method name
  /// 'f': opens a fault's key and value pairs, closed by End.
  int Fault() { return Byte('f'); }

  /// A marker and a name with its 16-bit length.
  int Named(char marker, const Name& name) {
    if (name.units > 0xFFFF) return KELO_E_OUT_OF_RANGE;
    if (int rc = Put(buffer_, PutLength(buffer_, marker, name.units)); rc != 0) return rc;
    return Put(name.data, name.size);
  }

  /// Bytes as they are.
  int Put(const char* bytes, size_t size) {
    if (size > 0xFFFFFFFFu) return KELO_E_OUT_OF_RANGE;
    return size ? sink_.Append(bytes, static_cast<unsigned int>(size)) : KELO_OK;
  }

 private:
  int Byte(char c) { return Put(&c, 1); }
  int Open(char marker, const Name* type) {
    if (int rc = Byte(marker); rc != 0) return rc;
    return type ? Named('t', *type) : KELO_OK;
  }

  Sink& sink_;
  char buffer_[kMaxPut];
};

}  // namespace kelo::wire
