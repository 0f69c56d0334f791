#include "tools/sim_modem/escapes.h"

namespace sim_modem {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool DecodeEscapes(const std::string& text, std::string* bytes, std::string* error) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        char kind = i + 1 < text.size() ? text[i + 1] : '\0';
        switch (kind) {
            case 'r': out += '\r'; break;
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case '\\': out += '\\'; break;
            case 'x': {
                int high = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
                int low = i + 3 < text.size() ? HexValue(text[i + 3]) : -1;
                if (high < 0 || low < 0) {
                    *error = "\\x needs two hex digits (at column " + std::to_string(i + 1) + ")";
                    return false;
                }
                out += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                if (kind == '\0') {
                    *error = "a lone backslash at the end";
                } else {
                    *error = "unknown escape \\" + std::string(1, kind) + " (at column " +
                             std::to_string(i + 1) + ")";
                }
                return false;
        }
        ++i;
    }
    *bytes = out;
    return true;
}

std::string EncodeEscapes(const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u >= 0x20 && u < 0x7f) {
            out += c;
        } else {
            out += "\\x";
            out += kDigits[u >> 4];
            out += kDigits[u & 15];
        }
    }
    return out;
}

}  // namespace sim_modem
