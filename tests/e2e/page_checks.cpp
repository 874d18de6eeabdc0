#include "page_checks.h"
#include "e2e_support.h"
#include "spooler_support.h"
#include "test_support.h"
#include <gtest/gtest.h>
#include <algorithm>

namespace e2e {

void ExpectFrameButtonTexts(HWND wizard) {
    const char* back = "&Back";
    const char* next = "&Next";
    const char* cancel = "Cancel";
    const char* finish = "Finish";
    if (SystemLanguage() == 0x0804) {  // GBK
        back = "\xBA\xF3\xCD\xCB";
        next = "\xCF\xC2\xD2\xBB\xB2\xBD";
        cancel = "\xC8\xA1\xCF\xFB";
        finish = "\xCD\xEA\xB3\xC9";
    } else if (ChineseSystem()) {  // Big5
        back = "\xAB\xE1\xB0\x68";
        next = "\xA4\x55\xA4\x40\xA8\x42";
        cancel = "\xA8\xFA\xAE\xF8";
        finish = "\xA7\xB9\xA6\xA8";
    }
    EXPECT_EQ(ui::ControlText(wizard, 12323), back);
    EXPECT_EQ(ui::ControlText(wizard, 12324), next);
    EXPECT_EQ(ui::ControlText(wizard, 1061), cancel);
    EXPECT_EQ(ui::ControlText(wizard, 12325), finish);
}

void ExpectTextsFromLanguageFile(HWND dialog, int templateId, const std::string& languageFile) {
    int checked = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(child);
        if (id == 1019 || ui::ClassName(child) == "#32770") continue;  // never localised; a page
        std::string key = "IDD" + std::to_string(templateId) + "_" + std::to_string(id);
        std::string expected = LanguageText(languageFile, key);
        if (expected.empty()) continue;  // the template's text stays
        EXPECT_EQ(ui::Text(child), expected) << key;
        ++checked;
    }
    EXPECT_GT(checked, 0) << "no text of dialog " << templateId << " in " << languageFile;
}

void ExpectFonts(HWND dialog, int dpi) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        // Pictures, frames and lines draw no text and keep no font.
        LONG type = GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK;
        bool textless = ui::ClassName(child) == "Static" && type != SS_LEFT && type != SS_CENTER &&
                        type != SS_RIGHT && type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP;
        if (ui::ClassName(child) == "#32770" || textless) continue;
        ui::Font font = ui::ControlFont(child);
        std::string what = "control " + std::to_string(GetDlgCtrlID(child)) + " (" + ui::ClassName(child) + ")";
        ASSERT_TRUE(font.known) << what;
        if (EnglishSystem()) {
            EXPECT_EQ(font.face, "Arial") << what;
            EXPECT_EQ(font.height, MulDiv(13, dpi, 96)) << what;
            EXPECT_EQ(font.weight, 400) << what;
        } else {
            EXPECT_EQ(font.face, "MS Sans Serif") << what;
        }
    }
}

void ExpectHeaderBand(HWND wizard, HWND page, int dpi) {
    RECT frame = ui::ScreenRect(wizard);
    POINT origin = ui::ClientOrigin(wizard);
    RECT group = ui::ScreenRect(ui::Control(page, 1040));
    EXPECT_EQ(group.left, frame.left);
    EXPECT_EQ(group.top, frame.top);
    EXPECT_EQ(group.right, frame.right);
    RECT bitmap = ui::ScreenRect(ui::Control(page, 1065));
    EXPECT_EQ(bitmap.right - bitmap.left, MulDiv(53, dpi, 96));
    EXPECT_EQ(bitmap.bottom - bitmap.top, MulDiv(53, dpi, 96));
    EXPECT_EQ(bitmap.right, frame.right - MulDiv(5, dpi, 96));
    EXPECT_EQ(bitmap.top, origin.y + MulDiv(18, dpi, 96));
}

void ExpectSystemPreselected(HWND page, int osCode) {
    for (int id = 1070; id <= 1074; ++id)
        EXPECT_EQ(ui::CheckState(page, id), id - 1070 == osCode - 6 ? BST_CHECKED : BST_UNCHECKED) << id;
}

void ExpectInstalled(const std::string& program, int osCode, int languageIndex, const std::string& printerName) {
    ExpectPayloadWritten(program, ExpectedPayload(osCode, SystemLanguage(), languageIndex, printerName));
    // The three model DLLs are copied under their set's letter case.
    std::vector<std::string> names = test::ListFolder(DriverDirectory());
    for (const std::string& name : DriverFolderPluginNames(osCode, printerName))
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;

    const std::string key = UninstallKey(printerName);
    const std::string uninstaller = DriverDirectory() + "\\uninstall" + printerName + ".exe";
    EXPECT_EQ(test::ReadRegistryString(HKEY_LOCAL_MACHINE, key, "DisplayName"), printerName + " printer driver uninstall");
    EXPECT_EQ(test::ReadRegistryString(HKEY_LOCAL_MACHINE, key, "UninstallString"), uninstaller);
    EXPECT_EQ(test::ReadRegistryString(HKEY_LOCAL_MACHINE, key, "DisplayIcon"), uninstaller + ",-0");
    EXPECT_EQ(test::ReadRegistryString(HKEY_LOCAL_MACHINE, key, "Publisher"), printerName + " printer");

    EXPECT_NE(PrinterInstallerLog().find(test::InstallCommand(printerName)), std::string::npos) << PrinterInstallerLog();
    // On 64-bit Windows only the 64-bit printer installer can install the
    // x64 driver: a call of the 32-bit one is a failure, wherever it came from.
    EXPECT_EQ(PrinterInstallerLog().find("32-bit printer installer under WoW64"), std::string::npos)
        << PrinterInstallerLog();
    // The printer of that name, on the driver the INF names after it.
    EXPECT_EQ(test::DriverOfPrinter(printerName), printerName);
}

}  // namespace e2e
