// The application object's install operations: each takes the user's
// choices from the application state and calls down into the install.
#include "setup_app.h"
#include "../app_core/app_state.h"
#include "../app_core/text_language.h"
#include "../framework/file_exception.h"
#include "../framework/wnd.h"
#include "../install/install_runner.h"
#include "app_core/texts.h"
#include "../system/held_folder.h"
#include "../payload/install_plan.h"
#include "../payload/payload_resource.h"

namespace {

InstallChoices ChoicesFromState() {
    return {g_PrinterName, g_OSVersion, GetSystemDefaultLangID(), g_LanguageIndex, g_SetDefaultPrinter};
}

// A text with one %s, in a message box.
void ShowText(const LocalizedText& text, TextLanguage language, const char* argument, UINT type) {
    char message[1024];
    if (AfxFormat(message, TextIn(text, language), argument)) AfxMessageBox(message, type);
}

}  // namespace

void ShowInstallOutcome(const InstallOutcome& outcome, const InstallChoices& choices) {
    const TextLanguage language = LanguageOfChoice(choices.languageIndex, choices.systemLanguage);
    switch (outcome.result) {
    case InstallResult::Installed: {
        AfxMessageBox(TextIn(kInstalledText, language), MB_OK, 0);
        CWnd* main = AfxGetMainWnd();
        PostMessageA(main ? main->GetSafeHwnd() : nullptr, WM_QUIT, 0, 0);
        break;
    }
    case InstallResult::PrinterNotCreated:
        ShowText(kPrinterNotCreatedText, language, choices.printerName, MB_OK | MB_ICONWARNING);
        break;
    case InstallResult::NameRefused:
        AfxMessageBox(TextIn(kPrinterNameRefusedText, language), MB_OK | MB_ICONSTOP);
        break;
    case InstallResult::FolderRefused:
        ShowText(outcome.refusal == FolderRefusal::Link ? kStagingLinkedText : kStagingRightsText, language,
                 outcome.folder, MB_OK | MB_ICONSTOP);
        break;
    case InstallResult::FileNotWritten:
        CFileException::SetPending(static_cast<DWORD>(outcome.fileError.m_lOsError), outcome.fileError.m_strFileName);
        break;
    }
}

void SetupWizardApp::InstallDriver() {
    const InstallChoices choices = ChoicesFromState();
    ShowInstallOutcome(RunInstall(choices), choices);
}

void SetupWizardApp::Delete() {
    CleanUpEarlierInstall(ChoicesFromState());
}

bool SetupWizardApp::ExtractPayload(unsigned id, const char* destination, unsigned char rewrite) {
    PayloadBytes payload;
    if (!FindPayload(id, payload)) return false;
    // A rewritten file leaves its raw bytes in the staging folder's scratch
    // copy, as the install's does.
    if (rewrite == kRewriteModelLines) {
        HeldFolder staging;
        staging.Hold(kStagingFolder, false, false);
        WritePayload(staging, kScratchFileName, id, kWriteUnchanged, "");
    }
    // The destination's folder is held while the file is made in it.
    const char* name = AfxFindFileName(destination);
    char folderPath[MAX_PATH];
    HeldFolder folder;
    if (AfxFormat(folderPath, "%.*s", static_cast<int>(name - destination), destination))
        folder.Hold(folderPath, false, false);
    DWORD error = WritePayload(folder, name, id, rewrite, g_PrinterName);
    if (error == ERROR_RESOURCE_NAME_NOT_FOUND) return false;
    if (error) CFileException::SetPending(error, destination);
    return true;
}
