// What the end-to-end tests share: a copy of the program in a folder of its
// own, the system language and Windows version of the run, the texts the
// wizard should show, the files an install should leave, and screenshots.
#pragma once
#include "ui_driver.h"
#include <string>
#include <vector>

namespace e2e {

// The system language Wine reports for this run (from LC_ALL).
LANGID SystemLanguage();
bool ChineseSystem();       // low byte 0x04
bool EnglishSystem();       // low byte 0x09
// "winxp", "win7", ... from E2E_WINDOWS_VERSION; "win7" when unset.
std::string WindowsVersion();
// The operating-system code the program derives from that version.
int OsCode(const std::string& version);

// Copies a program of the build ("setup.exe" or "setup_standin.exe") into
// a new folder as "setup.exe", with the run's Windows version set for that
// file name. Returns the copy's path.
std::string CopyProgram(const std::string& buildProgram, const std::string& folderName);
std::string Quoted(const std::string& path);
std::string FolderOf(const std::string& path);

// The language file a run of the program in that folder shows: the one of
// the system language, once an earlier run has written it.
std::string LanguageFileFor(const std::string& programFolder);
// A text of the [String] section ("" when empty or missing).
std::string LanguageText(const std::string& languageFile, const std::string& key);

// Bytes of an embedded file of a program file.
std::string ResourceBytes(const std::string& program, int id);
// The text as the system's ANSI code page shows it (from UTF-8), as the
// program's Unicode resources reach its ANSI calls.
std::string Ansi(const char* utf8);

// A UTF-8 text in a code page's bytes (936 GBK, 950 Big5).
std::string Encoded(const char* utf8, UINT codePage);
// The completion message for a language choice (0 Chinese, else English).
std::string CompletionMessage(int languageIndex);
// The message of a printer that did not appear, likewise.
std::string PrinterNotCreatedMessage(int languageIndex, const std::string& printerName, bool earlierInstall = false);
// What a failed install says it left, after its message: the earlier
// install as it was, or nothing.
std::string AfterAFailedInstall(int languageIndex, bool earlierInstall);

// Screenshot of a window into build/artifacts/screenshots/<name>.png.
void Screenshot(HWND window, const std::string& name);
// A name that tells runs apart: test name, Windows version, system language.
std::string RunName(const std::string& what);

// --- What an install leaves -------------------------------------------------

struct PayloadFile {
    std::string path;
    int id;
    bool rewritten;   // the GPD and the INI, whose model lines are rewritten
};
// Every file the install writes for this system, language choice and
// printer name, with the embedded file it must hold; on 64-bit Windows
// those of the x64 set, whatever the version.
std::vector<PayloadFile> ExpectedPayload(int osCode, LANGID systemLanguage, int languageIndex,
                                         const std::string& printerName);
// Names under which the set's three model DLLs are copied to the driver folder.
std::vector<std::string> DriverFolderPluginNames(int osCode, const std::string& printerName);
// Checks each file against the embedded bytes of the program (gtest failures).
void ExpectPayloadWritten(const std::string& program, const std::vector<PayloadFile>& files);

std::string DriverDirectory();
const char* const kUninstallKeyFormat = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%s printer";
std::string UninstallKey(const std::string& printerName);
using test::UninstallKeyExists;
// Command lines the printer-installer stand-in received, one a line.
std::string PrinterInstallerLog();
// Nothing of an install: no staging folder, no entry, no installer call.
void ExpectNoInstall();

// --- Walking the wizard -----------------------------------------------------

// Clicks a frame button and waits until the wizard has handled it.
void ClickAndSettle(HWND wizard, int buttonId);
// Which frame buttons are enabled, as "Back:1 Next:0 Finish:1 Cancel:1".
std::string ButtonStates(HWND wizard);

}  // namespace e2e
