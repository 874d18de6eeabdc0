// Names of the language files in the program's "Language" folder and the
// embedded files they are written from.
#pragma once

const char kLanguageFolder[] = "Language";
const char kEnglishFile[] = "\\Multi_eng.dll";
const char kSimplifiedFile[] = "\\Multi_ch.dll";
const char kTraditionalFile[] = "\\Multi_ch_BIG5.dll";
const char kSettingFileName[] = "setting.dll";

const unsigned kEnglishPayload = 147;
const unsigned kSimplifiedPayload = 146;
const unsigned kTraditionalPayload = 248;
const unsigned kSettingsPayload = 148;
