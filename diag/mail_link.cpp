#include "diag/mail_link.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "base/text_utils.h"

namespace {

constexpr uint32_t kMapiSuccess = 0;
constexpr uint32_t kMapiUserAbort = 1;

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

// Appends text behind the first *used bytes of out; false when it does not fit whole.
bool AppendWhole(char* out, size_t outSize, size_t* used, const char* text) {
    size_t length = std::strlen(text);
    if (*used + length + 1 > outSize) return false;
    std::memcpy(out + *used, text, length + 1);
    *used += length;
    return true;
}

}  // namespace

size_t PercentEncodedSize(size_t length) { return length * 6 + 1; }

bool PercentEncode(const char* text, char* out, size_t outSize) {
    if (out == nullptr || outSize == 0) return false;
    out[0] = '\0';
    size_t used = 0;
    char previous = '\0';
    for (const char* at = text; at != nullptr && *at != '\0'; previous = *at++) {
        unsigned char c = static_cast<unsigned char>(*at);
        char piece[7] = {static_cast<char>(c), '\0'};
        if (c == '\n' && previous != '\r') {
            CopyText(piece, sizeof piece, "%0D%0A");
        } else if (!IsUnreserved(c)) {
            std::snprintf(piece, sizeof piece, "%%%02X", c);
        }
        if (!AppendWhole(out, outSize, &used, piece)) {
            out[0] = '\0';
            return false;
        }
    }
    return true;
}

bool BuildMailtoLink(const char* address, const char* subject, const char* body, char* out, size_t outSize) {
    if (out == nullptr || outSize == 0) return false;
    out[0] = '\0';
    if (address == nullptr || address[0] == '\0') return false;
    size_t used = 0;
    bool fits = AppendWhole(out, outSize, &used, "mailto:") && AppendWhole(out, outSize, &used, address) &&
                AppendWhole(out, outSize, &used, "?subject=") && PercentEncode(subject, out + used, outSize - used);
    if (fits) {
        used += std::strlen(out + used);
        fits = AppendWhole(out, outSize, &used, "&body=") && PercentEncode(body, out + used, outSize - used);
    }
    if (!fits) out[0] = '\0';
    return fits;
}

bool BuildBodyWithFiles(const char* prompt, const char* report, const char* dump, char* out, size_t outSize) {
    if (out == nullptr || outSize == 0) return false;
    out[0] = '\0';
    size_t used = 0;
    bool fits = AppendWhole(out, outSize, &used, prompt != nullptr ? prompt : "");
    if (report != nullptr || dump != nullptr) {
        fits = fits && AppendWhole(out, outSize, &used,
                                   "\n\nThe files of the report cannot go with this mail by themselves. Please "
                                   "attach them from the folder that has been opened for you:");
        for (const char* path : {report, dump}) {
            if (path == nullptr) continue;
            fits = fits && AppendWhole(out, outSize, &used, "\n") && AppendWhole(out, outSize, &used, path);
        }
    }
    if (!fits) out[0] = '\0';
    return fits;
}

bool MailLinkNeededAfter(uint32_t mapiResult) { return mapiResult != kMapiSuccess && mapiResult != kMapiUserAbort; }
