// The language files in the program's "Language" folder and the settings
// file beside the program, as the catalogue names them.
#pragma once
#include "../app_core/text_language.h"
#include "../payload/catalogue.h"

const char kLanguageFolder[] = "Language";

inline const CatalogueEntry* LanguageFileEntry(TextLanguage language) {
    const PayloadVariant variant = language == TextLanguage::Simplified    ? PayloadVariant::Simplified
                                   : language == TextLanguage::Traditional ? PayloadVariant::Traditional
                                                                           : PayloadVariant::English;
    return FindCatalogueEntry(PayloadRole::LanguageFile, PayloadSet::Any, variant);
}
inline const CatalogueEntry* SettingsFileEntry() {
    return FindCatalogueEntry(PayloadRole::SettingsFile, PayloadSet::Any);
}
