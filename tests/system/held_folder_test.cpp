// The held folder's calls for the files of a folder, against a link a
// Linux process made (Wine's own link call does nothing), a hard link to a
// file elsewhere, a file someone holds open and names that are no file name.
#include "system/held_folder.h"
#include "test_support.h"
#include <gtest/gtest.h>

namespace {

// The deletions Windows makes at the next restart, as one text.
std::string PendingDeletions() {
    char data[8192] = {};
    DWORD size = sizeof data - 2;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ, &key))
        return "";
    if (RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size))
        size = 0;
    RegCloseKey(key);
    std::string text(data, size);
    for (char& c : text) c = c ? c : '|';
    return text;
}

TEST(HeldFolder, OnlyAPlainFileOfTheFolderIsOpenedRenamedOrLeftForTheRestart) {
    const std::string folder = test::MakeTempFolder("held"), outside = test::MakeTempFolder("outside");
    const std::string victim = outside + "\\v.txt", linked = outside + "\\h.txt";
    for (const std::string& file : {victim, linked}) ASSERT_TRUE(test::WriteFileBytes(file, "someone else's"));
    for (const char* name : {"plain", "taken"}) ASSERT_TRUE(test::WriteFileBytes(folder + "\\" + name, name));
    ASSERT_TRUE(test::MakeUnixLink(folder + "\\link", victim));
    ASSERT_TRUE(CreateHardLinkA((folder + "\\hard").c_str(), linked.c_str(), nullptr));
    HeldFolder held;
    ASSERT_EQ(held.Hold(folder.c_str(), false, false), FolderCheck::Held);

    const struct Row {
        const char* name;
        DWORD error;   // of OpenExisting, Rename and RemoveAtRestart alike
    } rows[] = {{"link", ERROR_ACCESS_DENIED}, {"hard", ERROR_ACCESS_DENIED}, {"missing", ERROR_FILE_NOT_FOUND},
                {"..\\plain", ERROR_INVALID_NAME}, {"x:y", ERROR_INVALID_NAME}, {"plain", 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        DWORD error = 1;
        HANDLE file = held.OpenExisting(row.name, error);
        EXPECT_EQ(error, row.error);
        if (file != INVALID_HANDLE_VALUE) {
            char bytes[8] = {};
            DWORD read = 0;
            EXPECT_TRUE(ReadFile(file, bytes, sizeof bytes, &read, nullptr) && std::string(bytes, read) == "plain");
            // No one writes it meanwhile.
            EXPECT_EQ(CreateFileA((folder + "\\plain").c_str(), GENERIC_WRITE, 7, nullptr, OPEN_EXISTING, 0, nullptr),
                      INVALID_HANDLE_VALUE);
            CloseHandle(file);
        }
        EXPECT_EQ(held.Rename(row.name, "renamed"), row.error);
        if (row.error) {
            EXPECT_EQ(held.RemoveAtRestart(row.name, true), row.error);
        }
    }
    EXPECT_EQ(test::ReadFileBytes(folder + "\\renamed"), "plain");
    EXPECT_EQ(held.Rename("renamed", "taken"), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_EQ(test::ReadFileBytes(folder + "\\taken"), "taken");
    EXPECT_EQ(test::ReadFileBytes(victim), "someone else's");
    EXPECT_EQ(PendingDeletions(), "");

    // Left for the restart: renamed aside where it can be; held without
    // delete sharing, under its own name only when that may stay.
    HANDLE taken = CreateFileA((folder + "\\taken").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(held.RemoveAtRestart("taken", false), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(held.RemoveAtRestart("renamed", false), 0u);
    EXPECT_FALSE(test::FileExists(folder + "\\renamed"));
    EXPECT_EQ(held.RemoveAtRestart("taken", true), 0u);
    CloseHandle(taken);
    const std::string pending = PendingDeletions();
    EXPECT_NE(pending.find(folder + "\\renamed."), std::string::npos) << pending;
    EXPECT_NE(pending.find(folder + "\\taken||"), std::string::npos) << pending;
    EXPECT_EQ(pending.find(outside), std::string::npos) << pending;
}

}  // namespace
