// ztbtool list, install and remove, end to end: the built program run on a
// program folder and a Windows directory of tables made by the writer.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>

#include "testkit/Tables.h"
#include "tests/tools/RunProgram.h"

namespace {

using nlohmann::json;

const platform::FileTime kOld = kTableTime;
const platform::FileTime kNew = UtcFileTime(1998, 7, 4, 9, 6);
const std::string kPlaceholder = "No new or updated ZTB's for this film recorder";

ProgramRun RunIn(const CatalogueSetup& setup, const std::string& command, std::vector<std::string> arguments,
                 const TempFolder& scratch) {
    // The program folder goes without its final separator: on Windows a
    // backslash before the closing quote of an argument would escape it.
    std::string programFolder = setup.Folders().programFolder;
    programFolder.pop_back();
    arguments.insert(arguments.begin(), {command, "--program-folder", programFolder, "--windows-dir",
                                         setup.Folders().windowsFolder});
    return RunProgram(BuiltProgramPath(ZTBTOOL_RELATIVE_PATH), arguments, scratch.Text());
}

// Distribution: D1 (updated), D2 (new), D3 (current), G1 (another model's).
// Installed: D1, D3.
class ZtbtoolCatalogueTest : public testing::Test {
protected:
    void SetUp() override {
        WriteTable(setup_.Distribution("D1.ztb"), "Slide 100 v2", 1002, kNew);
        WriteTable(setup_.Distribution("D2.ztb"), "Print 50 v1", 1003, kNew);
        WriteTable(setup_.Distribution("D3.ztb"), "Current v1", 1002, kOld);
        WriteTable(setup_.Distribution("G1.ztb"), "Orvane B film", 1005, kNew);
        WriteTable(setup_.Installed("D1.ztb"), "Slide 100 v1", 1002, kOld);
        WriteTable(setup_.Installed("D3.ztb"), "Current v1", 1002, kOld);
    }

    ProgramRun Run(const std::string& command, std::vector<std::string> arguments) {
        return RunIn(setup_, command, std::move(arguments), scratch_);
    }

    CatalogueSetup setup_;
    TempFolder scratch_;
};

TEST_F(ZtbtoolCatalogueTest, ListShowsBothListsInRowOrderAsTextAndAsJson) {
    const ProgramRun run = Run("list", {});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out,
              "New or updated film tables:\n"
              "Print 50 v1\tD2.ztb\tTavik Desk\t1998/07/04 - 09:06\tNew\n"
              "Slide 100 v2\tD1.ztb\tOrvane A\t1998/07/04 - 09:06\tUpdated\n"
              "Installed film tables:\n"
              "Current v1\tD3.ztb\tOrvane A\t1998/07/04 - 09:05\n"
              "Slide 100 v1\tD1.ztb\tOrvane A\t1998/07/04 - 09:05\n");
    EXPECT_EQ(run.err, "");

    const ProgramRun jsonRun = Run("list", {"--json"});
    ASSERT_EQ(jsonRun.exitStatus, 0) << jsonRun.err;
    const json result = json::parse(jsonRun.out);
    EXPECT_EQ(result["model"], "Orvane A");
    EXPECT_EQ(result["prefix"], "D");
    EXPECT_EQ(result["distributionFolder"], setup_.Distribution());
    EXPECT_EQ(result["installedFolder"], setup_.Installed());
    EXPECT_EQ(result["new"][1], json::parse(R"({"Description":"Slide 100 v2","FileName":"D1.ztb",
        "DeviceName":"Orvane A","DateText":"1998/07/04 - 09:06","Status":"Updated"})"));
    EXPECT_EQ(result["installed"].size(), 2u);
    EXPECT_FALSE(result["installed"][1].contains("Status"));
}

TEST_F(ZtbtoolCatalogueTest, OtherModelsShowTheirOwnTablesOrThePlaceholderRows) {
    const ProgramRun none = Run("list", {"--model", "Orvane D"});
    EXPECT_EQ(none.exitStatus, 0);
    EXPECT_EQ(none.out, "New or updated film tables:\n" + kPlaceholder + "\nInstalled film tables:\n" +
                            kPlaceholder + "\n");

    const ProgramRun other = Run("list", {"--model", "Orvane B HX (tqb-0500 - tqb-9999)"});
    EXPECT_NE(other.out.find("Orvane B film\tG1.ztb\tOrvane B\t1998/07/04 - 09:06\tNew\n"), std::string::npos);

    // A text that names no model takes the default letter, with a warning.
    const ProgramRun unknown = Run("list", {"--model", "orvane b"});
    EXPECT_EQ(unknown.exitStatus, 0);
    EXPECT_EQ(unknown.err, "ztbtool: \"orvane b\" names no film recorder model; its tables are those of letter D\n");
    EXPECT_NE(unknown.out.find("D2.ztb"), std::string::npos);
}

