// The catalogue of embedded files: every file the program writes travels
// inside it as a resource of type "OWNER_DATA" under one of these ids.
// Plain data with no Windows dependency, so the build's resource-script
// generator reads the same table as the program.
#pragma once
#include <cstddef>

enum class PayloadSet { Any, XP, Win2000, General };

enum class PayloadRole {
    LanguageFile, SettingsFile,
    StandardNames, ModelGpd, PluginIni, RenderPlugin, FontMetrics,
    UnidrvDll, UnidrvHelp, UnidrvUi, UnidrvResources,
    UiPlugin, ResourceDll, Uninstaller, Inf,
};

// Chinese/non-Chinese for the Unidrv core; Simplified/Traditional/English
// for the model's user-interface plug-in and resource DLL.
enum class PayloadVariant { None, ChineseCore, OtherCore, Simplified, Traditional, English };

struct CatalogueEntry {
    unsigned short id;
    unsigned long size;      // size of the catalogued file in bytes
    PayloadRole role;
    PayloadSet set;
    PayloadVariant variant;
    const char* fileName;    // name on disk; "%s" is the printer name
    // Where the build takes the bytes: "file:NAME" in payload/files,
    // "gen:NAME" made by the build, "maker:" supplied by the printer maker.
    const char* source;
};

extern const CatalogueEntry kCatalogue[];
extern const size_t kCatalogueSize;

const CatalogueEntry* FindCatalogueEntry(unsigned short id);
// The entry of a role in a set and variant; null when there is none.
const CatalogueEntry* FindCatalogueEntry(PayloadRole role, PayloadSet set,
                                         PayloadVariant variant = PayloadVariant::None);
