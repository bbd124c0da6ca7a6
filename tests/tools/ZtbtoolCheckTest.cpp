// ztbtool check, end to end: the built program run on tables made by the
// writer, its output lines, its JSON and its exit status.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>

#include "tablefile/ZtbWriter.h"
#include "testkit/TempFolder.h"
#include "tests/tools/RunProgram.h"

namespace {

using nlohmann::json;

class ZtbtoolCheckTest : public testing::Test {
protected:
    ProgramRun Run(const std::vector<std::string>& arguments) {
        return RunProgram(BuiltProgramPath(ZTBTOOL_RELATIVE_PATH), arguments, scratch_.Text());
    }

    std::string Table(const std::string& name, const ZtbWriter& writer) {
        const std::string path = tables_.Path(name);
        EXPECT_TRUE(writer.WriteTo(path));
        return path;
    }

    TempFolder tables_;
    TempFolder scratch_;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

TEST_F(ZtbtoolCheckTest, OneResultLinePerFileAfterTheLoadersOwnLines) {
    const std::string valid = tables_.Path("A valid.ztb");
    ASSERT_TRUE(WriteTableFile(valid, "Valid"));
    // Base film 1, resolution 1, balances 85/100/25, empty exposure values,
    // and a field fault.
    ZtbWriter filling("Filled", 1002);
    ZTBResolutionT& record = filling.AddRecord(1);
    ClearExposureValues(record);
    record.Compatible.Balance[0] = 85;
    record.Compatible.Balance[2] = 25;
    record.FilmGamma = 3000;
    const std::string filled = Table("filled.ztb", filling);
    ZtbWriter broken("Broken", 1002);
    broken.Header().HeaderVersion = 2;
    broken.Header().Type = 9;
    const std::string bad = Table("bad.ztb", broken);
    const std::string missing = tables_.Path("missing.ztb");
    const std::string folder = tables_.FsPath().string();

    const ProgramRun run = Run({"check", valid, filled, bad, missing, folder});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out, valid + ": ok\n LightLvl 3373\n LightLvl 2983\n LightLvl 2541\n" + filled + ": ok\n" + bad +
                           ": Illegal ZTB HeaderVersion field\n" + missing + ": Error opening ZTB file\n" +
                           folder + ": Error opening ZTB file\n");
    EXPECT_EQ(run.err, "#### Warning: Illegal FilmGamma field in ZTB.Resolution\n");
}

TEST_F(ZtbtoolCheckTest, JsonHasTheFilledTableOrOnlyTheAbortMessage) {
    ZtbWriter noBaseFilm("No base film", 1002);
    ZTBResolutionT& empty = noBaseFilm.AddRecord(0);
    ClearExposureValues(empty);
    empty.Compatible.BaseFilmType = 0;
    for (auto& balance : empty.Compatible.Balance) balance = 0;
    const std::string failing = Table("nobase.ztb", noBaseFilm);
    ZtbWriter filling("Figures \xE9", 1002);  // a title byte that is not UTF-8
    ZTBResolutionT& record = filling.AddRecord(0);
    ClearExposureValues(record);
    record.Compatible.BaseFilmType = 2;
    record.Compatible.Balance[0] = 400;  // 400 % of 14076: 56304, beyond the signed range
    const std::string path = Table("figures.ztb", filling);

    const ProgramRun run = Run({"check", "--json", failing, path});
    EXPECT_EQ(run.exitStatus, 1);
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 6u) << run.out;
    // The base film type is written without a line end; the object still
    // stands on a line of its own.
    EXPECT_EQ(lines[0], "0");
    EXPECT_EQ(json::parse(lines[1]), json::parse(R"({"path":)" + json(failing).dump() +
                                                 R"(,"ok":false,"message":"illegal BaseFilmType"})"));
    EXPECT_EQ(lines[2] + lines[3] + lines[4], " LightLvl 14076 LightLvl 11382 LightLvl 11653");

    const json result = json::parse(lines[5]);
    EXPECT_EQ(result["path"], path);
    EXPECT_EQ(result["ok"], true);
    EXPECT_TRUE(result["message"].is_null());
    EXPECT_EQ(result["header"]["Title"], "Figures \xEF\xBF\xBD");
    EXPECT_EQ(result["ResolutionPresent"], json::parse("[1,0,0,0]"));
    ASSERT_EQ(result["Resolution"].size(), 4u);
    EXPECT_TRUE(result["Resolution"][1].is_null());
    const json& filled = result["Resolution"][0];
    EXPECT_EQ(filled["Intensity"], json::parse("[56304,11382,11653]"));
    EXPECT_EQ(filled["Repetition"], json::parse("[4,4,2]"));
    EXPECT_EQ(filled["Compatible"]["Balance"], json::parse("[400,100,100]"));
    EXPECT_FALSE(filled.contains("ChannelTable"));
}

TEST_F(ZtbtoolCheckTest, BadArgumentsGiveUsageAndStatusTwo) {
    const std::vector<std::vector<std::string>> usages = {
        {}, {"check"}, {"check", "--bogus", "x.ztb"}, {"frobnicate"}, {"install"},
        {"install", "--all", "D1.ztb"}, {"remove"}, {"list", "--model"}, {"list", "extra"}};
    for (const auto& arguments : usages) {
        const ProgramRun run = Run(arguments);
        EXPECT_EQ(run.exitStatus, 2) << testing::PrintToString(arguments);
        EXPECT_NE(run.err.find("Usage: ztbtool"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    const ProgramRun help = Run({"check", "--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("--json"), std::string::npos);
}

}  // namespace
