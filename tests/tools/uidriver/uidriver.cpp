// Walks the setup wizard through its four pages as a user who keeps every
// default would: Next, Next, the one printer series, Next, then OK on the
// completion message. Used by the demo when there is no display to click on.
//   uidriver.exe SETUP_EXE SCREENSHOT_FOLDER
// Prints each step; the exit code is 0 when the wizard ran to its end.
#include "ui_driver.h"
#include <cstdio>
#include <string>

namespace {

// Texts are the program's bytes in the system's code page; the terminal wants UTF-8.
std::string Readable(const std::string& bytes) {
    WCHAR wide[1024];
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.c_str(), static_cast<int>(bytes.size()), wide, 1023);
    char utf8[4096];
    int m = WideCharToMultiByte(CP_UTF8, 0, wide, n, utf8, sizeof utf8 - 1, nullptr, nullptr);
    return std::string(utf8, m > 0 ? m : 0);
}

int Fail(const char* what) {
    printf("uidriver: %s\n", what);
    return 1;
}

void Shot(HWND window, const std::string& folder, const char* name) {
    bool saved = !ui::SaveScreenshot(window, folder + "\\" + name).empty();
    printf("  screenshot: %s\n", saved ? name : "(failed)");
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc != 3) return Fail("usage: uidriver.exe SETUP_EXE SCREENSHOT_FOLDER");
    std::string folder = argv[2];
    CreateDirectoryA(folder.c_str(), nullptr);

    test::Program setup(std::string("\"") + argv[1] + "\"");
    if (!setup.Started()) return Fail("the program could not be started");
    HWND wizard = ui::WaitForWizard(setup);
    if (!wizard) return Fail("no wizard window appeared");

    struct Step { int page; const char* name; };
    const Step steps[] = {{ui::kWelcomePage, "1-welcome"},
                          {ui::kSystemLanguagePage, "2-system-and-language"},
                          {ui::kSeriesPage, "3-printer-series"},
                          {ui::kInstallPage, "4-install"}};
    for (const Step& step : steps) {
        HWND page = ui::WaitForPage(wizard, step.page);
        if (!page) return Fail("the expected page did not show");
        printf("Page %d (%s)\n", step.page, step.name + 2);
        if (step.page == ui::kSeriesPage) {
            ui::SelectListRow(page, 1006, 0);
            ui::Settle(wizard);
            printf("  selected: %s\n", Readable(ui::ControlText(page, 1019)).c_str());
        }
        Shot(wizard, folder, step.name);
        if (step.page != ui::kInstallPage) {
            ui::Click(wizard, 12324);
            ui::Settle(wizard);
        }
    }

    printf("Installing (the program waits for the printer to appear)...\n");
    HWND box = setup.WaitForMessageBox(60000);
    if (!box) return Fail("no completion message: the printer did not appear");
    printf("Message \"%s\": %s\n", Readable(ui::Text(box)).c_str(), Readable(ui::ControlText(box, 0xFFFF)).c_str());
    Shot(box, folder, "5-message");
    ui::Click(box, IDOK);
    DWORD exitCode = setup.WaitForExit(20000);
    if (exitCode == test::kNotEnded) return Fail("the program did not end after OK");
    printf("The program ended with exit code %lu.\n", exitCode);
    return 0;
}
