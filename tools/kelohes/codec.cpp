// The catalogue as kelohes shows it: classes found by name, the list of classes, one schema.
#include "kelohes/codec.h"

#include <algorithm>

#include "kelohes/text.h"

namespace kelohes {

const kelo::ClassInfo* FindClass(const std::string& name) {
  if (const kelo::ClassInfo* info = kelo::CatalogueFind(name.c_str())) return info;
  const kelo::ClassInfo* found = nullptr;
  for (unsigned int i = 0; i < kelo::CatalogueSize(); ++i) {
    const kelo::ClassInfo* info = kelo::CatalogueAt(i);
    if (name == info->cppName) {
      if (found) return nullptr;  // ambiguous
      found = info;
    }
  }
  return found;
}

std::vector<std::string> NearestClasses(const std::string& name) {
  const bool typeName = name.find('.') != std::string::npos;
  std::vector<std::string> names;
  for (unsigned int i = 0; i < kelo::CatalogueSize(); ++i)
    names.push_back(typeName ? kelo::CatalogueAt(i)->typeName : kelo::CatalogueAt(i)->cppName);
  return Nearest(name, names);
}

// ---- Catalogue text -------------------------------------------------------------------------

namespace {

std::string KindText(const kelo::MemberInfo& m) {
  std::string text = kelo::MemberKindName(m.kind);
  if (m.kind == kelo::KELO_KIND_VALUE) {
    text += ' ';
    text += kelo::MemberKindName(m.carried);
  }
  if (m.type && m.kind != kelo::KELO_KIND_VALUE) {
    text += ' ';
    text += m.type->typeName;
  } else if (m.type) {
    text += " (";
    text += m.type->typeName;
    text += ')';
  }
  return text;
}

void Pad(std::string& out, const std::string& text, size_t width) {
  out += text;
  out.append(width > text.size() ? width - text.size() : 0, ' ');
}

}  // namespace

std::string ClassesText() {
  size_t width = 0;
  for (unsigned int i = 0; i < kelo::CatalogueSize(); ++i)
    width = std::max<size_t>(width, kelo::CatalogueAt(i)->typeNameLength);
  std::string out;
  for (unsigned int i = 0; i < kelo::CatalogueSize(); ++i) {
    const kelo::ClassInfo& info = *kelo::CatalogueAt(i);
    Pad(out, info.typeName, width + 2);
    if (info.classKind == kelo::KELO_CLASS_VALUE) {
      out += "value ";
      out += kelo::MemberKindName(kelo::CatalogueMemberAt(info, 0)->kind);
    } else {
      const unsigned int n = kelo::CatalogueMemberCount(info);
      out += "message, " + std::to_string(n) + (n == 1 ? " member" : " members");
    }
    out += '\n';
  }
  return out;
}

std::string SchemaText(const kelo::ClassInfo& info) {
  const unsigned int n = kelo::CatalogueMemberCount(info);
  std::string out = info.typeName;
  out += info.classKind == kelo::KELO_CLASS_VALUE ? ": value class " : ": message class ";
  out += info.cppName;
  if (info.base) {
    out += ", base ";
    out += info.base->typeName;
  }
  out += ", " + std::to_string(n) + (n == 1 ? " member" : " members");
  if (!info.copyable) out += ", not copyable";
  out += '\n';
  size_t nameWidth = 0;
  size_t kindWidth = 0;
  for (unsigned int i = 0; i < n; ++i) {
    const kelo::MemberInfo& m = *kelo::CatalogueMemberAt(info, i);
    nameWidth = std::max<size_t>(nameWidth, m.nameLength);
    kindWidth = std::max(kindWidth, KindText(m).size());
  }
  for (unsigned int i = 0; i < n; ++i) {
    const kelo::MemberInfo& m = *kelo::CatalogueMemberAt(info, i);
    out += "  ";
    Pad(out, m.name, nameWidth + 2);
    Pad(out, KindText(m), kindWidth + 2);
    out += m.cppType;
    out += '\n';
  }
  return out;
}

}  // namespace kelohes
