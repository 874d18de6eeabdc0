// Helpers shared by the tests: the build's programs, folders and files,
// processes and the registry, all through the real Win32 API under Wine.
#pragma once
#include <windows.h>
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

// Starts a program and waits for it; returns its exit code, or -1 when it
// could not be started or did not end within the timeout (it is then killed).
DWORD RunProgram(const std::string& commandLine, DWORD timeoutMs = 60000);
// Runs a copy of the setup program and, should its wizard open, cancels it
// as a user would, then waits for the process to end; returns the exit code
// and, through `wizardShown`, whether a wizard window was there.
DWORD RunSetupAndCancel(const std::string& commandLine, DWORD timeoutMs = 60000, bool* wizardShown = nullptr);
// The first visible top-level window of a process, or null; with a class
// name ("#32770" for dialogs and message boxes), the first of that class.
HWND FindProcessWindow(DWORD processId, const char* className = nullptr);
// Starts a program without waiting; the caller owns the returned handles.
PROCESS_INFORMATION StartProgram(const std::string& commandLine);

// Runs a Linux command (a Z:\\ path and its arguments) without waiting:
// Wine gives no handle to wait on one, so callers wait for its effect.
void StartLinuxCommand(const std::string& commandLine);
// The Linux path of a Windows path of this prefix ("" when Wine cannot say).
std::string LinuxPath(const std::string& windowsPath);
// Makes `link` a symbolic link to the folder `target` from the Linux side
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

}  // namespace test
