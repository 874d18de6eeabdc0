#include "../app/setup_app.h"
#include "../app/app_state.h"
#include "install_plan.h"
#include "new_file.h"
#include "payload_resource.h"
#include "rewrite_lines.h"
#include <cstring>

// Writes the bytes in one call, into a file made new; false when that
// failed (the file exception is pending).
static bool WriteWholeFile(const char* path, const void* bytes, DWORD size) {
    NewFile file(path);
    return file.Write(bytes, size) && file.Close();
}

// The embedded INF names the model "KRX" throughout, in its models, file
// names and sections: each occurrence becomes the printer name, and every
// other byte stays as it is (so the INF of KRX is the embedded one).
static bool WriteWithModelName(const char* path, const char* bytes, DWORD size, const char* printer) {
    const char kModel[] = "KRX";
    const DWORD modelLength = sizeof kModel - 1;
    NewFile file(path);
    DWORD copied = 0;
    for (DWORD i = 0; i + modelLength <= size;) {
        if (memcmp(bytes + i, kModel, modelLength) != 0) {
            ++i;
            continue;
        }
        if (!file.Write(bytes + copied, i - copied) || !file.Write(printer, static_cast<DWORD>(strlen(printer))))
            return false;
        i += modelLength;
        copied = i;
    }
    return file.Write(bytes + copied, size - copied) && file.Close();
}

// The five rules that put the printer name into the GPD and plug-in INI.
static bool BuildModelNameRules(LineRule (&rules)[5], const char* printer) {
    static const char* const kRules[5][2] = {
        {"OEMDriverFile1=", "OEMDriverFile1=%sD.DLL"},
        {"OEMConfigFile1=", "OEMConfigFile1=%sF.DLL"},
        {"*GPDFileName:", "*GPDFileName: \"%s.GPD\""},
        {"*ModelName:", "*ModelName: \"%s\""},
        {"*ResourceDLL:", "*ResourceDLL: \"%sRES.DLL\""},
    };
    for (int i = 0; i < 5; ++i) {
        lstrcpynA(rules[i].key, kRules[i][0], kRuleText);
        if (!AfxFormat(rules[i].replacement, kRules[i][1], printer)) return false;
    }
    return true;
}

bool ModelNameRulesFit(const char* printerName) {
    LineRule rules[5];
    if (!BuildModelNameRules(rules, printerName)) return false;
    // A rewritten line keeps room for its line feed.
    for (const LineRule& rule : rules)
        if (strlen(rule.replacement) + 1 > static_cast<size_t>(kLineLength)) return false;
    return true;
}

bool FindPayload(unsigned id, PayloadBytes& bytes) {
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(self, MAKEINTRESOURCEA(id & 0xFFFF), "OWNER_DATA");
    HGLOBAL loaded = resource ? LoadResource(self, resource) : nullptr;
    if (!loaded) return false;
    bytes.data = LockResource(loaded);
    bytes.size = SizeofResource(self, resource);
    return true;
}

bool SetupWizardApp::ExtractPayload(unsigned id, const char* destination, unsigned char rewrite) {
    PayloadBytes payload;
    if (!FindPayload(id, payload)) return false;
    const void* bytes = payload.data;
    DWORD size = payload.size;

    if (rewrite == kWriteUnchanged) {
        WriteWholeFile(destination, bytes, size);
        return true;
    }
    if (rewrite == kReplaceModelName) {
        WriteWithModelName(destination, static_cast<const char*>(bytes), size, g_PrinterName);
        return true;
    }
    // The rewrite reads back the scratch copy. A printer name too long for
    // the rule lines leaves the destination alone.
    LineRule rules[5];
    char scratch[MAX_PATH];
    if (!BuildModelNameRules(rules, g_PrinterName) ||
        !AfxFormat(scratch, "%s\\%s", kStagingFolder, kScratchFileName))
        return true;
    if (WriteWholeFile(scratch, bytes, size)) RewriteLines(scratch, destination, rules, 5);
    return true;
}
