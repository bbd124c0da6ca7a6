// ztbtool check, end to end: the built program run on tables made by the
// writer, its output lines, its JSON and its exit status.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>

#include "tablefile/ZtbWriter.h"
#include "tests/support/TempFolder.h"
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

    std::string ValidTable(const std::string& name) {
        ZtbWriter writer("Valid", 1002);
        writer.AddRecord(0);
        return Table(name, writer);
    }

    // 1002, base film 1, resolution 1, balances 85/100/25, empty exposure
    // values, and a field fault.
    std::string FilledTable(const std::string& name) {
        ZtbWriter writer("Filled", 1002);
        ZTBResolutionT& record = writer.AddRecord(1);
        ClearExposureValues(record);
        record.Compatible.Balance[0] = 85;
        record.Compatible.Balance[2] = 25;
        record.FilmGamma = 3000;
        return Table(name, writer);
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

const char kTrace[] = " LightLvl 3373\n LightLvl 2983\n LightLvl 2541\n";
const char kFilmGammaWarning[] = "#### Warning: Illegal FilmGamma field in ZTB.Resolution\n";

TEST_F(ZtbtoolCheckTest, OneResultLinePerFileAfterTheLoadersOwnLines) {
    const std::string valid = ValidTable("A valid.ztb");
    const std::string filled = FilledTable("filled.ztb");
    ZtbWriter broken("Broken", 1002);
    broken.Header().HeaderVersion = 2;
    broken.Header().Type = 9;
    const std::string bad = Table("bad.ztb", broken);
    const std::string missing = tables_.Path("missing.ztb");
    const std::string folder = tables_.FsPath().string();

    const ProgramRun run = Run({"check", valid, filled, bad, missing, folder});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out, valid + ": ok\n" + kTrace + filled + ": ok\n" + bad +
                           ": Illegal ZTB HeaderVersion field\n" + missing + ": Error opening ZTB file\n" +
                           folder + ": Error opening ZTB file\n");
    EXPECT_EQ(run.err, kFilmGammaWarning);
}

TEST_F(ZtbtoolCheckTest, ExitStatusZeroWhenEveryFileLoads) {
    const ProgramRun run = Run({"check", ValidTable("one.ztb"), ValidTable("two.ztb")});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(Lines(run.out).size(), 2u);
    EXPECT_EQ(run.err, "");
}

TEST_F(ZtbtoolCheckTest, JsonCarriesTheFilledExposureValues) {
    ZtbWriter writer("Figures \xE9", 1002);  // a title byte that is not UTF-8
    ZTBResolutionT& low = writer.AddRecord(1);
    ClearExposureValues(low);
    low.Compatible.Balance[0] = 85;
    low.Compatible.Balance[2] = 25;
    ZTBResolutionT& high = writer.AddRecord(0);
    ClearExposureValues(high);
    high.Compatible.BaseFilmType = 2;
    high.Compatible.Balance[0] = 400;
    writer.Header().Type = 3;
    writer.Header().Size = 6;
    const std::string path = Table("figures.ztb", writer);

    const ProgramRun run = Run({"check", "--json", path});
    ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 7u) << run.out;
    EXPECT_EQ(run.out.substr(0, run.out.find('{')),
              " LightLvl 14076\n LightLvl 11382\n LightLvl 11653\n" + std::string(kTrace));
    const json result = json::parse(lines.back());

    EXPECT_EQ(result["path"], path);
    EXPECT_EQ(result["ok"], true);
    EXPECT_TRUE(result["message"].is_null());
    const json& header = result["header"];
    EXPECT_EQ(header["HeaderVersion"], 1);
    EXPECT_EQ(header["DeviceType"], 1002);
    EXPECT_EQ(header["Title"], "Figures \xEF\xBF\xBD");
    EXPECT_EQ(header["Type"], 3);
    EXPECT_EQ(header["Size"], 6);
    EXPECT_EQ(header["NumResolutions"], 2);
    EXPECT_EQ(result["ResolutionPresent"], json::parse("[1,1,0,0]"));
    ASSERT_EQ(result["Resolution"].size(), 4u);
    EXPECT_TRUE(result["Resolution"][2].is_null());
    EXPECT_TRUE(result["Resolution"][3].is_null());

    const json& one = result["Resolution"][1];
    EXPECT_EQ(one["Intensity"], json::parse("[2867,2983,635]"));
    EXPECT_EQ(one["Repetition"], json::parse("[1,1,1]"));
    EXPECT_EQ(one["BackType"], 0);
    EXPECT_EQ(one["Compatible"]["Balance"], json::parse("[85,100,25]"));
    EXPECT_EQ(one["Compatible"]["BaseFilmType"], 1);
    EXPECT_EQ(one["Compatible"]["BlackAndWhite"], 0);
    EXPECT_EQ(one["DevXSize"], 4096);
    EXPECT_EQ(one["Resolution"], 1);

    const json& zero = result["Resolution"][0];
    EXPECT_EQ(zero["Intensity"], json::parse("[56304,11382,11653]"));
    EXPECT_EQ(zero["Repetition"], json::parse("[4,4,2]"));

    // Every interpreted field, in the order of the format; no ChannelTable.
    const auto ordered = nlohmann::ordered_json::parse(lines.back());
    std::vector<std::string> keys;
    for (const auto& item : ordered["Resolution"][1].items()) keys.push_back(item.key());
    const std::vector<std::string> expected = {
        "Length", "ResVersion", "DevXSize", "DevYSize", "XMin", "YMin", "XMax", "YMax", "FilmGamma",
        "StdGamma", "DeviceType", "Resolution", "MirrorY", "Compatible", "Intensity", "Repetition", "BackType"};
    EXPECT_EQ(keys, expected);
}

TEST_F(ZtbtoolCheckTest, JsonOfAFailedFileHasOnlyItsMessage) {
    ZtbWriter writer("No base film", 1002);
    ZTBResolutionT& record = writer.AddRecord(0);
    ClearExposureValues(record);
    record.Compatible.BaseFilmType = 0;
    for (auto& balance : record.Compatible.Balance) balance = 0;
    const std::string noBaseFilm = Table("nobase.ztb", writer);
    const std::string valid = ValidTable("valid.ztb");

    const ProgramRun run = Run({"check", "--json", noBaseFilm, valid});
    EXPECT_EQ(run.exitStatus, 1);
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u) << run.out;
    // The base film type is written without a line end; the object still
    // stands on a line of its own.
    EXPECT_EQ(lines[0], "0");
    const json failed = json::parse(lines[1]);
    EXPECT_EQ(failed, json::parse(R"({"path":)" + json(noBaseFilm).dump() +
                                  R"(,"ok":false,"message":"illegal BaseFilmType"})"));
    EXPECT_EQ(json::parse(lines[2])["ok"], true);
}

TEST_F(ZtbtoolCheckTest, BadArgumentsGiveUsageAndStatusTwo) {
    const std::vector<std::vector<std::string>> usages = {
        {}, {"check"}, {"check", "--bogus", "x.ztb"}, {"frobnicate"}, {"--json"}};
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
