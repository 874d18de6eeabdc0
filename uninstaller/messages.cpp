#include "messages.h"
#include "framework/afx.h"
#include <cstring>

const UninstallTexts kUninstallTexts = {
    kUninstallConfirmText,
    kUninstallRemovedText,
    kUninstallIncompleteText,
    kUninstallRestartText,
    kUninstallNotInstalledText,
    kUninstallBadProgramNameText,
    kUninstallMoreText,
    kUninstallPrinterText,
    kUninstallDriverText,
    kUninstallFileText,
    kUninstallRegistryKeyText,
    kUninstallInUseText,
    kUninstallAccessDeniedText,
    kUninstallOtherErrorText,
};

namespace {

const LocalizedText& Label(ItemKind kind) {
    const UninstallTexts& t = kUninstallTexts;
    return kind == ItemKind::Port      ? kUninstallPortText
           : kind == ItemKind::Printer ? t.printer
           : kind == ItemKind::Driver ? t.driver
           : kind == ItemKind::File   ? t.file
                                      : t.registryKey;
}

// One line for a remaining item: label, name and why it stayed.
bool FormatItem(TextLanguage language, const RemainingItem& item, char* line, size_t size) {
    const UninstallTexts& texts = kUninstallTexts;
    char reason[64];
    switch (item.error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_BUSY:
    case ERROR_PRINTER_DRIVER_IN_USE:
        AfxFormat(reason, "%s", TextIn(texts.inUse, language));
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
        AfxFormat(reason, "%s", TextIn(texts.accessDenied, language));
        break;
    default:
        AfxFormat(reason, TextIn(texts.otherError, language), static_cast<unsigned long>(item.error));
    }
    const char* root = item.kind == ItemKind::RegistryKey ? "HKEY_LOCAL_MACHINE\\" : "";
    return AfxFormat(line, size, "\r\n%s%s%s%s", TextIn(Label(item.kind), language), root, item.name.text, reason);
}

}  // namespace

bool ComposeOutcome(TextLanguage language, const char* printerName, const RemovalReport& report, char* text,
                    size_t size) {
    const UninstallTexts& texts = kUninstallTexts;
    // What stays after an incomplete removal; else what waits for the restart.
    const bool restart = report.Complete() && report.WaitsForRestart();
    if (report.Complete() && !restart) return AfxFormat(text, size, TextIn(texts.removed, language), printerName);
    if (!AfxFormat(text, size, TextIn(restart ? texts.restart : texts.incomplete, language), printerName)) return false;
    const size_t items = restart ? report.atRestart : report.remaining;
    // Room kept free for the line that counts the items left out.
    const size_t kCountLine = 64;
    size_t used = strlen(text);
    size_t listed = 0;
    for (size_t i = 0; i < report.ListedCount(); ++i) {
        char line[2 * MAX_PATH];
        if (report.listed[i].atRestart != restart) continue;
        if (!FormatItem(language, report.listed[i], line, sizeof line)) break;
        size_t length = strlen(line);
        if (used + length + kCountLine >= size) break;
        memcpy(text + used, line, length + 1);
        used += length;
        ++listed;
    }
    if (listed < items && used + kCountLine < size) {
        char more[kCountLine - 2], line[kCountLine];
        if (AfxFormat(more, TextIn(texts.more, language), static_cast<unsigned>(items - listed)) &&
            AfxFormat(line, "\r\n%s", more))
            memcpy(text + used, line, strlen(line) + 1);
    }
    return true;
}
