#include "messages.h"

const char* ChooseText(const LocalizedText& text, short languageIndex, LANGID systemLanguage) {
    if (languageIndex != 0) return text.english;
    return systemLanguage == 0x0804 ? text.simplified : text.traditional;
}

// "打印机驱动程序安装成功!" in GBK and "打印機驅動程序安裝成功!" in Big5.
const LocalizedText kInstalledText = {
    "The Printer Driver has been installed successfully!",
    "\264\362\323\241\273\372\307\375\266\257\263\314\320\362\260\262\327\260\263\311\271\246!",
    "\245\264\246L\276\367\305X\260\312\265{\247\307\246w\270\313\246\250\245\134!",
};

// The same text in each language: the name is empty, too long, or holds
// a character that cannot stand in a file name.
const LocalizedText kPrinterNameRefusedText = {
    "The printer name set by PrinterName in the settings file setting.dll cannot be used: it is "
    "empty, too long, or holds one of the characters \\ / : * ? \" < > | or a control character. "
    "Correct it and run the setup again.",
    "\311\350\326\303\316\304\274\376 setting.dll \326\320 PrinterName \313\371\311\350\265\304\264\362\323"
    "\241\273\372\303\373\263\306\316\336\267\250\312\271\323\303\243\272\303\373\263\306\316\252\277\325\241"
    "\242\271\375\263\244\243\254\273\362\272\254\323\320\327\326\267\373 \134 / : * \077 \042 < > | \273\362"
    "\277\330\326\306\327\326\267\373\241\243\307\353\270\304\325\375\272\363\326\330\320\302\324\313\320\320"
    "\260\262\327\260\263\314\320\362\241\243",
    "\263]\251w\300\311 setting.dll \244\244 PrinterName \251\322\263]\252\272\246L\252\355\276\367\246W\272"
    "\331\265L\252k\250\317\245\316\241G\246W\272\331\254\260\252\305\241B\271L\252\370\241A\251\316\247t\246"
    "\263\246r\244\270 \134 / : * \077 \042 < > | \251\316\261\261\250\356\246r\244\270\241C\275\320\247\357"
    "\245\277\253\341\255\253\267s\260\365\246\346\246w\270\313\265{\246\241\241C",
};
