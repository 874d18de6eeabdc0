#include "text_language.h"

TextLanguage ChooseTextLanguage(bool chinese, LANGID systemLanguage) {
    const LANGID kChinesePrc = 0x0804;
    if (!chinese) return TextLanguage::English;
    return systemLanguage == kChinesePrc ? TextLanguage::Simplified : TextLanguage::Traditional;
}

short PreselectedLanguageIndex(LANGID systemLanguage) {
    if (IsChineseLanguage(systemLanguage)) return 0;
    return IsEnglishLanguage(systemLanguage) ? 1 : -1;
}
