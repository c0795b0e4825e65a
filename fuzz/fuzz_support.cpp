// Shared checks and catalogue walks of the fuzz targets.
#include "fuzz_support.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace kelofuzz {

const char* g_currentInput = nullptr;

void Fail(const char* file, int line, const char* what) {
  fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
  if (g_currentInput) fprintf(stderr, "  input: %s\n", g_currentInput);
  fflush(stderr);
  abort();
}

void CheckContract(int rc, const CKeloInputParse& parse) {
  if (rc != 0) {
    KELO_FUZZ_CHECK(rc >= KELO_E_INVALID_STATE && rc <= KELO_E_NOT_SUPPORTED);
  }
  const char* text = parse.GetError();
  if (text) {
    // Reading the byte at the stated length proves (under the sanitizers) that the text is that
    // long; it must be the terminating zero.
    KELO_FUZZ_CHECK(text[parse.GetErrorLength()] == '\0');
  } else {
    KELO_FUZZ_CHECK(parse.GetErrorLength() == 0);
  }
}

const kelo::ClassInfo& ClassFor(uint8_t selector) {
  return *kelo::CatalogueAt(selector % kelo::CatalogueSize());
}

namespace {

struct ListTable {
  ListMember items[256];
  unsigned int count;
  ListTable() : count(0) {
    for (unsigned int c = 0; c < kelo::CatalogueSize(); ++c) {
      const kelo::ClassInfo* info = kelo::CatalogueAt(c);
      for (unsigned int m = 0; m < info->memberCount; ++m) {
        if (info->members[m].kind == kelo::KELO_KIND_LIST && count < 256)
          items[count++] = ListMember{info, &info->members[m]};
      }
    }
  }
};

const ListTable& Lists() {
  static const ListTable table;
  return table;
}

}  // namespace

unsigned int ListMemberCount() {
  return Lists().count;
}

ListMember ListMemberAt(unsigned int index) {
  return Lists().items[index % Lists().count];
}

bool HoldsSurrogate(const CKeloHesString& text) {
  if (text.IsNull()) return false;
  const short* units;
  const unsigned int n = text.Data(units);
  for (unsigned int i = 0; i < n; ++i) {
    const unsigned int u = static_cast<unsigned short>(units[i]);
    if (u >= 0xD800 && u <= 0xDFFF) return true;
  }
  return false;
}

bool HoldsSurrogate(CKeloHesClass& object, const kelo::ClassInfo& info) {
  const unsigned int n = kelo::CatalogueMemberCount(info);
  for (unsigned int i = 0; i < n; ++i) {
    const kelo::MemberInfo& member = *kelo::CatalogueMemberAt(info, i);
    CKeloHesObject& value = member.access(object);
    switch (member.kind) {
      case kelo::KELO_KIND_STRING:
        if (HoldsSurrogate(static_cast<CKeloHesString&>(value))) return true;
        break;
      case kelo::KELO_KIND_VALUE:
        // A value class is written as a full map even when it is null.
        if (HoldsSurrogate(static_cast<CKeloHesClass&>(value), *member.type)) return true;
        break;
      case kelo::KELO_KIND_MESSAGE:
        if (!value.IsNull() && HoldsSurrogate(static_cast<CKeloHesClass&>(value), *member.type))
          return true;
        break;
      case kelo::KELO_KIND_LIST: {
        const int count = member.list->count(value);
        for (int k = 0; k < count; ++k) {
          CKeloHesClass* item = member.list->at(value, k);
          if (item && !item->IsNull() && HoldsSurrogate(*item, *member.type)) return true;
        }
        break;
      }
      default:
        break;
    }
  }
  return false;
}

int Encode(const CKeloHesObject& object, std::string& bytes) {
  CKeloOutput out(0);
  const int rc = object.Serialize(out);
  bytes.assign(out.Data() ? out.Data() : "", out.DataSize());
  return rc;
}

}  // namespace kelofuzz
