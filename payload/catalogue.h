// The catalogue of embedded files: every file the program writes travels
// inside it as a resource of type "OWNER_DATA" under one of these ids.
// Plain data with no Windows dependency, so the build's resource-script
// generator reads the same table as the program.
#pragma once
#include <cstddef>

// The 32-bit sets (XP, 2000, the general one for every other Windows) and
// the x64 set for 64-bit Windows, which brings no Unidrv core: every x64
// Windows has its own, which its INF takes from the system.
enum class PayloadSet { Any, XP, Win2000, General, X64 };

enum class PayloadRole {
    LanguageFile, SettingsFile,
    StandardNames, ModelGpd, PluginIni, RenderPlugin, FontMetrics,
    UnidrvDll, UnidrvHelp, UnidrvUi, UnidrvResources,
    UiPlugin, ResourceDll, Uninstaller, Inf,
    Catalog,   // the maker's signed catalog of the driver package, where there is one
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
    // "gen:NAME" made by the build, "maker:" supplied by the printer maker
    // ("maker:optional" for one a setup may go without).
    const char* source;
};

extern const CatalogueEntry kCatalogue[];
extern const size_t kCatalogueSize;

const CatalogueEntry* FindCatalogueEntry(unsigned short id);
// The entry of a role in a set and variant, the set's own before one of
// every set; null when there is none.
const CatalogueEntry* FindCatalogueEntry(PayloadRole role, PayloadSet set,
                                         PayloadVariant variant = PayloadVariant::None);
