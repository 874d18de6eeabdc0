// Writing embedded files to disk, raw and through the model-name rules.
#include "app_core/app_state.h"
#include "app/setup_app.h"
#include "framework/file_exception.h"
#include "test_support.h"
#include <gtest/gtest.h>

namespace {

class ExtractPayloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryA("C:\\TEMP", nullptr);
        lstrcpyA(g_PrinterName, "KRX");
    }
    std::string folder = test::MakeTempFolder("extract");
};

TEST_F(ExtractPayloadTest, RawWriteIsByteIdenticalToTheResource) {
    for (unsigned id : {148u, 147u, 256u, 159u}) {
        std::string path = folder + "\\raw" + std::to_string(id);
        EXPECT_TRUE(theApp.ExtractPayload(id, path.c_str(), 0));
        EXPECT_EQ(test::ReadFileBytes(path), test::EmbeddedPayload(id)) << id;
    }
    EXPECT_EQ(test::ReadFileBytes(folder + "\\raw148"), "[Setting]\r\nLanguage=English\r\nPrinterName=KRX");
}

TEST_F(ExtractPayloadTest, RawWriteReplacesAnExistingFile) {
    std::string path = folder + "\\setting.dll";
    test::WriteFileBytes(path, std::string(100000, 'z'));
    theApp.ExtractPayload(148, path.c_str(), 0);
    EXPECT_EQ(test::ReadFileBytes(path), test::EmbeddedPayload(148));
}

TEST_F(ExtractPayloadTest, PluginIniRewrittenForMerlo) {
    lstrcpyA(g_PrinterName, "MERLO");
    std::string path = folder + "\\MERLO.INI";
    EXPECT_TRUE(theApp.ExtractPayload(159, path.c_str(), 1));
    EXPECT_EQ(test::ReadFileBytes(path), "[OEMFiles]\nOEMDriverFile1=MERLOD.DLL\nOEMConfigFile1=MERLOF.DLL\n\n");
    // The scratch copy holds the raw resource bytes.
    EXPECT_EQ(test::ReadFileBytes("c:\\temp\\temp.txt"), test::EmbeddedPayload(159));
}

TEST_F(ExtractPayloadTest, EmptyPrinterNameLeavesTheNameOut) {
    g_PrinterName[0] = '\0';
    std::string path = folder + "\\empty.INI";
    theApp.ExtractPayload(159, path.c_str(), 1);
    EXPECT_EQ(test::ReadFileBytes(path), "[OEMFiles]\nOEMDriverFile1=D.DLL\nOEMConfigFile1=F.DLL\n\n");
}

TEST_F(ExtractPayloadTest, MissingResourceTouchesNothing) {
    std::string path = folder + "\\absent";
    test::WriteFileBytes("c:\\temp\\temp.txt", "scratch");
    EXPECT_FALSE(theApp.ExtractPayload(160, path.c_str(), 0));
    EXPECT_FALSE(theApp.ExtractPayload(180, path.c_str(), 1));
    EXPECT_FALSE(theApp.ExtractPayload(0x10000 + 9999, path.c_str(), 0));
    EXPECT_FALSE(test::FileExists(path));
    EXPECT_EQ(test::ReadFileBytes("c:\\temp\\temp.txt"), "scratch");
}

TEST_F(ExtractPayloadTest, OnlyTheLow16BitsOfTheIdCount) {
    std::string path = folder + "\\wide";
    EXPECT_TRUE(theApp.ExtractPayload(0x50000 + 148, path.c_str(), 0));
    EXPECT_EQ(test::ReadFileBytes(path), test::EmbeddedPayload(148));
}

// A name that cannot be made new is handed back as the framework's file
// exception, raw and rewritten alike, and what was there stays.
TEST_F(ExtractPayloadTest, DestinationThatCannotBeMadeNewIsAFileError) {
    std::string missing = folder + "\\no\\such\\folder\\file", locked = folder + "\\locked";
    test::WriteFileBytes(locked, "old");
    HANDLE lock = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const struct {
        std::string path;
        CFileException::Cause cause;
    } cases[] = {{missing, CFileException::badPath}, {locked, CFileException::sharingViolation}};
    for (const auto& c : cases) {
        for (unsigned char rewrite : {0, 1}) {
            SCOPED_TRACE(c.path + " rewrite " + std::to_string(rewrite));
            CFileException e;
            ASSERT_FALSE(theApp.ExtractPayload(rewrite ? 159 : 148, c.path.c_str(), rewrite, &e));
            EXPECT_EQ(e.m_cause, c.cause);
            EXPECT_EQ(std::string(e.m_strFileName), c.path);
        }
    }
    CloseHandle(lock);
    EXPECT_FALSE(test::FileExists(missing));
    EXPECT_EQ(test::ReadFileBytes(locked), "old");
}

// A hard link planted under the destination's name, or under the scratch
// file's, is replaced: the file it shares its bytes with keeps them.
TEST_F(ExtractPayloadTest, PlantedHardLinksAreReplacedNotWrittenThrough) {
    std::string outside = folder + "\\outside.txt";
    for (const std::string& link : {folder + "\\KRX.INI", std::string("c:\\temp\\temp.txt")}) {
        test::WriteFileBytes(outside, "precious");
        DeleteFileA(link.c_str());
        ASSERT_TRUE(CreateHardLinkA(link.c_str(), outside.c_str(), nullptr)) << link;
        EXPECT_TRUE(theApp.ExtractPayload(159, (folder + "\\KRX.INI").c_str(), 1));
        EXPECT_EQ(test::ReadFileBytes(outside), "precious") << link;
        EXPECT_EQ(test::ReadFileBytes(folder + "\\KRX.INI"), "[OEMFiles]\nOEMDriverFile1=KRXD.DLL\nOEMConfigFile1=KRXF.DLL\n\n");
    }
}

TEST_F(ExtractPayloadTest, ErrorsMapToTheirCauses) {
    EXPECT_EQ(CFileException::OsErrorToCause(ERROR_DISK_FULL), CFileException::diskFull);
    EXPECT_EQ(CFileException::OsErrorToCause(ERROR_HANDLE_DISK_FULL), CFileException::diskFull);
    EXPECT_EQ(CFileException::OsErrorToCause(12345), CFileException::generic);
}

}  // namespace
