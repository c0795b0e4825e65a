// The domain value types: their wire identities and catalogue entries, the IPv4 accessors and the
// measurement mask.
#include <kelohessian/types/domain_types.h>

#include <string.h>

#include <new>
#include <typeinfo>

#include <kelohessian/schema/message.h>
#include <kelohessian/types/detail/class_list.h>

namespace VarantoTypes {

namespace {
constexpr char kNamespace[] = "VarantoTypes";
// 'S', the 2-byte length 5 and "value": the one member of a value class.
constexpr char kValueHeader[] = "S\x00\x05value";
}  // namespace

// A value class has one member, "value", which is not registered: the catalogue lists it so that
// tools can reach it, with the class marked as a value class.
#define KELO_DEFINE_VALUE_TYPE(Cls, Base, Object)                                                  \
  const CKeloHesName Cls::mNamespace(kNamespace, sizeof(kNamespace) - 1);                          \
  const CKeloHesName Cls::mClassName(#Cls, sizeof(#Cls) - 1);                                      \
  namespace {                                                                                      \
  constexpr kelo::TypeHeader<sizeof(kNamespace), sizeof(#Cls)> kTypeHeader_##Cls{kNamespace,       \
                                                                                 #Cls};            \
  constexpr kelo::MemberInfo kValueMember_##Cls[] = {                                              \
      {kValueHeader + 3, 5, kelo::MemberTraits<Object>::kind, kelo::MemberTraits<Object>::kind,    \
       nullptr, #Object,                                                                           \
       [](CKeloHesClass& object) -> CKeloHesObject& { return static_cast<Cls&>(object).Value(); }, \
       nullptr, kValueHeader, sizeof kValueHeader - 1, 0, CKeloHesName(kValueHeader + 3, 5)},      \
      {}};                                                                                         \
  }                                                                                                \
  const kelo::ClassInfo Cls::mClassInfo = {                                                        \
      kTypeHeader_##Cls.bytes + 4,                                                                 \
      static_cast<unsigned int>(kTypeHeader_##Cls.kNameLength),                                    \
      #Cls,                                                                                        \
      kelo::KELO_CLASS_VALUE,                                                                      \
      nullptr,                                                                                     \
      kValueMember_##Cls,                                                                          \
      1,                                                                                           \
      true,                                                                                        \
      []() -> CKeloHesClass* { return new (std::nothrow) Cls(); },                                 \
      kelo::CopyOps<Cls>::copy,                                                                    \
      kelo::CopyOps<Cls>::assign,                                                                  \
      kTypeHeader_##Cls.bytes,                                                                     \
      static_cast<unsigned int>(kTypeHeader_##Cls.kNameLength + 4)};                               \
  Cls::~Cls() {}                                                                                   \
  const CKeloHesName& Cls::Namespace() const {                                                     \
    return mNamespace;                                                                             \
  }                                                                                                \
  const CKeloHesName& Cls::ClassName() const {                                                     \
    return mClassName;                                                                             \
  }                                                                                                \
  const kelo::ClassInfo* Cls::Description() const {                                                \
    return &mClassInfo;                                                                            \
  }                                                                                                \
  /* The header from the description, unless a derived class may name itself otherwise. */         \
  int Cls::Serialize(CKeloOutput& out) const {                                                     \
    if (typeid(*this) != typeid(Cls)) return CKeloValueClass::Serialize(out);                      \
    return SerializeWithHeader(mClassInfo.typeHeader, mClassInfo.typeHeaderLength, out);           \
  }                                                                                                \
  /* The type name from the description, unless a derived class may name itself otherwise. */      \
  int Cls::Deserialize(CKeloInputParse& parse) {                                                   \
    if (typeid(*this) != typeid(Cls)) return Base::Deserialize(parse);                             \
    return DeserializeValue(Value(), parse, mClassInfo.typeName, mClassInfo.typeNameLength);       \
  }

KELO_VALUE_TYPES(KELO_DEFINE_VALUE_TYPE)
#undef KELO_DEFINE_VALUE_TYPE

// Builds the 32-bit value from the address bytes through memory, so its bytes are a, b, c, d in
// order whatever the host's byte order.
int CT_IPAddr::GetInNetworkOrder() const {
  const char* bytes;
  if (Data(bytes) < 4) return 0;
  int result;
  memcpy(&result, bytes, 4);
  return result;
}

int CT_IPAddr::GetInHostOrder() const {
  const char* bytes;
  if (Data(bytes) < 4) return 0;
  const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes);
  return static_cast<int>((static_cast<unsigned int>(b[0]) << 24) | (b[1] << 16) | (b[2] << 8) |
                          b[3]);
}

int CT_MeasurementType::TurnBitsOn(unsigned int bits) {
  const char* bytes;
  const unsigned int length = Data(bytes);
  if (length != 0 && length != 4) return KELO_E_NOT_SUPPORTED;
  unsigned int mask = 0;
  for (unsigned int i = 0; i < length; ++i)
    mask |= static_cast<unsigned int>(static_cast<unsigned char>(bytes[i])) << (8 * i);
  mask |= bits;
  const char updated[4] = {static_cast<char>(mask & 0xFF), static_cast<char>((mask >> 8) & 0xFF),
                           static_cast<char>((mask >> 16) & 0xFF),
                           static_cast<char>((mask >> 24) & 0xFF)};
  // Copy allocates the new 4 bytes before it frees the old ones: a failure changes nothing.
  return Copy(updated, 4);
}

}  // namespace VarantoTypes