TEST_F(ZtbtoolCatalogueTest, InstallsAndRemovesByNameWithoutRegardToCaseOrAll) {
    ProgramRun run = Run("install", {"d1.ZTB"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out, "1 ZTB(s) have been installed.\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(NamesIn(setup_.Backup()), (std::set<std::string>{"D1.ztb, v1"}));
    run = Run("install", {"--all"});
    EXPECT_EQ(run.out, "1 ZTB(s) have been installed.\n");
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::set<std::string>{"Backup", "D1.ztb", "D2.ztb", "D3.ztb"}));
    // As "Add All" with nothing listed: nothing at all.
    run = Run("install", {"--all"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.out + run.err, "");

    run = Run("remove", {"d3.ztb", "D1.ZTB"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out, "2 ZTB(s) have been removed.\n");
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::set<std::string>{"Backup", "D2.ztb"}));
    EXPECT_EQ(NamesIn(setup_.Backup()), (std::set<std::string>{"D1.ztb, v1", "D1.ztb, v2", "D3.ztb, v1"}));
}

TEST_F(ZtbtoolCatalogueTest, ANameNotListedChangesNothing) {
    const std::vector<unsigned char> before = ReadBytes(setup_.Installed("D1.ztb"));
    // D3 is installed and current, so it is not offered.
    const ProgramRun run = Run("install", {"D1.ztb", "D3.ztb", "D9.ztb"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "ztbtool: D3.ztb is not listed as new or updated for Orvane A\n"
              "ztbtool: D9.ztb is not listed as new or updated for Orvane A\n");
    EXPECT_EQ(ReadBytes(setup_.Installed("D1.ztb")), before);

    const ProgramRun remove = Run("remove", {"D2.ztb"});
    EXPECT_EQ(remove.exitStatus, 1);
    EXPECT_EQ(remove.err, "ztbtool: D2.ztb is not listed as installed for Orvane A\n");
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::set<std::string>{"D1.ztb", "D3.ztb"}));
}

TEST_F(ZtbtoolCatalogueTest, FailedRowsAreCountedOutAndNamed) {
    CatalogueSetup noInstalledFolder(false);
    WriteTable(noInstalledFolder.Distribution("D1.ztb"), "Slide");
    const ProgramRun run = RunIn(noInstalledFolder, "install", {"--all"}, scratch_);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out, "0 ZTB(s) have been installed.\n");
    EXPECT_EQ(run.err, "D1.ztb: the installed folder " + noInstalledFolder.Installed() + " does not exist\n");
}

TEST_F(ZtbtoolCatalogueTest, ADamagedTableEndsTheCommandWithItsMessageAndChangesNothing) {
    WriteDamagedTable(setup_.Installed("D1.ztb"));
    const std::vector<unsigned char> before = ReadBytes(setup_.Installed("D1.ztb"));
    for (const char* command : {"list", "install", "remove"}) {
        const ProgramRun run =
            std::string(command) == "list" ? Run(command, {}) : Run(command, {"D1.ztb"});
        EXPECT_EQ(run.exitStatus, 1) << command;
        EXPECT_EQ(run.out, "") << command;
        EXPECT_EQ(run.err, "Illegal ZTB ID string\n") << command;
    }
    EXPECT_EQ(ReadBytes(setup_.Installed("D1.ztb")), before);
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::set<std::string>{"D1.ztb", "D3.ztb"}));
}

TEST_F(ZtbtoolCatalogueTest, DistributionFolderDefaultsToTheToolsOwnFolder) {
    const std::string program = BuiltProgramPath(ZTBTOOL_RELATIVE_PATH);
    const std::string copy =
        setup_.Folders().programFolder + std::filesystem::path(program).filename().string();
    std::filesystem::copy_file(program, copy);
    const ProgramRun run = RunProgram(
        copy, {"list", "--json", "--windows-dir", setup_.Folders().windowsFolder}, scratch_.Text());
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(json::parse(run.out)["new"].size(), 2u);
    EXPECT_EQ(json::parse(run.out)["distributionFolder"], setup_.Distribution());
}

}  // namespace
