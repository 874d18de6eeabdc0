// The install's texts for the user, in the three languages of the wizard.
// The Chinese texts are GBK and Big5 bytes, passed to the message box as
// they are (the last Big5 character of the success text ends in 0x5C).
#pragma once
#include <windows.h>

struct LocalizedText {
    const char* english;
    const char* simplified;    // GBK, for the system language 0x0804
    const char* traditional;   // Big5, for every other system language
};

// English unless Chinese was chosen; then GBK on 0x0804 only, else Big5.
const char* ChooseText(const LocalizedText& text, short languageIndex, LANGID systemLanguage);

extern const LocalizedText kInstalledText;
extern const LocalizedText kPrinterNameRefusedText;
extern const LocalizedText kStagingLinkedText;       // a format: %s the folder
extern const LocalizedText kPrinterNotCreatedText;   // a format: %s the printer
