// The one table that tells an outcome: exit codes, messages in the three
// languages, the file error by its cause, and the log lines.
#include "app_core/install_outcome.h"
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

std::string Message(const InstallOutcome& outcome, TextLanguage language) {
    char text[1024];
    return OutcomeMessage(outcome, language, text, sizeof text) ? text : "<does not fit>";
}

std::string Wide(const std::string& bytes, UINT codePage) {
    wchar_t wide[1024];
    const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.c_str(), -1, wide, 1024);
    return n > 0 ? "ok" : "not " + std::to_string(codePage);
}

TEST(OutcomeTable, ExitCodesAreTheOnesAdministratorsRead) {
    using R = InstallResult;
    const std::pair<R, int> codes[] = {
        {R::Installed, 0},          {R::PrinterNotCreated, 1},   {R::InstallerTimedOut, 1},
        {R::NameEmpty, 2},          {R::NameNotInCodePage, 2},   {R::NameBlankAtEnd, 2},
        {R::NameForbidden, 2},      {R::NameDeviceName, 2},      {R::NameTooLong, 2},
        {R::NameSharedFile, 2},     {R::NameOfAnotherDriver, 2}, {R::SettingsUnreadable, 2},
        {R::FolderLinked, 3},
        {R::FolderOpenToOthers, 3}, {R::ProgramFolderLinked, 3}, {R::LogNotMade, 3},
        {R::FileNotWritten, 4},     {R::Windows64, 5},           {R::AnotherRunning, 1618},
        {R::LockHeldByOther, 1618}, {R::PortNotListed, 7},       {R::AddressInvalid, 7},
        {R::PortNotMade, 7},        {R::NewerInstalled, 8},      {R::UnknownSwitch, 1639},
    };
    for (const auto& [result, code] : codes) {
        EXPECT_EQ(ExitCodeOf(result), code) << static_cast<int>(result);
        EXPECT_EQ(RowOf(result).result, result) << "no row of its own";
    }
}

// A refused name is told by the rule it breaks: each rule its own message
// in each language, naming setting.dll, PrinterName and the name.
TEST(OutcomeTable, EachNameRuleHasItsOwnMessage) {
    using R = InstallResult;
    const R rules[] = {R::NameNotInCodePage, R::NameBlankAtEnd, R::NameForbidden,   R::NameDeviceName,
                       R::NameTooLong,       R::NameSharedFile, R::NameOfAnotherDriver};
    for (auto [language, codePage] : {std::pair{TextLanguage::English, 1252u}, {TextLanguage::Simplified, 936u},
                                      {TextLanguage::Traditional, 950u}}) {
        std::set<std::string> seen = {Message(MakeOutcome(R::NameEmpty, ""), language)};
        for (R rule : rules) {
            const std::string text = Message(MakeOutcome(rule, "TILL 80"), language);
            EXPECT_NE(text.find("TILL 80"), std::string::npos) << text;
            seen.insert(text);
        }
        for (const std::string& text : seen) {
            EXPECT_NE(text.find("setting.dll"), std::string::npos) << text;
            EXPECT_NE(text.find("PrinterName"), std::string::npos) << text;
            EXPECT_EQ(Wide(text, codePage), "ok") << text;
        }
        EXPECT_EQ(seen.size(), std::size(rules) + 1) << "two rules share a text";
    }
    // A format text: the percent sign of the forbidden characters shows once.
    EXPECT_EQ(Message(MakeOutcome(R::NameForbidden, "A%B"), TextLanguage::English),
              "The printer name \"A%B\" set by PrinterName in the settings file setting.dll cannot be used: it holds "
              "one of the characters \\ / : * ? \" < > | ; , = % [ ] or a control character. Correct it and run the "
              "setup again.");
}

