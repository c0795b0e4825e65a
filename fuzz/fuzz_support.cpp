// Shared checks and catalogue walks of the fuzz targets.
#include "fuzz_support.h"

#include <stdio.h>
#include <stdlib.h>

namespace kelofuzz {

const char* g_currentInput = nullptr;

void Fail(const char* file, int line, const char* what) {
  fprintf(stderr, "%s:%d: check failed: %s\n  input: %s\n", file, line, what,
          g_currentInput ? g_currentInput : "the current one");
  abort();
}

void CheckContract(int rc, const CKeloInputParse& parse) {
  KELO_FUZZ_CHECK(rc == 0 || (rc >= KELO_E_INVALID_STATE && rc <= KELO_E_NOT_SUPPORTED));
  // Reading the byte at the stated length proves (under the sanitizers) that the text is that
  // long; it must be the terminating zero.
  const char* text = parse.GetError();
  KELO_FUZZ_CHECK(text ? text[parse.GetErrorLength()] == '\0' : parse.GetErrorLength() == 0);
}

int Read(CKeloHesObject& object, const void* bytes, size_t size, unsigned int* consumed,
         std::string* error, bool reply) {
  CKeloInput in(static_cast<const char*>(bytes), static_cast<unsigned int>(size));
  CKeloInputParse parse(in);
  const int rc = reply ? KeloHessianReadResponse(static_cast<CKeloHesClass&>(object), parse)
                       : object.Deserialize(parse);
  CheckContract(rc, parse);
  if (consumed) *consumed = in.GetNumExtracted();
  if (error) error->assign(parse.GetError() ? parse.GetError() : "", parse.GetErrorLength());
  return rc;
}

const kelo::ClassInfo& ClassFor(uint8_t selector) {
  return *kelo::CatalogueAt(selector % kelo::CatalogueSize());
}

const std::vector<ListMember>& ListMembers() {
  static const std::vector<ListMember> lists = [] {
    std::vector<ListMember> found;
    for (unsigned int c = 0; c < kelo::CatalogueSize(); ++c) {
      const kelo::ClassInfo* info = kelo::CatalogueAt(c);
      for (unsigned int m = 0; m < info->memberCount; ++m)
        if (info->members[m].kind == kelo::KELO_KIND_LIST)
          found.push_back(ListMember{info, &info->members[m]});
    }
    return found;
  }();
  return lists;
}

bool HoldsSurrogate(const CKeloHesString& text) {
  const short* units;
  const unsigned int n = text.IsNull() ? 0 : text.Data(units);
  for (unsigned int i = 0; i < n; ++i) {
    const unsigned int u = static_cast<unsigned short>(units[i]);
    if (u >= 0xD800 && u <= 0xDFFF) return true;
  }
  return false;
}

bool HoldsSurrogate(CKeloHesClass& object, const kelo::ClassInfo& info) {
  for (unsigned int i = 0; i < kelo::CatalogueMemberCount(info); ++i) {
    const kelo::MemberInfo& member = *kelo::CatalogueMemberAt(info, i);
    CKeloHesObject& value = member.access(object);
    if (member.kind == kelo::KELO_KIND_STRING &&
        HoldsSurrogate(static_cast<CKeloHesString&>(value)))
      return true;
    // A value class is written as a full map even when it is null, a message only when it is not.
    const bool written = member.kind == kelo::KELO_KIND_VALUE ||
                         (member.kind == kelo::KELO_KIND_MESSAGE && !value.IsNull());
    if (written && HoldsSurrogate(static_cast<CKeloHesClass&>(value), *member.type)) return true;
    for (int k = 0; member.kind == kelo::KELO_KIND_LIST && k < member.list->count(value); ++k) {
      CKeloHesClass* item = member.list->at(value, k);
      if (item && !item->IsNull() && HoldsSurrogate(*item, *member.type)) return true;
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

bool EncodeRead(CKeloHesClass& object, const kelo::ClassInfo& info, std::string& bytes) {
  const int rc = Encode(object, bytes);
  KELO_FUZZ_CHECK(rc == 0 || (rc == KELO_E_NOT_SUPPORTED && HoldsSurrogate(object, info)));
  return rc == 0;
}

}  // namespace kelofuzz
