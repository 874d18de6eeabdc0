#include "install_outcome.h"
#include "../framework/afx.h"
#include "../framework/file_exception.h"
#include "app_core/texts.h"

namespace {

using R = InstallResult;

const OutcomeRow kOutcomes[] = {
    {R::Installed, 0, &kInstalledText, MB_OK, "installed, the printer %s exists on its driver"},
    {R::PrinterNotCreated, 1, &kPrinterNotCreatedText, MB_OK | MB_ICONWARNING,
     "the printer installer ended without the printer %s on the driver files written"},
    {R::InstallerTimedOut, 1, &kPrinterNotCreatedText, MB_OK | MB_ICONWARNING,
     "the printer %s did not appear within %lu s"},
    {R::NameRefused, 2, &kPrinterNameRefusedText, MB_OK | MB_ICONSTOP,
     "the printer name \"%s\" of setting.dll cannot be used"},
    {R::FolderLinked, 3, &kStagingLinkedText, MB_OK | MB_ICONSTOP, "the folder %s is refused: it leads elsewhere"},
    {R::FolderOpenToOthers, 3, &kStagingRightsText, MB_OK | MB_ICONSTOP,
     "the folder %s is refused: other users may change it"},
    {R::ProgramFolderLinked, 3, &kProgramFolderLinkedText, MB_OK | MB_ICONSTOP,
     "the folder %s is refused: it leads elsewhere"},
    {R::SettingsUnreadable, 2, &kSettingsUnreadableText, MB_OK | MB_ICONSTOP,
     "the settings file %s cannot be read"},
    {R::FileNotWritten, 4, nullptr, MB_OK | MB_ICONSTOP, "the file %s could not be written (error %lu)"},
    {R::Windows64, 5, &kMachineWithoutDriverText, MB_OK | MB_ICONSTOP,
     "this Windows runs on %s processors: the setup carries no driver for it"},
    {R::AnotherRunning, 6, &kAnotherRunningText, MB_OK | MB_ICONSTOP, "another setup or uninstaller is running"},
    {R::LogNotMade, 3, nullptr, MB_OK | MB_ICONSTOP, "the log %s cannot be made (error %lu)"},
};

// The text of a file that could not be written, by the cause of its error.
const LocalizedText& FileErrorText(DWORD error) {
    using C = CFileException;
    static const LocalizedText* const kByCause[] = {
        &kFileErrorInternalText,   &kFileErrorGenericText,      &kFileErrorNotFoundText,
        &kFileErrorBadPathText,    &kFileErrorTooManyOpenText,  &kFileErrorAccessDeniedText,
        &kFileErrorInvalidText,    &kFileErrorRemoveCurrentFolderText, &kFileErrorFolderFullText,
        &kFileErrorBadSeekText,    &kFileErrorHardwareText,     &kFileErrorSharingText,
        &kFileErrorLockingText,    &kFileErrorDiskFullText,     &kFileErrorEndOfFileText,
    };
    static_assert(sizeof kByCause / sizeof kByCause[0] == C::endOfFile + 1, "one text a cause");
    return *kByCause[C::OsErrorToCause(error)];
}

// What a failed install left, after its message and its log line.
const LocalizedText* RollbackText(Rollback rollback) {
    return rollback == Rollback::EarlierKept   ? &kEarlierKeptText
           : rollback == Rollback::NothingLeft ? &kNothingLeftText
           : rollback == Rollback::Incomplete  ? &kUndoIncompleteText
                                               : nullptr;
}
const char* RollbackLog(Rollback rollback) {
    return rollback == Rollback::EarlierKept   ? "; the earlier install is as it was"
           : rollback == Rollback::NothingLeft ? "; nothing of it is left"
           : rollback == Rollback::Incomplete  ? "; it could not be undone completely"
                                               : "";
}

}  // namespace

const OutcomeRow& RowOf(InstallResult result) {
    for (const OutcomeRow& row : kOutcomes)
        if (row.result == result) return row;
    return kOutcomes[0];
}

InstallOutcome MakeOutcome(InstallResult result, const char* subject, DWORD error) {
    InstallOutcome outcome;
    outcome.result = result;
    outcome.error = error;
    lstrcpynA(outcome.subject, subject ? subject : "", sizeof outcome.subject);
    return outcome;
}

bool OutcomeMessage(const InstallOutcome& outcome, TextLanguage language, char* text, size_t size) {
    const OutcomeRow& row = RowOf(outcome.result);
    const LocalizedText& format = row.text ? *row.text : FileErrorText(outcome.error);
    char message[1024];
    const LocalizedText* rollback = RollbackText(outcome.rollback);
    return AfxFormat(message, TextIn(format, language), outcome.subject) &&
           AfxFormat(text, size, rollback ? "%s\r\n\r\n%s" : "%s", message, rollback ? TextIn(*rollback, language) : "");
}

void ShowOutcome(const InstallOutcome& outcome, TextLanguage language) {
    char text[1024];
    if (OutcomeMessage(outcome, language, text, sizeof text)) AfxMessageBox(text, RowOf(outcome.result).icon);
}

bool OutcomeLogLine(const InstallOutcome& outcome, unsigned long number, char* line, size_t size) {
    const OutcomeRow& row = RowOf(outcome.result);
    char text[2 * MAX_PATH];
    const unsigned long value = row.text ? number : outcome.error;
    return AfxFormat(text, row.logLine, outcome.subject, value) &&
           AfxFormat(line, size, "outcome %d: %s%s", row.exitCode, text, RollbackLog(outcome.rollback));
}
