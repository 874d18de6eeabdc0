// The program's small application framework over Win32: only what the
// setup wizard uses, with the class names and behaviour it relies on.
#pragma once
#include <windows.h>

// Root of the framework's object classes. Slot order: runtime class,
// destructor, serialisation.
class CObject {
public:
    virtual const char* GetRuntimeClass() const { return "CObject"; }
    virtual ~CObject() {}
    virtual void Serialize() {}
};

// Formats into a fixed buffer; false (and an empty buffer) when the text
// does not fit, so a cut-off path is never used.
bool AfxFormat(char* buffer, size_t size, const char* format, ...);
template <size_t N, typename... Args>
bool AfxFormat(char (&buffer)[N], const char* format, Args... args) {
    return AfxFormat(static_cast<char*>(buffer), N, format, args...);
}

// The file name in a path: what follows its last backslash or slash. The
// scan goes by characters, as the trail byte of a double-byte character
// may be 0x5C (Big5), the backslash.
const char* AfxFindFileName(const char* path);

// Names of files, printers and drivers compare as the system does: letter
// case aside, in the system's code page. `length` limits both to their first
// characters (-1: whole).
bool SameName(const char* a, const char* b, int length = -1);

// Message box with the application name as caption, owned by the main window.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpContext = 0);
int AfxMessageBox(UINT stringId, UINT type = MB_OK, UINT helpContext = 0);
