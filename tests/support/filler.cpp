// Deterministic filling of catalogue classes.
#include "support/filler.h"

#include <string>

namespace kelotest {

static void FillMember(CKeloHesObject& m, const kelo::MemberInfo& info, unsigned int seed,
                       int listItems);

template <class T, class V>
void Set(CKeloHesObject& m, V value) {
  static_cast<T&>(m) = value;
}

// Negative narrow integers, unsigned ones in their upper half, 64-bit values beyond 2^53.
static void FillScalar(CKeloHesObject& m, kelo::MemberKind kind, unsigned int seed) {
  const int s = static_cast<int>(seed);
  switch (kind) {
    case kelo::KELO_KIND_INT8:
      return Set<CKeloHesInt8>(m, static_cast<char>(-s));
    case kelo::KELO_KIND_UINT8:
      return Set<CKeloHesUInt8>(m, static_cast<unsigned char>(200 + s));
    case kelo::KELO_KIND_INT16:
      return Set<CKeloHesInt16>(m, static_cast<short>(-1000 - s));
    case kelo::KELO_KIND_UINT16:
      return Set<CKeloHesUInt16>(m, static_cast<unsigned short>(60000 + s));
    case kelo::KELO_KIND_INT32:
      return Set<CKeloHesInt32>(m, -100000 * s - 7);
    case kelo::KELO_KIND_UINT32:
      return Set<CKeloHesUInt32>(m, 0xFFFF0000u + seed);
    case kelo::KELO_KIND_INT64:
      return Set<CKeloHesInt64>(m, -(1ll << 53) - 3 * s - 1);
    case kelo::KELO_KIND_UINT64:
      return Set<CKeloHesUInt64>(m, (1ull << 63) + seed);
    case kelo::KELO_KIND_BOOL:
      return Set<CKeloHesBool>(m, seed % 2 == 0);
    case kelo::KELO_KIND_DOUBLE:
      return Set<CKeloHesDouble>(m, -1.25 * (s + 1));
    case kelo::KELO_KIND_DATE:
      return Set<CKeloHesDate>(m, 1733443200000ull + seed);
    case kelo::KELO_KIND_STRING: {
      // Alternates an empty string, non-ASCII BMP text and a null string.
      std::u16string text = u"Caf\u00e9 \u20ac\u4e2d #" + std::u16string(1, u'0' + seed % 10);
      CKeloHesString& str = static_cast<CKeloHesString&>(m);
      if (seed % 7 == 3) {
        str.SetNull(true);
      } else {
        if (seed % 7 == 5) text.clear();
        str.Copy(reinterpret_cast<const short*>(text.data()),
                 static_cast<unsigned int>(text.size()));
      }
      break;
    }
    case kelo::KELO_KIND_BINARY: {
      CKeloHesBinary& blob = static_cast<CKeloHesBinary&>(m);
      if (seed % 7 == 4) {
        blob.SetNull(true);
      } else {
        const unsigned char bytes[6] = {0x00, 0x1b, 0x63, static_cast<unsigned char>(seed),
                                        0xfe, 0x80};
        blob.Copy(reinterpret_cast<const char*>(bytes), seed % 7 == 6 ? 0 : 6);
      }
      break;
    }
    default:
      break;
  }
}

static void FillMember(CKeloHesObject& m, const kelo::MemberInfo& info, unsigned int seed,
                       int listItems) {
  switch (info.kind) {
    case kelo::KELO_KIND_VALUE: {
      const kelo::MemberInfo& value = *kelo::CatalogueMemberAt(*info.type, 0);
      FillScalar(value.access(static_cast<CKeloHesClass&>(m)), value.kind, seed);
      break;
    }
    case kelo::KELO_KIND_MESSAGE:
      FillObject(static_cast<CKeloHesClass&>(m), *info.type, seed, listItems);
      break;
    case kelo::KELO_KIND_LIST:
      for (int i = 0; i < listItems; ++i) {
        CKeloHesClass* item = NewFilled(*info.type, seed + 1 + static_cast<unsigned int>(i), 1);
        if (item && info.list->add(m, *item) != 0) delete item;
      }
      break;
    default:
      FillScalar(m, info.kind, seed);
  }
}

void FillObject(CKeloHesClass& object, const kelo::ClassInfo& info, unsigned int seed,
                int listItems) {
  const unsigned int n = kelo::CatalogueMemberCount(info);
  for (unsigned int i = 0; i < n; ++i) {
    const kelo::MemberInfo& member = *kelo::CatalogueMemberAt(info, i);
    FillMember(member.access(object), member, seed + i, listItems);
  }
}

CKeloHesClass* NewFilled(const kelo::ClassInfo& info, unsigned int seed, int listItems) {
  CKeloHesClass* object = info.create();
  if (object) FillObject(*object, info, seed, listItems);
  return object;
}

}  // namespace kelotest
