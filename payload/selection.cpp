#include "selection.h"
#include <cstdio>

PayloadSet ChoosePayloadSet(int osCode) {
    if (osCode == 7) return PayloadSet::XP;
    if (osCode == 6) return PayloadSet::Win2000;
    return PayloadSet::General;
}

PayloadVariant ChooseCoreVariant(unsigned short systemLanguage) {
    return (systemLanguage & 0xFF) == 0x04 ? PayloadVariant::ChineseCore : PayloadVariant::OtherCore;
}

PayloadVariant ChoosePluginLanguage(short languageIndex, unsigned short systemLanguage) {
    if (languageIndex != 0) return PayloadVariant::English;
    return systemLanguage == 0x0804 ? PayloadVariant::Simplified : PayloadVariant::Traditional;
}

namespace {

const char* const kStaging[] = {"C:\\TEMP\\", "C:\\TEMP\\I386\\", "C:\\TEMP\\x86\\"};

struct Step {
    PayloadRole role;
    int places;      // 1: C:\TEMP only; 3: C:\TEMP, C:\TEMP\I386 and C:\TEMP\x86
    bool rewrite;
    int variantKind; // 0 none, 1 Unidrv core, 2 plug-in language
};

const Step kSteps[] = {
    {PayloadRole::StandardNames, 1, false, 0},
    {PayloadRole::ModelGpd, 1, true, 0},
    {PayloadRole::PluginIni, 1, true, 0},
    {PayloadRole::RenderPlugin, 3, false, 0},
    {PayloadRole::FontMetrics, 1, false, 0},
    {PayloadRole::UnidrvDll, 1, false, 1},
    {PayloadRole::UnidrvHelp, 1, false, 1},
    {PayloadRole::UnidrvUi, 1, false, 1},
    {PayloadRole::UnidrvResources, 1, false, 1},
    {PayloadRole::UiPlugin, 3, false, 2},
    {PayloadRole::ResourceDll, 3, false, 2},
};

bool FormatDestination(char* out, const char* folder, const char* nameFormat, const char* printer) {
    char name[kPathSize];
    int n = snprintf(name, sizeof name, nameFormat, printer);
    if (n < 0 || static_cast<size_t>(n) >= sizeof name) return false;
    n = snprintf(out, kPathSize, "%s%s", folder, name);
    return n >= 0 && static_cast<size_t>(n) < kPathSize;
}

}  // namespace

size_t SelectDriverPayload(int osCode, unsigned short systemLanguage, short languageIndex,
                           const char* printerName, PayloadWrite* out, size_t capacity) {
    if (capacity < kDriverPayloadWrites) return 0;
    PayloadSet set = ChoosePayloadSet(osCode);
    PayloadVariant core = ChooseCoreVariant(systemLanguage);
    PayloadVariant language = ChoosePluginLanguage(languageIndex, systemLanguage);
    size_t count = 0;
    for (const Step& step : kSteps) {
        PayloadVariant variant = step.variantKind == 1   ? core
                                 : step.variantKind == 2 ? language
                                                         : PayloadVariant::None;
        const CatalogueEntry* entry = FindCatalogueEntry(step.role, set, variant);
        if (!entry) return 0;
        for (int place = 0; place < step.places; ++place) {
            PayloadWrite& write = out[count++];
            write.id = entry->id;
            write.rewrite = step.rewrite;
            if (!FormatDestination(write.destination, kStaging[place], entry->fileName, printerName))
                return 0;
        }
    }
    return count;
}

PluginCopyFormats PluginCopyFormatsFor(PayloadSet set) {
    switch (set) {
    case PayloadSet::XP: return {"%sRES.DLL", "%sD.dll", "%sF.dll"};
    case PayloadSet::Win2000: return {"%sRES.DLL", "%sD.DLL", "%sF.DLL"};
    default: return {"%sRES.dll", "%sD.dll", "%sF.dll"};
    }
}
