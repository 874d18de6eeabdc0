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
    {R::NameEmpty, 2, &kPrinterNameEmptyText, MB_OK | MB_ICONSTOP, "the printer name of setting.dll is empty"},
    {R::NameNotInCodePage, 2, &kPrinterNameNotInCodePageText, MB_OK | MB_ICONSTOP,
     "the printer name \"%s\" of setting.dll cannot be used: it holds bytes that are no characters of the code page"},
    {R::NameBlankAtEnd, 2, &kPrinterNameBlankText, MB_OK | MB_ICONSTOP,
     "the printer name \"%s\" of setting.dll cannot be used: it begins or ends with a blank"},
    {R::NameForbidden, 2, &kPrinterNameForbiddenText, MB_OK | MB_ICONSTOP,
     "the printer name \"%s\" of setting.dll cannot be used: it holds a character no file name or INF line may hold"},
    {R::NameDeviceName, 2, &kPrinterNameDeviceText, MB_OK | MB_ICONSTOP,
     "the printer name \"%s\" of setting.dll cannot be used: it is a device name"},
    {R::NameTooLong, 2, &kPrinterNameTooLongText, MB_OK | MB_ICONSTOP,
     "the printer name \"%s\" of setting.dll cannot be used: it is too long"},
    {R::NameSharedFile, 2, &kPrinterNameSharedText, MB_OK | MB_ICONSTOP,
     "the printer name \"%s\" of setting.dll cannot be used: a driver file would take the name of a shared one"},
    {R::NameOfAnotherDriver, 2, &kPrinterNameOfAnotherDriverText, MB_OK | MB_ICONSTOP,
     "the printer name \"%s\" of setting.dll cannot be used: it names a driver that another program installed"},
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
    // 1618 is ERROR_INSTALL_ALREADY_RUNNING, which management tools retry on.
    {R::AnotherRunning, 1618, &kAnotherRunningText, MB_OK | MB_ICONSTOP, "another setup or uninstaller is running"},
    {R::LockHeldByOther, 1618, &kRunLockHeldByOtherText, MB_OK | MB_ICONSTOP,
     "the run lock's name is held by a program that is no setup or uninstaller of this driver"},
    {R::LogNotMade, 3, nullptr, MB_OK | MB_ICONSTOP, "the log %s cannot be made (error %lu)"},
    {R::PortNotListed, 7, &kPortNotListedText, MB_OK | MB_ICONSTOP,
     "the port \"%s\" is not one the spooler lists that can be used"},
    {R::AddressInvalid, 7, &kAddressInvalidText, MB_OK | MB_ICONSTOP,
     "the address \"%s\" is no IPv4 address or host name with an optional :port"},
    {R::PortNotMade, 7, &kPortNotMadeText, MB_OK | MB_ICONSTOP,
     "the network port %s could not be made (error %lu)"},
    {R::NewerInstalled, 8, &kNewerInstalledText, MB_OK | MB_ICONSTOP,
     "version %s of the driver is installed, newer than this setup's; /FORCE installs over it"},
    // 1639 is ERROR_INVALID_COMMAND_LINE.
    {R::UnknownSwitch, 1639, &kUnknownSwitchText, MB_OK | MB_ICONSTOP, "the switch %s is unknown"},
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

// The system's text of a Win32 error, on one line.
void ErrorText(DWORD error, char (&text)[256]) {
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                  sizeof text, nullptr);
    if (length >= sizeof text) length = 0;
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' ' ||
                          text[length - 1] == '.'))
        --length;
    text[length] = '\0';
    for (char* p = text; *p; ++p)
        if (*p == '\r' || *p == '\n') *p = ' ';
}

// How the test receipt went, after the message of a completed install.
bool ReceiptMessage(const InstallOutcome& outcome, TextLanguage language, char (&text)[1024]) {
    text[0] = '\0';
    if (outcome.receipt == Receipt::Sent)
        return AfxFormat(text, TextIn(kTestReceiptSentText, language), outcome.receiptPort);
    if (outcome.receipt != Receipt::NotSent) return true;
    char reason[256];
    ErrorText(outcome.receiptError, reason);
    return AfxFormat(text, TextIn(kTestReceiptFailedText, language), outcome.receiptPort, outcome.receiptCall,
                     static_cast<unsigned long>(outcome.receiptError), reason);
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

void NoteReceipt(InstallOutcome& outcome, const char* port, const char* failedCall, DWORD error) {
    outcome.receipt = error ? Receipt::NotSent : Receipt::Sent;
    outcome.receiptError = error;
    lstrcpynA(outcome.receiptPort, port, sizeof outcome.receiptPort);
    lstrcpynA(outcome.receiptCall, error ? failedCall : "", sizeof outcome.receiptCall);
}

bool OutcomeMessage(const InstallOutcome& outcome, TextLanguage language, char* text, size_t size) {
    const OutcomeRow& row = RowOf(outcome.result);
    const LocalizedText& format = row.text ? *row.text : FileErrorText(outcome.error);
    char message[1024], receipt[1024];
    if (!AfxFormat(message, TextIn(format, language), outcome.subject) || !ReceiptMessage(outcome, language, receipt))
        return false;
    // A failed install tells what it left; a completed one, its receipt.
    const LocalizedText* rollback = RollbackText(outcome.rollback);
    const char* after = rollback ? TextIn(*rollback, language) : receipt;
    return AfxFormat(text, size, after[0] ? "%s\r\n\r\n%s" : "%s", message, after);
}

void ShowOutcome(const InstallOutcome& outcome, TextLanguage language) {
    char text[2048];
    if (OutcomeMessage(outcome, language, text, sizeof text)) AfxMessageBox(text, RowOf(outcome.result).icon);
}

bool OutcomeLogLine(const InstallOutcome& outcome, unsigned long number, char* line, size_t size) {
    const OutcomeRow& row = RowOf(outcome.result);
    char text[2 * MAX_PATH];
    const unsigned long value = row.text && !outcome.error ? number : outcome.error;
    // The system's reason cut short: the line stays within the log's.
    char receipt[400] = {}, reason[256];
    if (outcome.receipt == Receipt::Sent) {
        AfxFormat(receipt, "; a test receipt was sent to %s", outcome.receiptPort);
    } else if (outcome.receipt == Receipt::NotSent) {
        ErrorText(outcome.receiptError, reason);
        AfxFormat(receipt, "; the test receipt to %s was not sent: %s failed with error %lu (%.128s)", outcome.receiptPort,
                  outcome.receiptCall, static_cast<unsigned long>(outcome.receiptError), reason);
    }
    return AfxFormat(text, row.logLine, outcome.subject, value) &&
           AfxFormat(line, size, "outcome %d: %s%s%s", row.exitCode, text, RollbackLog(outcome.rollback), receipt);
}
