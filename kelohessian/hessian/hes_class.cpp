// The typed-map encoding of structures, the member registry and the rows it gives the engine,
// and the error clauses that enclosing structures add to a failure, innermost first.
#include <kelohessian/hessian/hes_class.h>

#include <stdint.h>
#include <string.h>

#include <new>

#include <kelohessian/hessian/detail/failure_path.h>
#include <kelohessian/hessian/detail/map_engine.h>
#include <kelohessian/hessian/detail/wire.h>

using kelo_detail::Add;
using kelo_detail::AddBytes;
using kelo_detail::Fail;
using kelo_detail::MapEngine;

namespace {

// 'S', the length's low 16 bits and the name: in one append when it fits 64 bytes, else in two.
int WriteMemberHeader(const char* name, unsigned int length, CKeloOutput& out) {
  char header[64] = {'S'};
  kelo_detail::WriteU16(header + 1, length & 0xFFFF);
  if (length <= sizeof header - 3) {
    if (length) memcpy(header + 3, name, length);
    return out.Append(header, 3 + length);
  }
  if (int rc = out.Append(header, 3); rc != 0) return rc;
  return out.Append(name, length);
}

// The type name as the error texts quote it: namespace '.' class name, or the class name alone.
void AddTypeName(const CKeloHesName& ns, const CKeloHesName& cls, CKeloInputParse& parse) {
  if (ns.Length()) {
    AddBytes(parse, ns.Data(), ns.Length());
    Add(parse, kelo_detail::kFailTypeDot);
  }
  AddBytes(parse, cls.Data(), cls.Length());
}

// The registry as rows: one per node, in registration order. Whether SetNull changes a member is
// not known here, so every member is offered it.
struct RegistryRows {
  typedef const CKeloMemberData* Row;
  Row head;
  bool unique;

  Row First() const { return head; }
  Row Next(Row row) const { return row->m_next; }
  bool End(Row row) const { return row == nullptr; }
  bool Named(Row row, const char* name, unsigned int length) const {
    return kelo_detail::SameName(row->m_name->Data(), row->m_name->Length(), name, length);
  }
  CKeloHesObject& Object(Row row) const { return *row->m_object; }
  bool Nullable(Row) const { return true; }
  int WriteHeader(Row row, CKeloOutput& out) const {
    return WriteMemberHeader(row->m_name->Data(), row->m_name->Length(), out);
  }
  bool Unique() const { return unique; }
};

}  // namespace

CKeloHesClass::CKeloHesClass()
    : m_head(nullptr),
      m_tail(nullptr),
      m_checkClassName(true),
      m_uniqueNames(false),
      m_blockSize(0),
      m_blockUsed(0) {}

CKeloHesClass::CKeloHesClass(const CKeloHesClass& other)
    : CKeloHesObject(other),
      m_head(nullptr),
      m_tail(nullptr),
      m_checkClassName(other.m_checkClassName),
      m_uniqueNames(false),
      m_blockSize(0),
      m_blockUsed(0) {}

CKeloHesClass& CKeloHesClass::operator=(const CKeloHesClass& other) {
  m_null = other.m_null;
  m_checkClassName = other.m_checkClassName;
  return *this;
}

CKeloHesClass::~CKeloHesClass() {
  // Most structures never build a registry: nothing to free then.
  if (m_head) ClearMemberHash();
}

int CKeloHesClass::SetNull(bool isNull) {
  m_null = isNull;
  return KELO_OK;
}

int CKeloHesClass::HashMembers() {
  return KELO_E_NOT_SUPPORTED;
}

const kelo::ClassInfo* CKeloHesClass::Description() const {
  return nullptr;
}

int CKeloHesClass::ReserveMembers(unsigned int count) {
  if (m_head || m_blockSize || count == 0 || count > 0xFFFF) return KELO_OK;
  m_blockSize = static_cast<unsigned short>(count);
  m_blockUsed = 0;
  return KELO_OK;
}

