#include "payload_resource.h"
#include "../system/held_folder.h"
#include "../framework/afx.h"
#include "rewrite_lines.h"
#include <cstring>

// The embedded INF names the model "KRX" throughout, in its models, file
// names and sections: each occurrence becomes the printer name, and every
// other byte stays as it is (so the INF of KRX is the embedded one).
static bool WriteWithModelName(NewFile& file, const char* bytes, DWORD size, const char* printer) {
    const char kModel[] = "KRX";
    const DWORD modelLength = sizeof kModel - 1;
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

DWORD WritePayload(const HeldFolder& folder, const char* name, unsigned id, unsigned char rewrite,
                   const char* printerName, FileDigest* digest) {
    PayloadBytes payload;
    if (!FindPayload(id, payload)) return ERROR_RESOURCE_NAME_NOT_FOUND;
    const char* bytes = static_cast<const char*>(payload.data);
    LineRule rules[5];
    if (rewrite == kRewriteModelLines && !BuildModelNameRules(rules, printerName)) return 0;

    NewFile file(folder, name);
    if (rewrite == kRewriteModelLines)
        RewriteLines(bytes, payload.size, file, rules, 5);
    else if (rewrite == kReplaceModelName)
        WriteWithModelName(file, bytes, payload.size, printerName);
    else
        if (file.Write(bytes, payload.size)) file.Close();
    if (digest) *digest = file.Digest();
    return file.Error();
}
