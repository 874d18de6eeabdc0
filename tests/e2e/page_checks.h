// Checks of what the wizard shows and what an install leaves, shared by the
// end-to-end tests. Each reports through gtest.
#pragma once
#include <windows.h>
#include <string>

namespace e2e {

// Back, Next, Cancel and Finish read as the system language's file says.
void ExpectFrameButtonTexts(HWND wizard);
// Every direct child whose key has a text in the language file shows it.
void ExpectTextsFromLanguageFile(HWND dialog, int templateId, const std::string& languageFile);
// On an English system every control is drawn in 13-pixel Arial; on any
// other the template's font stays. Pixels are those of a 96-dpi screen,
// scaled to a screen of `dpi`.
void ExpectFonts(HWND dialog, int dpi = 96);
// The header band: its group box spans the frame's full width from the
// frame's outer top, the 53 by 53 bitmap sits 18 pixels below the page top
// and 5 pixels left of the frame's right edge (pixels as above).
void ExpectHeaderBand(HWND wizard, HWND page, int dpi = 96);
// The operating-system button of the code is checked, and only it.
void ExpectSystemPreselected(HWND page, int osCode);
// The files, the uninstall entry, the printer and the installer's command.
void ExpectInstalled(const std::string& program, int osCode, int languageIndex, const std::string& printerName);

}  // namespace e2e
