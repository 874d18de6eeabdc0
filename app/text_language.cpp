#include "text_language.h"

TextLanguage ChooseTextLanguage(bool chinese, LANGID systemLanguage) {
    const LANGID kChinesePrc = 0x0804;
    if (!chinese) return TextLanguage::English;
    return systemLanguage == kChinesePrc ? TextLanguage::Simplified : TextLanguage::Traditional;
}
