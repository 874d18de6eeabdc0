#include "messages.h"
#include "framework/afx.h"
#include <cstring>

// English, GBK and Big5 bytes; each Chinese text is in the comment above it.
// Several Big5 second bytes are ASCII codes (0x43 'C', 0x52 'R', 0x5C '\'),
// hence all escaped.
const UninstallTexts kUninstallTexts = {
    // confirm
    {
        "Remove the %s printer driver, the printers that use it and its files from this computer?",
        // 要从本计算机删除 %s 打印机驱动程序、使用它的打印机及其文件吗?
        "\xD2\xAA\xB4\xD3\xB1\xBE\xBC\xC6\xCB\xE3\xBB\xFA\xC9\xBE\xB3\xFD %s \xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF"
        "\xB3\xCC\xD0\xF2\xA1\xA2\xCA\xB9\xD3\xC3\xCB\xFC\xB5\xC4\xB4\xF2\xD3\xA1\xBB\xFA\xBC\xB0\xC6\xE4\xCE\xC4\xBC\xFE"
        "\xC2\xF0?",
        // 要從本計算機刪除 %s 打印機驅動程序、使用它的打印機及其文件嗎?
        "\xAD\x6E\xB1\x71\xA5\xBB\xAD\x70\xBA\xE2\xBE\xF7\xA7\x52\xB0\xA3 %s \xA5\xB4\xA6\x4C\xBE\xF7\xC5\x58\xB0\xCA"
        "\xB5\x7B\xA7\xC7\xA1\x42\xA8\xCF\xA5\xCE\xA5\xA6\xAA\xBA\xA5\xB4\xA6\x4C\xBE\xF7\xA4\xCE\xA8\xE4\xA4\xE5\xA5\xF3"
        "\xB6\xDC?"
    },
    // removed
    {
        "The %s printer driver has been removed.",
        // %s 打印机驱动程序已删除。
        "%s \xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xB3\xCC\xD0\xF2\xD2\xD1\xC9\xBE\xB3\xFD\xA1\xA3",
        // %s 打印機驅動程序已刪除。
        "%s \xA5\xB4\xA6\x4C\xBE\xF7\xC5\x58\xB0\xCA\xB5\x7B\xA7\xC7\xA4\x77\xA7\x52\xB0\xA3\xA1\x43"
    },
    // incomplete
    {
        "The %s printer driver could not be removed completely. These items remain:",
        // %s 打印机驱动程序未能完全删除。以下项目仍然存在:
        "%s \xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xB3\xCC\xD0\xF2\xCE\xB4\xC4\xDC\xCD\xEA\xC8\xAB\xC9\xBE\xB3\xFD\xA1\xA3"
        "\xD2\xD4\xCF\xC2\xCF\xEE\xC4\xBF\xC8\xD4\xC8\xBB\xB4\xE6\xD4\xDA:",
        // %s 打印機驅動程序未能完全刪除。以下項目仍然存在:
        "%s \xA5\xB4\xA6\x4C\xBE\xF7\xC5\x58\xB0\xCA\xB5\x7B\xA7\xC7\xA5\xBC\xAF\xE0\xA7\xB9\xA5\xFE\xA7\x52\xB0\xA3\xA1\x43"
        "\xA5\x48\xA4\x55\xB6\xB5\xA5\xD8\xA4\xB4\xB5\x4D\xA6\x73\xA6\x62:"
    },
    // notInstalled
    {
        "The %s printer driver is not installed on this computer.",
        // 本计算机没有安装 %s 打印机驱动程序。
        "\xB1\xBE\xBC\xC6\xCB\xE3\xBB\xFA\xC3\xBB\xD3\xD0\xB0\xB2\xD7\xB0 %s \xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xB3\xCC"
        "\xD0\xF2\xA1\xA3",
        // 本計算機沒有安裝 %s 打印機驅動程序。
        "\xA5\xBB\xAD\x70\xBA\xE2\xBE\xF7\xA8\x53\xA6\xB3\xA6\x77\xB8\xCB %s \xA5\xB4\xA6\x4C\xBE\xF7\xC5\x58\xB0\xCA\xB5\x7B"
        "\xA7\xC7\xA1\x43"
    },
    // badProgramName
    {
        "This program must be named uninstall<printer name>.exe to know which printer driver to remove.",
        // 本程序必须命名为 uninstall<打印机名称>.exe,才能知道要删除哪个打印机驱动程序。
        "\xB1\xBE\xB3\xCC\xD0\xF2\xB1\xD8\xD0\xEB\xC3\xFC\xC3\xFB\xCE\xAA uninstall<\xB4\xF2\xD3\xA1\xBB\xFA\xC3\xFB\xB3\xC6>.exe,"
        "\xB2\xC5\xC4\xDC\xD6\xAA\xB5\xC0\xD2\xAA\xC9\xBE\xB3\xFD\xC4\xC4\xB8\xF6\xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xB3\xCC"
        "\xD0\xF2\xA1\xA3",
        // 本程序必須命名為 uninstall<打印機名稱>.exe,才能知道要刪除哪個打印機驅動程序。
        "\xA5\xBB\xB5\x7B\xA7\xC7\xA5\xB2\xB6\xB7\xA9\x52\xA6\x57\xAC\xB0 uninstall<\xA5\xB4\xA6\x4C\xBE\xF7\xA6\x57\xBA\xD9>.exe,"
        "\xA4\x7E\xAF\xE0\xAA\xBE\xB9\x44\xAD\x6E\xA7\x52\xB0\xA3\xAD\xFE\xAD\xD3\xA5\xB4\xA6\x4C\xBE\xF7\xC5\x58\xB0\xCA\xB5\x7B"
        "\xA7\xC7\xA1\x43"
    },
    // more
    {
        "...and %u more.",
        // ...还有 %u 项。
        "...\xBB\xB9\xD3\xD0 %u \xCF\xEE\xA1\xA3",
        // ...還有 %u 項。
        "...\xC1\xD9\xA6\xB3 %u \xB6\xB5\xA1\x43"
    },
    // printer
    {
        "Printer: ",
        // 打印机:
        "\xB4\xF2\xD3\xA1\xBB\xFA: ",
        // 打印機:
        "\xA5\xB4\xA6\x4C\xBE\xF7: "
    },
    // driver
    {
        "Driver: ",
        // 驱动程序:
        "\xC7\xFD\xB6\xAF\xB3\xCC\xD0\xF2: ",
        // 驅動程序:
        "\xC5\x58\xB0\xCA\xB5\x7B\xA7\xC7: "
    },
    // file
    {
        "File: ",
        // 文件:
        "\xCE\xC4\xBC\xFE: ",
        // 文件:
        "\xA4\xE5\xA5\xF3: "
    },
    // registryKey
    {
        "Registry key: ",
        // 注册表项:
        "\xD7\xA2\xB2\xE1\xB1\xED\xCF\xEE: ",
        // 登錄項:
        "\xB5\x6E\xBF\xFD\xB6\xB5: "
    },
    // inUse
    {
        " (in use)",
        // (正在使用)
        " (\xD5\xFD\xD4\xDA\xCA\xB9\xD3\xC3)",
        // (正在使用)
        " (\xA5\xBF\xA6\x62\xA8\xCF\xA5\xCE)"
    },
    // accessDenied
    {
        " (access denied)",
        // (拒绝访问)
        " (\xBE\xDC\xBE\xF8\xB7\xC3\xCE\xCA)",
        // (拒絕存取)
        " (\xA9\xDA\xB5\xB4\xA6\x73\xA8\xFA)"
    },
    // otherError
    {
        " (error %lu)",
        // (错误 %lu)
        " (\xB4\xED\xCE\xF3 %lu)",
        // (錯誤 %lu)
        " (\xBF\xF9\xBB\x7E %lu)"
    },
};


namespace {

const LocalizedText& Label(ItemKind kind) {
    const UninstallTexts& t = kUninstallTexts;
    return kind == ItemKind::Printer ? t.printer
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
    if (report.Complete()) return AfxFormat(text, size, TextIn(texts.removed, language), printerName);
    if (!AfxFormat(text, size, TextIn(texts.incomplete, language), printerName)) return false;
    // Room kept free for the line that counts the items left out.
    const size_t kCountLine = 64;
    size_t used = strlen(text);
    size_t listed = 0;
    for (size_t i = 0; i < report.ListedCount(); ++i) {
        char line[2 * MAX_PATH];
        if (!FormatItem(language, report.listed[i], line, sizeof line)) break;
        size_t length = strlen(line);
        if (used + length + kCountLine >= size) break;
        memcpy(text + used, line, length + 1);
        used += length;
        ++listed;
    }
    if (listed < report.remaining && used + kCountLine < size) {
        char more[kCountLine - 2], line[kCountLine];
        if (AfxFormat(more, TextIn(texts.more, language), static_cast<unsigned>(report.remaining - listed)) &&
            AfxFormat(line, "\r\n%s", more))
            memcpy(text + used, line, strlen(line) + 1);
    }
    return true;
}
