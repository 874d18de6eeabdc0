#include "file_exception.h"
#include "winapp.h"

CFileException::CFileException(Cause cause, LONG osError, const char* fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName() {
    if (fileName) lstrcpynA(m_strFileName, fileName, sizeof m_strFileName);
}

CFileException::Cause CFileException::OsErrorToCause(DWORD osError) {
    switch (osError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_CANNOT_MAKE: return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK: return badSeek;
    case ERROR_CRC:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_NOT_READY: return hardIO;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    default: return generic;
    }
}

namespace {
CFileException g_pendingFileException;
bool g_fileExceptionPending = false;
}  // namespace

void CFileException::SetPending(DWORD osError, const char* fileName) {
    if (g_fileExceptionPending) return;
    g_pendingFileException = CFileException(OsErrorToCause(osError), static_cast<LONG>(osError), fileName);
    g_fileExceptionPending = true;
}

bool CFileException::IsPending() { return g_fileExceptionPending; }

bool CFileException::TakePending(CFileException* taken) {
    if (!g_fileExceptionPending) return false;
    if (taken) *taken = g_pendingFileException;
    g_fileExceptionPending = false;
    return true;
}

void CFileException::GetErrorMessage(char* text, size_t size) const {
    if (size == 0) return;
    text[0] = '\0';
    char pattern[512] = {};
    if (m_cause == none ||
        LoadStringA(AfxGetInstanceHandle(), IDS_FILE_GENERIC + (m_cause - generic), pattern,
                    sizeof pattern) <= 0) {
        LoadStringA(AfxGetInstanceHandle(), IDS_INTERNAL_FAILURE, text, static_cast<int>(size));
        return;
    }
    // Put the file name in place of "%1", cutting at the buffer's end.
    size_t out = 0;
    for (const char* p = pattern; *p && out + 1 < size; ++p) {
        if (p[0] == '%' && p[1] == '1') {
            for (const char* n = m_strFileName; *n && out + 1 < size; ++n) text[out++] = *n;
            ++p;
        } else {
            text[out++] = *p;
        }
    }
    text[out] = '\0';
}

int CFileException::ReportError(UINT type) const {
    char text[1024];
    GetErrorMessage(text, sizeof text);
    return AfxMessageBox(text, type);
}

void AfxReportHandlerException(const CFileException& e) { e.ReportError(MB_ICONSTOP); }
