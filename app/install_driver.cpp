// The application object's install operations.
#include "setup_app.h"
#include "../app_core/app_state.h"
#include "../install/install_runner.h"
#include "../system/held_folder.h"
#include "../payload/install_plan.h"
#include "../payload/payload_resource.h"

InstallOutcome SetupWizardApp::InstallDriver(const InstallChoices& choices) { return RunInstall(choices); }

bool SetupWizardApp::ExtractPayload(unsigned id, const char* destination, unsigned char rewrite,
                                    CFileException* error) {
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
    const DWORD written = WritePayload(folder, name, id, rewrite, g_PrinterName);
    if (written && error)
        *error = CFileException(CFileException::OsErrorToCause(written), static_cast<LONG>(written), destination);
    return written == 0;
}
