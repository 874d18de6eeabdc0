// Helpers shared by the tests: the build's programs, folders and files,
// processes and the registry, all through the real Win32 API under Wine.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace test {

// The build folder as a Windows path (Z:\...), from SETUP_BUILD_DIR.
std::string BuildDir();
// A program or file of the build: BuildPath("setup.exe").
std::string BuildPath(const std::string& relative);

// A new empty folder under C:\tests with the given name and a unique suffix.
std::string MakeTempFolder(const std::string& name);

// Bytes of an embedded file ("OWNER_DATA") of this test program; empty when absent.
std::string EmbeddedPayload(unsigned id);

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// Names of the files and folders in a folder, without "." and "..".
std::vector<std::string> ListFolder(const std::string& folder);

// Polls the condition every 20 ms until it holds; false when time ran out.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// The first visible top-level window of a process of that class (any class
// when null; "#32770" for dialogs and message boxes) that `accept` takes
// (every one when empty); null when there is none.
HWND FindProcessWindow(DWORD processId, const char* className = nullptr,
                       const std::function<bool(HWND)>& accept = {});
// A message box of our programs: a dialog holding the message text (control
// 0xFFFF) that is neither the setup wizard (its page area, 1000) nor its
// about box (1062).
bool IsMessageBox(HWND window);

// A message box as a user sees it: its text and caption (the ANSI calls' bytes).
struct MessageBoxSeen {
    bool seen = false;
    std::string text;
    std::string caption;
};
MessageBoxSeen ReadMessageBox(HWND box);

// The exit code WaitForExit gives a program that did not start or end in time.
const DWORD kNotEnded = static_cast<DWORD>(-1);

// A program a test starts; killed if it still runs when this goes. A Linux
// program (a Z:\ path) starts as well, but Wine gives no handle to wait on
// for one: its callers wait for what it does.
class Program {
public:
    explicit Program(const std::string& commandLine);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return info_.hProcess != nullptr; }
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }
    bool HasEnded() const;   // or never started
    // Waits for the end and gives the exit code; a program that does not
    // end in time is killed (kNotEnded).
    DWORD WaitForExit(DWORD timeoutMs = 60000);

    // FindProcessWindow for this program.
    HWND Window(const char* className = nullptr, const std::function<bool(HWND)>& accept = {}) const;
    // Waits until such a window shows; null when time ran out or the program ended.
    HWND WaitForWindow(const char* className, const std::function<bool(HWND)>& accept, DWORD timeoutMs) const;
    HWND WaitForMessageBox(DWORD timeoutMs = 30000) const;
    // Waits for a message box, reads it, presses `button` and waits until
    // the box is gone; not seen when the program ended or time ran out.
    MessageBoxSeen AnswerMessageBox(int button, DWORD timeoutMs = 30000) const;

private:
    PROCESS_INFORMATION info_ = {};
};

// Waits until no process of that program file name ("rundll32.exe") runs
// in this prefix; false when one still does when time ran out.
bool WaitUntilNoneRuns(const char* programFileName, DWORD timeoutMs);

// Runs a copy of the setup program and, should its wizard open, cancels it
// as a user would, then waits for the process to end; returns the exit code
// and, through `wizardShown`, whether a wizard window was there.
DWORD RunSetupAndCancel(const std::string& commandLine, DWORD timeoutMs = 60000, bool* wizardShown = nullptr);

// The Linux path of a Windows path of this prefix ("" when Wine cannot say).
std::string LinuxPath(const std::string& windowsPath);
// Makes `link` a symbolic link to the folder or file `target` from the Linux side
// (Wine's own link call does nothing); true once Windows sees it. The
// second removes such a link.
bool MakeUnixLink(const std::string& link, const std::string& target);
void RemoveUnixLink(const std::string& link);

// The Windows version Wine reports to one program file name ("winxp" ...).
void SetWindowsVersion(const std::string& programFileName, const std::string& version);

// The command lines setup sends the printer installer for a printer name,
// as the installer stand-in logs them (C:\printui.log).
std::string InstallCommand(const std::string& printerName);
std::string DefaultCommand(const std::string& printerName);
// How long the installer stand-in waits before it adds a printer.
void SetPrintUiDelay(DWORD milliseconds);

// String value of a registry key, or "<missing>".
std::string ReadRegistryString(HKEY root, const std::string& key, const std::string& name);
// The uninstall entry of a printer name is there.
bool UninstallKeyExists(const std::string& printerName);
// Empties a folder, its subfolders and their files going with it.
void EmptyFolder(const std::string& folder);

}  // namespace test