// A file that could not be written is told by its error's cause, with the
// file's name, in the wizard's language (the English system no longer
// reads the Simplified Chinese texts as question marks).
TEST(OutcomeTable, FileErrorByCauseInEachLanguage) {
    const DWORD errors[] = {ERROR_SUCCESS,         ERROR_NOT_SUPPORTED /* generic */,
                            ERROR_FILE_NOT_FOUND,  ERROR_PATH_NOT_FOUND,
                            ERROR_TOO_MANY_OPEN_FILES, ERROR_ACCESS_DENIED,
                            ERROR_INVALID_HANDLE,  ERROR_CURRENT_DIRECTORY,
                            ERROR_CANNOT_MAKE,     ERROR_SEEK,
                            ERROR_WRITE_FAULT,     ERROR_SHARING_VIOLATION,
                            ERROR_LOCK_VIOLATION,  ERROR_DISK_FULL,
                            ERROR_HANDLE_EOF};
    const char file[] = "C:\\TEMP\\I386\\KRXD.dll";
    for (auto [language, codePage] : {std::pair{TextLanguage::English, 1252u}, {TextLanguage::Simplified, 936u},
                                      {TextLanguage::Traditional, 950u}}) {
        std::set<std::string> seen;
        for (DWORD error : errors) {
            const std::string text = Message(MakeOutcome(InstallResult::FileNotWritten, file, error), language);
            EXPECT_EQ(text.find(file) != std::string::npos, error != ERROR_SUCCESS) << text;
            EXPECT_EQ(Wide(text, codePage), "ok") << text;
            seen.insert(text);
        }
        EXPECT_EQ(seen.size(), std::size(errors)) << "two causes share a text";
    }
    EXPECT_EQ(Message(MakeOutcome(InstallResult::FileNotWritten, file, ERROR_ACCESS_DENIED), TextLanguage::English),
              "Access to C:\\TEMP\\I386\\KRXD.dll was denied.");
    // "在存取 %s 时磁盘已满。", the framework's own text, in GBK.
    EXPECT_EQ(Message(MakeOutcome(InstallResult::FileNotWritten, "C:\\a", ERROR_DISK_FULL), TextLanguage::Simplified),
              "\xD4\xDA\xB4\xE6\xC8\xA1 C:\\a \xCA\xB1\xB4\xC5\xC5\xCC\xD2\xD1\xC2\xFA\xA1\xA3");
}

// The success message in the chosen language: English, GBK on 0x0804 and
// Big5 elsewhere, the Big5 one ending in a 0x5C trail byte.
TEST(OutcomeTable, SuccessInEachLanguage) {
    const InstallOutcome installed = MakeOutcome(InstallResult::Installed, "KRX");
    EXPECT_EQ(Message(installed, LanguageOfChoice(1, 0x0804)), "The Printer Driver has been installed successfully!");
    EXPECT_EQ(Message(installed, LanguageOfChoice(0, 0x0804)),
              "\xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xB3\xCC\xD0\xF2\xB0\xB2\xD7\xB0\xB3\xC9\xB9\xA6\x21");
    EXPECT_EQ(Message(installed, LanguageOfChoice(0, 0x0409)),
              "\xA5\xB4\xA6\x4C\xBE\xF7\xC5\x58\xB0\xCA\xB5\x7B\xA7\xC7\xA6\x77\xB8\xCB\xA6\xA8\xA5\x5C\x21");
    EXPECT_EQ(RowOf(InstallResult::Installed).icon, static_cast<UINT>(MB_OK));
}

// Code 5 names the machine that has no driver set in the program, in each
// language and in the log.
TEST(OutcomeTable, NoDriverForThisMachineNamesIt) {
    const InstallOutcome refusal = MakeOutcome(InstallResult::Windows64, "ARM64");
    EXPECT_EQ(Message(refusal, TextLanguage::English),
              "This setup carries no printer driver for Windows on ARM64 processors, which this computer runs. The "
              "setup has changed nothing.");
    for (auto [language, codePage] : {std::pair{TextLanguage::Simplified, 936u}, {TextLanguage::Traditional, 950u}}) {
        const std::string text = Message(refusal, language);
        EXPECT_NE(text.find(" ARM64 "), std::string::npos) << text;
        EXPECT_EQ(Wide(text, codePage), "ok") << text;
    }
    char line[1024];
    ASSERT_TRUE(OutcomeLogLine(refusal, 30, line, sizeof line));
    EXPECT_STREQ(line, "outcome 5: this Windows runs on ARM64 processors: the setup carries no driver for it");
    EXPECT_EQ(RowOf(InstallResult::Windows64).icon, static_cast<UINT>(MB_OK | MB_ICONSTOP));
}

