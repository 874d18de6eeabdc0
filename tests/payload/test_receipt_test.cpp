// The test receipt's bytes, written out: ESC/POS commands around the
// texts of each language, Chinese as GBK.
#include "payload/test_receipt.h"
#include <gtest/gtest.h>
#include <string>

namespace {

std::string Receipt(TextLanguage language, const char* printer = "KRX") {
    ReceiptFacts facts = {printer, "USB001", {}, language};
    facts.printedAt.wYear = 2026;
    facts.printedAt.wMonth = 3;
    facts.printedAt.wDay = 4;
    facts.printedAt.wHour = 9;
    facts.printedAt.wMinute = 5;
    facts.printedAt.wSecond = 7;
    char bytes[kMaxReceiptSize];
    size_t size = 0;
    return BuildTestReceipt(facts, bytes, size) ? std::string(bytes, size) : "<does not fit>";
}

// UTF-8 as GBK, as the printer takes it.
std::string Gbk(const char* utf8) {
    wchar_t wide[256];
    char out[512];
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 256);
    return n > 0 && WideCharToMultiByte(936, 0, wide, -1, out, sizeof out, nullptr, nullptr) > 0 ? out : "<no GBK>";
}

std::string Expected(bool chinese, const std::string& title, const std::string& labels, const std::string& body) {
    // Initialise; Chinese mode; centred bold title; left; the facts; the
    // text; five lines' feed; partial cut.
    return std::string("\x1B@") + (chinese ? "\x1C&" : "") + std::string("\x1B" "a\x01\x1B" "E\x01", 6) + title +
           "\n" + std::string("\x1B" "E\x00\x1B" "a\x00", 6) + "\n" + labels + "\n" + body + "\n" + "\x1B" "d\x05" +
           "\x1D" "V\x01";
}

TEST(TestReceipt, BytesInEachLanguage) {
    EXPECT_EQ(Receipt(TextLanguage::English),
              Expected(false, "TEST RECEIPT",
                       "Printer: KRX\nPort: USB001\nPrinted: 2026-03-04 09:05:07\nDriver version: " +
                           std::string(kDriverVersion) + "\n",
                       "The printer driver is installed.\nThis printer prints what programs send it."));
    EXPECT_EQ(Receipt(TextLanguage::Simplified),
              Expected(true, Gbk("测试小票"),
                       Gbk("打印机: KRX\n端口: USB001\n打印时间: 2026-03-04 09:05:07\n驱动程序版本: ") + kDriverVersion + "\n",
                       Gbk("打印机驱动程序已安装。\n本打印机可以打印程序发送的内容。")));
    // Traditional Chinese in GBK too, never Big5.
    EXPECT_EQ(Receipt(TextLanguage::Traditional),
              Expected(true, Gbk("測試收據"),
                       Gbk("印表機: KRX\n連接埠: USB001\n列印時間: 2026-03-04 09:05:07\n驅動程式版本: ") + kDriverVersion + "\n",
                       Gbk("印表機驅動程式已安裝。\n本印表機可以列印程式傳送的內容。")));
    EXPECT_STREQ(kDriverVersion, "1.0.0.0");   // the build's MAKER_VERSION default
    // A printer name is text, never a format; the receipt is bounded.
    EXPECT_NE(Receipt(TextLanguage::English, "%s%n").find("Printer: %s%n\n"), std::string::npos);
    EXPECT_EQ(Receipt(TextLanguage::English, std::string(1100, 'N').c_str()), "<does not fit>");
}

}  // namespace
