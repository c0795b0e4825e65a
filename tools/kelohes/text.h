// Text that kelohes prints from its input or from a server, escaped so that it can neither drive
// the terminal nor hide what it says; and the names nearest to a mistyped one, for suggestions.
#pragma once

#include <stddef.h>

#include <string>
#include <string_view>
#include <vector>

namespace kelohes {

// How AppendEscaped writes what it escapes.
enum class Escape {
  // A line of a message on stderr: a byte as \xNN (lower-case hex), a character as \uXXXX;
  // '\' itself as \x5c, so that no escape can be mistaken for text.
  kMessage,
  // The inside of a JSON string: '"', '\' and every C0 control too, as JSON writes them.
  kJsonString,
  // JSON text whose strings are escaped already (the library's): C0 controls stay as they are,
  // since outside strings they are the layout ("\n" and blanks) and inside there are none.
  kJsonText,
};

// Appends text to out with these escaped: C0 controls (but see kJsonText), DEL, C1 controls,
// the bidirectional controls U+202A..U+202E and U+2066..U+2069, and every byte that is not part
// of well-formed UTF-8 (in JSON as \u00NN, NN the byte). Everything else is copied as it is.
void AppendEscaped(std::string& out, std::string_view text, Escape how);
std::string Escaped(std::string_view text, Escape how = Escape::kMessage);

// Edit distance of a and b, ignoring ASCII case: each inserted, deleted or replaced character and
// each swap of two neighbours counts one.
size_t EditDistance(std::string_view a, std::string_view b);

// The candidates nearest to name (at most three, in their order), when they are near enough to be
// a slip of the fingers: an edit distance of at most a third of the characters of name after the
// start it shares with the candidate, and at least 1.
std::vector<std::string> Nearest(std::string_view name, const std::vector<std::string>& candidates);

// "did you mean 'a'?", "did you mean 'a' or 'b'?" ... for Nearest's answer; empty when it found
// none.
std::string DidYouMean(const std::vector<std::string>& names);

}  // namespace kelohes
