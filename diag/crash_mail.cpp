#include "diag/crash_mail.h"

#include <mapi.h>
#include <shellapi.h>

#include <cstring>

#include "diag/mail_link.h"
#include "diag/temp_file_list.h"

namespace {

constexpr char kSmtpPrefix[] = "SMTP:";

// Windows marks a registered Simple MAPI mail program here. Without it, MAPI32.DLL is only a
// stub that shows "no mail program" and fails, so the link is the better way straight away.
bool SimpleMapiRegistered() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows Messaging Subsystem", 0, KEY_QUERY_VALUE,
                      &key) != ERROR_SUCCESS) {
        return false;
    }
    char value[8] = "";
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    LONG result = RegQueryValueExA(key, "MAPI", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_SZ && std::strcmp(value, "1") == 0;
}

// MAPISendMail's answer, or MAPI_E_NOT_SUPPORTED when there is no MAPI to ask.
ULONG SendWithMapi(const CrashContext* context) {
    if (!SimpleMapiRegistered()) return MAPI_E_NOT_SUPPORTED;
    HMODULE library = LoadLibraryA("MAPI32.DLL");
    if (library == nullptr) return MAPI_E_NOT_SUPPORTED;
    auto sendMail =
        reinterpret_cast<LPMAPISENDMAIL>(reinterpret_cast<void*>(GetProcAddress(library, "MAPISendMail")));
    ULONG result = MAPI_E_NOT_SUPPORTED;
    if (sendMail != nullptr) {
        char address[sizeof kSmtpPrefix + kRecipientSize];
        lstrcpynA(address, kSmtpPrefix, sizeof address);
        lstrcpynA(address + sizeof kSmtpPrefix - 1, context->recipient, kRecipientSize);
        MapiRecipDesc recipient{};
        recipient.ulRecipClass = MAPI_TO;
        recipient.lpszName = const_cast<char*>(context->recipient);
        recipient.lpszAddress = address;

        // The dump goes along only when the user asked for it; the report always.
        MapiFileDesc files[2]{};
        ULONG fileCount = 0;
        const char* report = FindPathWithExtension(context->tempFiles, "txt");
        const char* dump = context->sendDump ? FindPathWithExtension(context->tempFiles, "dmp") : nullptr;
        const char* paths[] = {report, dump};
        for (const char* path : paths) {
            if (path == nullptr) continue;
            files[fileCount].nPosition = static_cast<ULONG>(-1);
            files[fileCount].lpszPathName = const_cast<char*>(path);
            ++fileCount;
        }

        MapiMessage message{};
        message.lpszSubject = const_cast<char*>(context->subject);
        message.lpszNoteText = const_cast<char*>(context->body);
        message.nRecipCount = 1;
        message.lpRecips = &recipient;
        message.nFileCount = fileCount;
        message.lpFiles = fileCount > 0 ? files : nullptr;
        result = sendMail(0, 0, &message, MAPI_DIALOG | MAPI_LOGON_UI, 0);
    }
    FreeLibrary(library);
    return result;
}

void OpenMailLink(const CrashContext* context) {
    size_t size = 64 + std::strlen(context->recipient) + PercentEncodedSize(std::strlen(context->subject)) +
                  PercentEncodedSize(std::strlen(context->body));
    auto* link = static_cast<char*>(LocalAlloc(LPTR, size));
    if (link == nullptr) return;
    if (BuildMailtoLink(context->recipient, context->subject, context->body, link, size)) {
        ShellExecuteA(nullptr, "open", link, nullptr, nullptr, SW_SHOWNORMAL);
    }
    LocalFree(link);
}

}  // namespace

void SendCrashReport(const CrashContext* context) {
    if (context == nullptr || context->recipient[0] == '\0') return;
    if (MailLinkNeededAfter(SendWithMapi(context))) OpenMailLink(context);
}