// After a failed install the message and the log say what it left.
TEST(OutcomeTable, MessagesAndLogLinesSayWhatAFailedInstallLeft) {
    InstallOutcome outcome = MakeOutcome(InstallResult::InstallerTimedOut, "KRX");
    const std::string plain = Message(outcome, TextLanguage::English);
    char line[1024];
    const struct {
        Rollback rollback;
        const char* message;   // after the outcome's own
        const char* log;       // after its log line
    } cases[] = {
        {Rollback::None, "", ""},
        {Rollback::EarlierKept, "\r\n\r\nThe printer driver installed before is as it was.", "; the earlier install is as it was"},
        {Rollback::NothingLeft, "\r\n\r\nNothing of this install is left on the computer.", "; nothing of it is left"},
        {Rollback::Incomplete, "\r\n\r\nNot everything the install had changed could be put back. Run the setup again.",
         "; it could not be undone completely"},
    };
    for (const auto& c : cases) {
        outcome.rollback = c.rollback;
        EXPECT_EQ(Message(outcome, TextLanguage::English), plain + c.message);
        ASSERT_TRUE(OutcomeLogLine(outcome, 30, line, sizeof line));
        EXPECT_EQ(std::string(line), std::string("outcome 1: the printer KRX did not appear within 30 s") + c.log);
    }
    ASSERT_TRUE(OutcomeLogLine(MakeOutcome(InstallResult::FileNotWritten, "C:\\TEMP\\x", 112), 30, line, sizeof line));
    EXPECT_STREQ(line, "outcome 4: the file C:\\TEMP\\x could not be written (error 112)");
    // A port that cannot be used: the one asked for, and the monitor's error.
    ASSERT_TRUE(OutcomeLogLine(MakeOutcome(InstallResult::PortNotListed, "USB009"), 30, line, sizeof line));
    EXPECT_STREQ(line, "outcome 7: the port \"USB009\" is not one the spooler lists that can be used");
    ASSERT_TRUE(OutcomeLogLine(MakeOutcome(InstallResult::PortNotMade, "IP_10.0.0.5", 1796), 30, line, sizeof line));
    EXPECT_STREQ(line, "outcome 7: the network port IP_10.0.0.5 could not be made (error 1796)");
    // A printer name is text, never a format.
    EXPECT_EQ(Message(MakeOutcome(InstallResult::PrinterNotCreated, "%s%n"), TextLanguage::English).find("%s%n"), 12u);
}

// A completed install tells how its test receipt went, naming the port;
// a failure names the spooler call, its error and the system's reason.
TEST(OutcomeTable, TestReceiptAfterTheSuccessMessageAndInTheLog) {
    InstallOutcome outcome = MakeOutcome(InstallResult::Installed, "KRX");
    const std::string installed = Message(outcome, TextLanguage::English);
    char line[1024];
    NoteReceipt(outcome, "USB001", "", 0);
    EXPECT_EQ(Message(outcome, TextLanguage::English), installed + "\r\n\r\nA test receipt was sent to the printer on port USB001.");
    ASSERT_TRUE(OutcomeLogLine(outcome, 30, line, sizeof line));
    EXPECT_STREQ(line, "outcome 0: installed, the printer KRX exists on its driver; a test receipt was sent to USB001");

    NoteReceipt(outcome, "IP_10.0.0.5", "EndDocPrinter", ERROR_INVALID_HANDLE);
    const std::string failed = Message(outcome, TextLanguage::English);
    EXPECT_EQ(failed.find(installed + "\r\n\r\nThe test receipt could not be sent to port IP_10.0.0.5: EndDocPrinter "
                          "failed with error 6 ("), 0u) << failed;
    EXPECT_NE(failed.find("The printer is installed all the same"), std::string::npos);
    EXPECT_EQ(ExitCodeOf(outcome.result), 0);
    ASSERT_TRUE(OutcomeLogLine(outcome, 30, line, sizeof line));
    EXPECT_EQ(std::string(line).find("outcome 0: installed, the printer KRX exists on its driver; the test receipt to "
                                     "IP_10.0.0.5 was not sent: EndDocPrinter failed with error 6 ("), 0u) << line;
    // The Chinese texts name the port and the call too.
    for (TextLanguage language : {TextLanguage::Simplified, TextLanguage::Traditional}) {
        const std::string text = Message(outcome, language);
        EXPECT_NE(text.find("IP_10.0.0.5"), std::string::npos);
        EXPECT_NE(text.find("EndDocPrinter"), std::string::npos);
    }
}

}  // namespace