int CKeloHesClass::InsertMember(const CKeloHesName& name, CKeloHesObject& object) {
  CKeloMemberData* node;
  if (m_blockSize && !m_head) {
    // Raw storage: the nodes are constructed one by one as members are inserted.
    void* block =
        ::operator new(sizeof(CKeloMemberData) * static_cast<size_t>(m_blockSize), std::nothrow);
    if (!block) return KELO_E_NO_MEMORY;
    node = new (block) CKeloMemberData(&name, &object);
    m_blockUsed = 1;
  } else if (m_blockUsed < m_blockSize) {
    node = new (m_head + m_blockUsed++) CKeloMemberData(&name, &object);
  } else {
    node = new (std::nothrow) CKeloMemberData(&name, &object);
  }
  if (!node) return KELO_E_NO_MEMORY;
  m_uniqueNames = false;
  if (m_tail)
    m_tail->m_next = node;
  else
    m_head = node;
  m_tail = node;
  return KELO_OK;
}

int CKeloHesClass::CreateMemberHash() {
  if (m_head) return KELO_OK;
  return HashMembers();
}

void CKeloHesClass::ClearMemberHash() {
  // Nodes inside the reserved block go with the block; the others were allocated one by one.
  CKeloMemberData* block = m_blockUsed ? m_head : nullptr;
  const uintptr_t first = reinterpret_cast<uintptr_t>(block);
  const uintptr_t end = block ? reinterpret_cast<uintptr_t>(block + m_blockSize) : 0;
  CKeloMemberData* node = m_head;
  while (node) {
    CKeloMemberData* next = node->m_next;
    const uintptr_t at = reinterpret_cast<uintptr_t>(node);
    if (at < first || at >= end) delete node;
    node = next;
  }
  ::operator delete(block);
  m_blockSize = m_blockUsed = 0;
  m_head = m_tail = nullptr;
  m_uniqueNames = false;
}

void CKeloHesClass::NullifyAllMembers() {
  for (CKeloMemberData* node = m_head; node; node = node->m_next) node->m_object->SetNull(true);
}

// A registry left partial by a failed registration is discarded, so that the next write or read
// builds it afresh instead of using a shorter member list.
int CKeloHesClass::EnsureMembers() const {
  if (m_head) return KELO_OK;
  CKeloHesClass* self = const_cast<CKeloHesClass*>(this);
  const int rc = self->HashMembers();
  if (rc != 0) self->ClearMemberHash();
  return rc;
}

unsigned int CKeloHesClass::TypeNameLength() const {
  const unsigned int ns = Namespace().Length();
  return (ns ? ns + 1 : 0) + ClassName().Length();
}

bool CKeloHesClass::IsTypeName(const char* name, unsigned int length) const {
  return kelo_detail::IsTypeName(Namespace(), ClassName(), name, length);
}

int CKeloHesClass::Serialize(CKeloOutput& out) const {
  if (m_null) return out.Append('N');
  if (int rc = EnsureMembers(); rc != 0) return rc;
  if (int rc = StartSerialize(out); rc != 0) return rc;
  kelo_detail::Numbering::Opened(out);
  if (int rc = SerializeMembers(out); rc != 0) return rc;
  return out.Append('z');
}

int CKeloHesClass::StartSerialize(CKeloOutput& out) const {
  const CKeloHesName& ns = Namespace();
  const CKeloHesName& cls = ClassName();
  const unsigned long long length =
      (ns.Length() ? ns.Length() + 1ull : 0ull) + static_cast<unsigned long long>(cls.Length());
  // The usual short header goes out in one append; the pieces below give the same bytes and the
  // same failures (an over-long name is refused after "Mt" was written).
  char header[128];
  if (length <= sizeof header - 4) {
    char* p = header;
    *p++ = 'M';
    *p++ = 't';
    kelo_detail::WriteU16(p, static_cast<unsigned int>(length));
    p += 2;
    if (ns.Length()) {
      memcpy(p, ns.Data(), ns.Length());
      p += ns.Length();
      *p++ = '.';
    }
    if (cls.Length()) memcpy(p, cls.Data(), cls.Length());
    p += cls.Length();
    return out.Append(header, static_cast<unsigned int>(p - header));
  }
  if (int rc = out.Append("Mt", 2); rc != 0) return rc;
  if (length > 0xFFFF) return KELO_E_OUT_OF_RANGE;
  char bytes[2];
  kelo_detail::WriteU16(bytes, static_cast<unsigned int>(length));
  if (int rc = out.Append(bytes, 2); rc != 0) return rc;
  if (ns.Length()) {
    if (int rc = out.Append(ns.Data(), ns.Length()); rc != 0) return rc;
    if (int rc = out.Append('.'); rc != 0) return rc;
  }
  return out.Append(cls.Data(), cls.Length());
}

