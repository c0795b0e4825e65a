// Helpers shared by the fuzz targets and the replay driver: the checks every target makes on what
// a decoder returned (the error contract) and on what it writes back, the choice of a catalogue
// class or list from one input byte, and a walk that tells whether a decoded object holds a text
// unit the writer refuses.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

#include <kelohessian/kelohessian.h>

// Every target defines this; libFuzzer calls it, and so does the replay driver.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace kelofuzz {

// Stops the run with a message when a property does not hold. libFuzzer and the replay driver
// both report the abort as a failure of the current input.
[[noreturn]] void Fail(const char* file, int line, const char* what);
#define KELO_FUZZ_CHECK(condition) \
  ((condition) ? (void)0 : ::kelofuzz::Fail(__FILE__, __LINE__, #condition))

// The name of the input being replayed (set by the replay driver), shown when a check fails.
extern const char* g_currentInput;

// The promise every decoder keeps: a non-zero code is one of the six result codes, and the error
// text is either null or zero-terminated at GetErrorLength().
void CheckContract(int rc, const CKeloInputParse& parse);

// Deserializes size bytes into object, checks the contract and returns the code; consumed and
// error (when given) receive the bytes read and the error text. The bytes are read where they
// are, so that the sanitizers see a read past the input's end.
int Read(CKeloHesObject& object, const void* bytes, size_t size, unsigned int* consumed = nullptr,
         std::string* error = nullptr);

// The catalogue class chosen by a selector byte (any value picks a class).
const kelo::ClassInfo& ClassFor(uint8_t selector);

// A typed-list member of some catalogue class: the class that declares it and the member.
struct ListMember {
  const kelo::ClassInfo* owner;
  const kelo::MemberInfo* member;
};
// Every typed-list member the catalogue declares (own members only, so none twice), in catalogue
// order.
unsigned int ListMemberCount();
ListMember ListMemberAt(unsigned int index);

// True when a string that the object would write (not inside a null message) holds a unit in
// 0xD800..0xDFFF: the reader accepts such units from encoded surrogates, the writer refuses them.
bool HoldsSurrogate(CKeloHesClass& object, const kelo::ClassInfo& info);
bool HoldsSurrogate(const CKeloHesString& text);

// Writes an object into a fresh buffer; the bytes written so far are kept even on failure.
int Encode(const CKeloHesObject& object, std::string& bytes);
// Writes an object of class info that a read filled (wholly or in part): the write may fail only
// with -1999993, and only for a surrogate unit. True when it was written.
bool EncodeRead(CKeloHesClass& object, const kelo::ClassInfo& info, std::string& bytes);

}  // namespace kelofuzz
