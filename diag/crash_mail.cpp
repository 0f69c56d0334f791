#include "diag/crash_mail.h"

#include <mapi.h>
#include <shellapi.h>

#include <cstring>
#include <initializer_list>

#include "base/text_utils.h"
#include "base/unique_handle.h"
#include "diag/mail_link.h"

namespace {

// Windows marks a registered Simple MAPI mail program here. Without it, MAPI32.DLL is only a
// stub that shows "no mail program" and fails, so the link is the better way straight away.
bool SimpleMapiRegistered() {
    char value[8] = "";
    DWORD size = sizeof value;
    return RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows Messaging Subsystem", "MAPI", RRF_RT_REG_SZ,
                        nullptr, value, &size) == ERROR_SUCCESS &&
           std::strcmp(value, "1") == 0;
}

// MAPISendMail's answer, or MAPI_E_NOT_SUPPORTED when there is no MAPI to ask.
ULONG SendWithMapi(const CrashContext* context) {
    if (!SimpleMapiRegistered()) return MAPI_E_NOT_SUPPORTED;
    OwnedLibrary library(LoadLibraryA("MAPI32.DLL"));
    if (!library) return MAPI_E_NOT_SUPPORTED;
    auto sendMail =
        reinterpret_cast<LPMAPISENDMAIL>(reinterpret_cast<void*>(GetProcAddress(library.get(), "MAPISendMail")));
    if (sendMail == nullptr) return MAPI_E_NOT_SUPPORTED;
    char address[sizeof "SMTP:" + kRecipientSize];  // the recipient field is at most 63 characters
    wsprintfA(address, "SMTP:%s", context->recipient);
    MapiRecipDesc recipient{};
    recipient.ulRecipClass = MAPI_TO;
    recipient.lpszName = const_cast<char*>(context->recipient);
    recipient.lpszAddress = address;

    // The dump goes along only when the user asked for it; the report always.
    MapiFileDesc files[2]{};
    ULONG fileCount = 0;
    const char* report = WrittenPath(context->reportPath);
    const char* dump = context->sendDump ? WrittenPath(context->dumpPath) : nullptr;
    for (const char* path : {report, dump}) {
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
    return sendMail(0, 0, &message, MAPI_DIALOG | MAPI_LOGON_UI, 0);
}

// Opens the folder with the file selected, so the user can drag it into the mail.
void ShowInFolder(const char* path) {
    char parameters[MAX_PATH + 16];
    CopyText(parameters, sizeof parameters, "/select,\"");
    AppendText(parameters, sizeof parameters, path);
    AppendText(parameters, sizeof parameters, "\"");
    ShellExecuteA(nullptr, "open", "explorer.exe", parameters, nullptr, SW_SHOWNORMAL);
}

// A link carries no files: the report (and the dump, when the user chose to send it) stay in the
// temporary folder, which is shown, and the body says where they are. True when files were left
// there for the user.
bool OpenMailLink(const CrashContext* context) {
    const char* report = WrittenPath(context->reportPath);
    const char* dump = context->sendDump ? WrittenPath(context->dumpPath) : nullptr;
    constexpr size_t kBodyWithFilesSize = kBodySize + 2 * MAX_PATH + 256;
    auto* body = static_cast<char*>(LocalAlloc(LPTR, kBodyWithFilesSize));
    if (body == nullptr) return false;
    if (!BuildBodyWithFiles(context->body, report, dump, body, kBodyWithFilesSize)) {
        CopyText(body, kBodyWithFilesSize, context->body);
        report = dump = nullptr;
    }
    size_t size = 64 + std::strlen(context->recipient) + PercentEncodedSize(std::strlen(context->subject)) +
                  PercentEncodedSize(std::strlen(body));
    auto* link = static_cast<char*>(LocalAlloc(LPTR, size));
    bool leftForUser = false;
    if (link != nullptr && BuildMailtoLink(context->recipient, context->subject, body, link, size)) {
        const char* shown = report != nullptr ? report : dump;
        if (shown != nullptr) ShowInFolder(shown);
        ShellExecuteA(nullptr, "open", link, nullptr, nullptr, SW_SHOWNORMAL);
        leftForUser = shown != nullptr;
    }
    if (link != nullptr) LocalFree(link);
    LocalFree(body);
    return leftForUser;
}

}  // namespace

bool SendCrashReport(const CrashContext* context) {
    if (context == nullptr || context->recipient[0] == '\0') return false;
    return MailLinkNeededAfter(SendWithMapi(context)) && OpenMailLink(context);
}