int CKeloHesClass::SerializeMembers(CKeloOutput& out) const {
  return MapEngine::Write(RegistryRows{m_head, m_uniqueNames}, out);
}

int CKeloHesClass::SerializeOneMember(const char* name, unsigned int length,
                                      const CKeloHesObject& object, CKeloOutput& out) const {
  if (int rc = WriteMemberHeader(name, length, out); rc != 0) return rc;
  return object.Serialize(out);
}

int CKeloHesClass::EndSerialize(CKeloOutput& out) const {
  return out.Append('z');
}

int CKeloHesClass::Deserialize(CKeloInputParse& parse) {
  if (int rc = EnsureMembers(); rc != 0) return rc;
  if (int rc = StartDeserialize(parse); rc != 0) return rc;
  if (m_null) return KELO_OK;
  return MapEngine::Read(*this, parse, RegistryRows{m_head, m_uniqueNames});
}

int CKeloHesClass::StartDeserialize(CKeloInputParse& parse) {
  return MapEngine::Open(*this, parse, nullptr, 0);
}

int CKeloHesClass::VerifyExpectedClassName(CKeloInputParse& parse, const char* name,
                                           unsigned int length) {
  if (IsTypeName(name, length)) return KELO_OK;
  Add(parse, kelo_detail::kFailMapTypeOpen);
  AddTypeName(Namespace(), ClassName(), parse);
  Add(parse, kelo_detail::kFailMapTypeGot);
  AddBytes(parse, name, length);
  return Fail(parse, kelo_detail::kFailTypeQuoteClose);
}

void CKeloHesClass::AppendClassNameToError(CKeloInputParse& parse) {
  Add(parse, kelo_detail::kFailClassOpen);
  AddTypeName(Namespace(), ClassName(), parse);
  Add(parse, kelo_detail::kFailQuote);
}

int kelo_detail::MapEngine::Failed(CKeloHesClass& object, CKeloInputParse& parse, Failure failure,
                                   int code) {
  Add(parse, kFailWhileParsing);
  object.AppendClassNameToError(parse);
  return Fail(parse, failure, code);
}

int CKeloHesClass::DeserializeOneMember(const char* name, unsigned int length,
                                        CKeloHesObject& object, CKeloInputParse& parse) {
  return MapEngine::ReadMember(*this, name, length, object, parse);
}

void CKeloHesClass::AppendMemberToError(const char* prefix, const char* name, unsigned int length,
                                        CKeloInputParse& parse) {
  // The modern face's path: a member named on the wire (its name a view of the input) whose value
  // starts right behind its name. A value class's "value" is named by a constant and not recorded.
  if (kelo_detail::FailurePath* path = parse.FailurePathSink()) {
    const CKeloInput& in = parse.Input();
    const char* base = nullptr;
    if (in.GetTotalSize() && in.GetDataAt(base, 0, in.GetTotalSize()) == 0 && name >= base &&
        name + length <= base + in.GetTotalSize())
      path->Member(name, length, static_cast<unsigned int>(name + length - base));
  }
  parse.AddToError(prefix, KELO_NO_LAST_CHARS);
  Add(parse, kelo_detail::kFailMemberOpen);
  AddBytes(parse, name, length);
  Add(parse, kelo_detail::kFailMemberOf);
  AppendClassNameToError(parse);
}

int CKeloHesClass::EndDeserialize(CKeloInputParse& parse) {
  const char* p;
  if (parse.Input().Extract(p, 1) != 0) {
    Add(parse, kelo_detail::kFailMapEndMissing);
    AppendClassNameToError(parse);
    parse.AddLastCharsToError(kelo_detail::kLastChars);
    return KELO_E_EXHAUSTED;
  }
  if (*p == 'z') return KELO_OK;
  Add(parse, kelo_detail::kFailMapEndOpen);
  AppendClassNameToError(parse);
  return Fail(parse, kelo_detail::kFailMapEndClose);
}
