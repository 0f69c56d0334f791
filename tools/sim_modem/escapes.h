// The escapes of the simulated modem's "raw" lines and of the command text in its record:
// \r \n \t \\ and \xHH (two hex digits, either case). Any other byte stands for itself.
#pragma once
#include <string>

namespace sim_modem {

// Turns text with escapes into the bytes it stands for. A backslash that starts none of the
// escapes above fails the whole text, with the reason in *error: a script that says "\q" was
// mistyped, and sending something else than its author meant would hide that.
bool DecodeEscapes(const std::string& text, std::string* bytes, std::string* error);

// The reverse: printable ASCII stays as it is, a backslash doubles, CR, LF and tab get their
// letters and every other byte (NUL, controls, 8-bit) becomes \xHH in lower case. The result
// is one printable line whatever the bytes were, and DecodeEscapes gives the bytes back.
std::string EncodeEscapes(const std::string& bytes);

}  // namespace sim_modem
