#include "../app/setup_app.h"
#include "../app/app_state.h"
#include "../framework/file_exception.h"
#include "rewrite_lines.h"

static const char kScratchFile[] = "c:\\temp\\temp.txt";

// Writes the bytes in one call. False when the file cannot be created; a
// failed write leaves as the framework's file exception.
static bool WriteWholeFile(const char* path, const void* bytes, DWORD size) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes, size, &written, nullptr);
    DWORD error = ok ? (written == size ? NO_ERROR : ERROR_DISK_FULL) : GetLastError();
    CloseHandle(file);
    if (error != NO_ERROR) CFileException::Throw(error, path);
    return true;
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

bool SetupWizardApp::ExtractPayload(unsigned id, const char* destination, unsigned char rewrite) {
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(self, MAKEINTRESOURCEA(id & 0xFFFF), "OWNER_DATA");
    if (!resource) return false;
    HGLOBAL loaded = LoadResource(self, resource);
    if (!loaded) return false;
    const void* bytes = LockResource(loaded);
    DWORD size = SizeofResource(self, resource);

    if (!rewrite) {
        WriteWholeFile(destination, bytes, size);
        return true;
    }
    // The rewrite reads back the scratch copy; when it cannot be written, an
    // older copy would be read instead, so nothing is rewritten. A printer
    // name too long for the rule lines likewise leaves the destination alone.
    LineRule rules[5];
    if (WriteWholeFile(kScratchFile, bytes, size) && BuildModelNameRules(rules, g_PrinterName))
        RewriteLines(kScratchFile, destination, rules, 5);
    return true;
}
