#include "set_dialog_strings.h"
#include "app_state.h"
#include "text_language.h"
#include "../framework/gdi.h"
#include "../framework/screen_dpi.h"
#include "../framework/wnd.h"

namespace {
// Every dialog gets the same font, 13 pixels high on a 96-dpi screen. The
// controls go on using it after the call, so it is made once and kept until
// the process ends.
CFont g_dialogFont;

HFONT DialogFont() {
    if (!g_dialogFont.m_hObject)
        g_dialogFont.CreateFont(ScaleToScreen(13), 0, 0, 0, FW_NORMAL, false, false, false, ANSI_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS | DEFAULT_PITCH,
                                "Arial");
    return g_dialogFont;
}

// The read-only fields that never take a text from the language file.
const int kNeverLocalisedId = 1019;
const int kTextSize = 1000;
}  // namespace

void g_SetDialogStrings(CWnd* dialog, int templateId) {
    if (!dialog || !dialog->m_hWnd) return;
    const HFONT font = DialogFont();

    char text[kTextSize] = {};
    char key[64];
    if (AfxFormat(key, "IDD%d_Title", templateId) &&
        GetPrivateProfileStringA("String", key, "", text, sizeof text, g_LanguageFile) > 0)
        dialog->SetWindowText(text);

    const bool englishSystem = IsEnglishLanguage(GetSystemDefaultLangID());
    for (HWND child = GetWindow(dialog->m_hWnd, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        ZeroMemory(text, sizeof text);
        const int id = GetDlgCtrlID(child);
        if (englishSystem && IsWindow(child))
            SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (id == kNeverLocalisedId) continue;
        if (AfxFormat(key, "IDD%d_%d", templateId, id) &&
            GetPrivateProfileStringA("String", key, "", text, sizeof text, g_LanguageFile) > 0)
            SetWindowTextA(child, text);
    }
}

bool DialogTextLanguage(TextLanguage& language) {
    char name[kTextSize] = {};
    if (!g_LanguageFile[0]) return false;
    GetPrivateProfileStringA("Setting", "Language", "", name, sizeof name, g_LanguageFile);
    if (lstrcmpA(name, "English") == 0)
        language = TextLanguage::English;
    else if (lstrcmpA(name, "Chinese") == 0)
        language = ChooseTextLanguage(true, GetSystemDefaultLangID());
    else
        return false;
    return true;
}
