#include "catalogue.h"
#include <initializer_list>

using R = PayloadRole;
using S = PayloadSet;
using V = PayloadVariant;

const CatalogueEntry kCatalogue[] = {
    {146, 9304, R::LanguageFile, S::Any, V::Simplified, "Multi_ch.dll", "gen:Multi_ch.dll"},
    {147, 9326, R::LanguageFile, S::Any, V::English, "Multi_eng.dll", "gen:Multi_eng.dll"},
    {148, 44, R::SettingsFile, S::Any, V::None, "setting.dll", "file:setting.dll"},
    {149, 264704, R::UnidrvDll, S::XP, V::ChineseCore, "UNIDRV.DLL", "maker:"},
    {150, 193024, R::UnidrvUi, S::XP, V::ChineseCore, "UNIDRVUI.DLL", "maker:"},
    {151, 618496, R::UnidrvResources, S::XP, V::ChineseCore, "UNIRES.DLL", "maker:"},
    {152, 12164, R::UnidrvHelp, S::XP, V::ChineseCore, "UNIDRV.HLP", "maker:"},
    {153, 14362, R::StandardNames, S::XP, V::None, "STDNAMES.GPD", "file:STDNAMES.GPD"},
    {154, 496, R::FontMetrics, S::Any, V::None, "ZIKU.UFM", "gen:ZIKU.UFM"},
    {155, 9130, R::ModelGpd, S::XP, V::None, "%s.GPD", "file:KRX.GPD"},
    {156, 23040, R::RenderPlugin, S::XP, V::None, "%sD.dll", "maker:"},
    {157, 13312, R::UiPlugin, S::XP, V::Simplified, "%sF.dll", "maker:"},
    {158, 5120, R::ResourceDll, S::XP, V::Simplified, "%sRES.DLL", "gen:KRXRES_chs.dll"},
    {159, 64, R::PluginIni, S::XP, V::None, "%s.INI", "file:KRX.INI"},
    {161, 13312, R::UiPlugin, S::XP, V::English, "%sF.dll", "maker:"},
    {162, 5120, R::ResourceDll, S::XP, V::English, "%sRES.DLL", "gen:KRXRES_eng.dll"},
    {163, 251904, R::UnidrvDll, S::XP, V::OtherCore, "UNIDRV.DLL", "maker:"},
    {164, 21225, R::UnidrvHelp, S::XP, V::OtherCore, "UNIDRV.HLP", "maker:"},
    {165, 196096, R::UnidrvUi, S::XP, V::OtherCore, "UNIDRVUI.DLL", "maker:"},
    {166, 619520, R::UnidrvResources, S::XP, V::OtherCore, "UNIRES.DLL", "maker:"},
    {168, 14362, R::StandardNames, S::Win2000, V::None, "STDNAMES.GPD", "file:STDNAMES.GPD"},
    {169, 9130, R::ModelGpd, S::Win2000, V::None, "%s.GPD", "file:KRX.GPD"},
    {170, 64, R::PluginIni, S::Win2000, V::None, "%s.INI", "file:KRX.INI"},
    {171, 23040, R::RenderPlugin, S::Win2000, V::None, "%sD.dll", "maker:"},
    {172, 264704, R::UnidrvDll, S::Win2000, V::ChineseCore, "UNIDRV.DLL", "maker:"},
    {173, 12164, R::UnidrvHelp, S::Win2000, V::ChineseCore, "UNIDRV.HLP", "maker:"},
    {174, 193024, R::UnidrvUi, S::Win2000, V::ChineseCore, "UNIDRVUI.DLL", "maker:"},
    {175, 618496, R::UnidrvResources, S::Win2000, V::ChineseCore, "UNIRES.DLL", "maker:"},
    {176, 251904, R::UnidrvDll, S::Win2000, V::OtherCore, "UNIDRV.DLL", "maker:"},
    {177, 21225, R::UnidrvHelp, S::Win2000, V::OtherCore, "UNIDRV.HLP", "maker:"},
    {178, 196096, R::UnidrvUi, S::Win2000, V::OtherCore, "UNIDRVUI.DLL", "maker:"},
    {179, 619520, R::UnidrvResources, S::Win2000, V::OtherCore, "UNIRES.DLL", "maker:"},
    {182, 13312, R::UiPlugin, S::Win2000, V::English, "%sF.dll", "maker:"},
    {183, 5120, R::ResourceDll, S::Win2000, V::English, "%sRES.DLL", "gen:KRXRES_eng.dll"},
    {184, 13312, R::UiPlugin, S::Win2000, V::Simplified, "%sF.dll", "maker:"},
    {185, 5120, R::ResourceDll, S::Win2000, V::Simplified, "%sRES.DLL", "gen:KRXRES_chs.dll"},
    {186, 14362, R::StandardNames, S::General, V::None, "STDNAMES.GPD", "file:STDNAMES.GPD"},
    {187, 9130, R::ModelGpd, S::General, V::None, "%s.GPD", "file:KRX.GPD"},
    {188, 64, R::PluginIni, S::General, V::None, "%s.INI", "file:KRX.INI"},
    {189, 23040, R::RenderPlugin, S::General, V::None, "%sD.dll", "maker:"},
    {190, 263680, R::UnidrvDll, S::General, V::ChineseCore, "UNIDRV.DLL", "maker:"},
    {191, 12164, R::UnidrvHelp, S::General, V::ChineseCore, "UNIDRV.HLP", "maker:"},
    {192, 198144, R::UnidrvUi, S::General, V::ChineseCore, "UNIDRVUI.DLL", "maker:"},
    {193, 618496, R::UnidrvResources, S::General, V::ChineseCore, "UNIRES.DLL", "maker:"},
    {194, 13312, R::UiPlugin, S::General, V::Simplified, "%sF.dll", "maker:"},
    {195, 5120, R::ResourceDll, S::General, V::Simplified, "%sRES.DLL", "gen:KRXRES_chs_general.dll"},
    {196, 251904, R::UnidrvDll, S::General, V::OtherCore, "UNIDRV.DLL", "maker:"},
    {197, 21225, R::UnidrvHelp, S::General, V::OtherCore, "UNIDRV.HLP", "maker:"},
    {198, 196096, R::UnidrvUi, S::General, V::OtherCore, "UNIDRVUI.DLL", "maker:"},
    {199, 619520, R::UnidrvResources, S::General, V::OtherCore, "UNIRES.DLL", "maker:"},
    {200, 13312, R::UiPlugin, S::General, V::English, "%sF.dll", "maker:"},
    {201, 5120, R::ResourceDll, S::General, V::English, "%sRES.DLL", "gen:KRXRES_eng.dll"},
    {248, 9305, R::LanguageFile, S::Any, V::Traditional, "Multi_ch_BIG5.dll", "gen:Multi_ch_BIG5.dll"},
    {249, 13312, R::UiPlugin, S::XP, V::Traditional, "%sF.dll", "maker:"},
    {250, 13312, R::UiPlugin, S::Win2000, V::Traditional, "%sF.dll", "maker:"},
    {251, 13312, R::UiPlugin, S::General, V::Traditional, "%sF.dll", "maker:"},
    {252, 5120, R::ResourceDll, S::Win2000, V::Traditional, "%sRES.DLL", "gen:KRXRES_cht.dll"},
    {253, 5120, R::ResourceDll, S::General, V::Traditional, "%sRES.DLL", "gen:KRXRES_cht.dll"},
    {254, 5120, R::ResourceDll, S::XP, V::Traditional, "%sRES.DLL", "gen:KRXRES_cht.dll"},
    {255, 225280, R::Uninstaller, S::Any, V::None, "uninstall%s.exe", "gen:uninstall.exe"},
    {256, 1588, R::Inf, S::Any, V::None, "%s.INF", "file:KRX.INF"},
    // The x64 set: the maker's 64-bit plug-ins and our 64-bit resource DLLs
    // (the general set's strings), the same GPD and INI texts, an INF of its
    // own and the maker's catalog. The plug-ins' sizes are those of their
    // stand-ins; the maker's files have their own.
    {257, 98304, R::RenderPlugin, S::X64, V::None, "%sD.dll", "maker:"},
    {258, 65536, R::UiPlugin, S::X64, V::Simplified, "%sF.dll", "maker:"},
    {259, 65536, R::UiPlugin, S::X64, V::Traditional, "%sF.dll", "maker:"},
    {260, 65536, R::UiPlugin, S::X64, V::English, "%sF.dll", "maker:"},
    {261, 4096, R::ResourceDll, S::X64, V::Simplified, "%sRES.DLL", "gen:KRXRES_chs_general_x64.dll"},
    {262, 4096, R::ResourceDll, S::X64, V::Traditional, "%sRES.DLL", "gen:KRXRES_cht_x64.dll"},
    {263, 4096, R::ResourceDll, S::X64, V::English, "%sRES.DLL", "gen:KRXRES_eng_x64.dll"},
    {264, 9130, R::ModelGpd, S::X64, V::None, "%s.GPD", "file:KRX.GPD"},
    {265, 64, R::PluginIni, S::X64, V::None, "%s.INI", "file:KRX.INI"},
    {266, 1377, R::Inf, S::X64, V::None, "%s.INF", "file:KRX_x64.INF"},
    {267, 8192, R::Catalog, S::X64, V::None, "%s.cat", "maker:optional"},
};

const size_t kCatalogueSize = sizeof kCatalogue / sizeof kCatalogue[0];

const CatalogueEntry* FindCatalogueEntry(unsigned short id) {
    for (const CatalogueEntry& e : kCatalogue)
        if (e.id == id) return &e;
    return nullptr;
}

const CatalogueEntry* FindCatalogueEntry(PayloadRole role, PayloadSet set, PayloadVariant variant) {
    for (PayloadSet wanted : {set, S::Any})
        for (const CatalogueEntry& e : kCatalogue)
            if (e.role == role && e.set == wanted && e.variant == variant) return &e;
    return nullptr;
}
