// The numbers Java gives maps and lists for 'R'. Java's writer and reader number every map, list,
// array and object of a message in order of appearance, the class objects a schema describes
// included, and an 'R' names one by that number. Members and arguments that hold any value (and
// only they) may carry an 'R', so the classic writers and readers of maps and lists count what
// they open, and those values number theirs from that count. Not installed.
#pragma once

#include <kelohessian/hessian/output.h>
#include <kelohessian/hessian/parse.h>

namespace kelo_detail {

// What the value codec keeps in a parse context for the values of one message (its decoder),
// destroyed with the context or its Reset(); this layer knows it by its destructor only.
struct MessageValues {
  virtual ~MessageValues() = default;
};

struct Numbering {
  // Maps and lists written to out since its message began.
  static unsigned int& Written(CKeloOutput& out) { return out.m_numbered; }
  // Maps and lists read through parse since its message began.
  static unsigned int& Read(CKeloInputParse& parse) { return parse.m_numbered; }
  // The values read through parse so far (owned by the context), or null.
  static MessageValues*& Values(CKeloInputParse& parse) { return parse.m_values; }

  // A map or list opened on the wire.
  static void Opened(CKeloOutput& out) { ++out.m_numbered; }
  static void Opened(CKeloInputParse& parse) { ++parse.m_numbered; }

  // Reset for the next read, keeping the numbering of the message being read: how a reader of a
  // call's arguments one at a time clears the text of the last one.
  static void ResetText(CKeloInputParse& parse) {
    const unsigned int numbered = parse.m_numbered;
    MessageValues* values = parse.m_values;
    parse.m_values = nullptr;
    parse.Reset();
    parse.m_numbered = numbered;
    parse.m_values = values;
  }
};

}  // namespace kelo_detail
