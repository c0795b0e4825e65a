// Helpers shared by the fuzz targets, the replay driver and the corpus writer: the error contract
// every decoder keeps, reads and writes that check it, the catalogue class or list an input byte
// chooses, and a walk for the text units the writer refuses.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include <kelohessian/kelohessian.h>

// Every target defines this; libFuzzer calls it, and so does the replay driver.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace kelofuzz {

// Aborts with a message when a property does not hold: libFuzzer and the replay driver both
// report that as a failure of the current input, whose name the replay driver sets.
[[noreturn]] void Fail(const char* file, int line, const char* what);
#define KELO_FUZZ_CHECK(condition) \
  ((condition) ? (void)0 : ::kelofuzz::Fail(__FILE__, __LINE__, #condition))
extern const char* g_currentInput;

// A non-zero code is one of the six result codes, and the error text is either null or
// zero-terminated at GetErrorLength().
void CheckContract(int rc, const CKeloInputParse& parse);

// Deserializes the bytes (or reads them as a reply into a class) where they are, for the
// sanitizers to see a read past their end; checks the contract and returns the code.
int Read(CKeloHesObject& object, const void* bytes, size_t size, unsigned int* consumed = nullptr,
         std::string* error = nullptr, bool reply = false);

// The catalogue class chosen by a selector byte (any value picks a class).
const kelo::ClassInfo& ClassFor(uint8_t selector);

// Every typed-list member the catalogue declares, with the class that declares it (own members
// only, so none twice), in catalogue order.
struct ListMember {
  const kelo::ClassInfo* owner;
  const kelo::MemberInfo* member;
};
const std::vector<ListMember>& ListMembers();

// True when a string that the object would write (not inside a null message) holds a unit in
// 0xD800..0xDFFF: the reader accepts such units from encoded surrogates, the writer refuses them.
bool HoldsSurrogate(CKeloHesClass& object, const kelo::ClassInfo& info);
bool HoldsSurrogate(const CKeloHesString& text);

// Writes an object into a fresh buffer; the bytes written so far are kept even on failure.
int Encode(const CKeloHesObject& object, std::string& bytes);
// Writes an object that a read filled (wholly or in part): the write may fail only with
// -1999993, and only for a surrogate unit. True when it was written.
bool EncodeRead(CKeloHesClass& object, const kelo::ClassInfo& info, std::string& bytes);

}  // namespace kelofuzz
