// Which of the program's three text languages a text uses: English,
// Simplified Chinese (GBK bytes) or Traditional Chinese (Big5 bytes). One
// rule for the wizard's language files, its messages, the driver's plug-in
// language and the uninstaller.
#pragma once
#include <windows.h>

enum class TextLanguage { English, Simplified, Traditional };

// Chinese of any region: the primary-language byte is 0x04.
inline bool IsChineseLanguage(LANGID language) { return (language & 0xFF) == 0x04; }
inline bool IsEnglishLanguage(LANGID language) { return (language & 0xFF) == 0x09; }

// Chinese texts are Simplified on a Chinese (PRC) system, 0x0804, and
// Traditional on every other; a text that is not Chinese is English.
TextLanguage ChooseTextLanguage(bool chinese, LANGID systemLanguage);

// By the system's language alone: language files, the uninstaller.
inline TextLanguage LanguageOfSystem(LANGID systemLanguage) {
    return ChooseTextLanguage(IsChineseLanguage(systemLanguage), systemLanguage);
}
// The language choice the wizard preselects, and an unattended install
// takes: 0 Chinese on a Chinese system, 1 English on an English one, -1
// (none) on any other.
short PreselectedLanguageIndex(LANGID systemLanguage);
// By the wizard's language choice (0 Chinese; 1 English and -1, none made,
// are English): the install's messages and the plug-in language.
inline TextLanguage LanguageOfChoice(short languageIndex, LANGID systemLanguage) {
    return ChooseTextLanguage(languageIndex == 0, systemLanguage);
}

// A text of the programs in their three languages. The Chinese texts are
// GBK and Big5 bytes, passed to the system as they are.
struct LocalizedText {
    const char* english;
    const char* simplified;    // GBK
    const char* traditional;   // Big5
};
inline const char* TextIn(const LocalizedText& text, TextLanguage language) {
    return language == TextLanguage::Simplified    ? text.simplified
           : language == TextLanguage::Traditional ? text.traditional
                                                   : text.english;
}
