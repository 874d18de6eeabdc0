// The install with the shipped payload, in which the files that only the
// printer maker can supply are absent: each absent identifier is skipped
// and the sequence goes on to the printer registration.
#include "app_core/app_state.h"
#include "app/setup_app.h"
#include "install/install_runner.h"
#include "install_test_support.h"
#include "spooler_support.h"
#include "test_support.h"
#include <gtest/gtest.h>

namespace {

bool Embedded(unsigned id) { return FindResourceA(nullptr, MAKEINTRESOURCEA(id), "OWNER_DATA") != nullptr; }

// Without the maker's files the writes go through, each absent file
// skipped, and the printer installer is started; it cannot make the
// printer from an INF whose files are missing, so nothing stays.
TEST(InstallReleasePayload, AbsentIdentifiersAreSkipped) {
    int absent = 0;
    for (unsigned id : {149u, 156u, 157u, 189u, 190u, 196u, 200u}) absent += !Embedded(id);
    EXPECT_GT(absent, 0) << "the release payload of this build lacks nothing";
    test::SetPrintUiDelay(0);
    const InstallOutcome outcome = RunInstall(PreselectedChoices("KRX"));
    EXPECT_EQ(outcome.result, InstallResult::PrinterNotCreated);
    EXPECT_EQ(outcome.rollback, Rollback::NothingLeft);
    EXPECT_EQ(test::WaitForPrintUiCommands(1, 10000), std::vector<std::string>{test::InstallCommand("KRX")});
    EXPECT_EQ(test::ListFolder("C:\\TEMP"), std::vector<std::string>{});
    EXPECT_FALSE(test::UninstallKeyExists("KRX"));
}

}  // namespace
