#include "run_log.h"

namespace {

// "C:\logs\till.log" with a number in it: "C:\logs\till 1234.log".
bool NumberedPath(const char* path, unsigned long number, char (&numbered)[MAX_PATH]) {
    const size_t length = strlen(path);
    const bool log = length > 4 && SameName(path + length - 4, ".log");
    return AfxFormat(numbered, "%.*s %lu.log", static_cast<int>(log ? length - 4 : length), path, number);
}

}  // namespace

RunLog::~RunLog() {
    if (file_) file_->Close();   // kept: a file not closed would go
    Discard();
}

void RunLog::Discard() {
    if (file_) file_->~NewFile();
    file_ = nullptr;
}

DWORD RunLog::Open(const char* path, bool orBeside) {
    DWORD error = Make(path);
    char numbered[MAX_PATH];
    for (unsigned long attempt = 0; error && orBeside && attempt < 3; ++attempt)
        if (NumberedPath(path, GetCurrentProcessId() + attempt * 65536, numbered) && Make(numbered) == 0) break;
    return error;
}

void RunLog::Write(const char* text) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char line[3 * MAX_PATH + 32];
    if (AfxFormat(line, "%04u-%02u-%02u %02u:%02u:%02u %s\r\n", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond, text))
        file_->Write(line, static_cast<DWORD>(strlen(line))) && file_->Flush();   // each line as it happens
}

DWORD RunLog::Make(const char* path) {
    const char* name = AfxFindFileName(path);
    char folderPath[MAX_PATH];
    if (!AfxFormat(folderPath, "%.*s", static_cast<int>(name - path), path) || !name[0]) return ERROR_INVALID_NAME;
    folder_.Hold(folderPath, false, false);
    Discard();
    file_ = new (&slot_.file) NewFile(folder_, name);
    const DWORD error = file_->Error();
    if (error) Discard();
    return error;
}

bool RunLogPath(const char* named, const char* fileName, bool asSystem, char (&path)[MAX_PATH]) {
    if (named[0]) {
        const DWORD length = GetFullPathNameA(named, MAX_PATH, path, nullptr);
        return length > 0 && length < MAX_PATH;
    }
    char temp[MAX_PATH];
    const UINT length = asSystem ? GetSystemWindowsDirectoryA(temp, MAX_PATH) : GetTempPathA(sizeof temp, temp);
    if (length == 0 || length >= sizeof temp) return false;
    if (!asSystem) return AfxFormat(path, "%s%s", temp, fileName);
    return AfxFormat(path, temp[length - 1] == '\\' ? "%sTemp\\%s" : "%s\\Temp\\%s", temp, fileName);
}
