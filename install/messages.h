// The install's texts for the user, in the three languages of the wizard.
// The Chinese texts are GBK and Big5 bytes, passed to the message box as
// they are (the last Big5 character of the success text ends in 0x5C).
#pragma once
#include "../app/text_language.h"

extern const LocalizedText kInstalledText;
extern const LocalizedText kPrinterNameRefusedText;
extern const LocalizedText kStagingLinkedText;       // a format: %s the folder
extern const LocalizedText kPrinterNotCreatedText;   // a format: %s the printer
extern const LocalizedText kStagingRightsText;         // a format: %s the folder
extern const LocalizedText kProgramFolderLinkedText;   // a format: %s the folder
