// ztbtool end to end: the built program (through Wine on Windows) run on
// tables made by the writer; its output lines, JSON and exit status.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>

#include "Version.h"
#include "install/TableOperations.h"
#include "platform/Process.h"
#include "testkit/FolderSnapshot.h"
#include "testkit/Tables.h"

namespace {

using nlohmann::json;
namespace fs = std::filesystem;

std::string Quoted(const std::string& word) { return "\"" + word + "\""; }  // no word holds a quote

std::string ToolPath() {
    std::string path = platform::ExecutablePath();
    path = path.substr(0, path.rfind(platform::kPathSeparator) + 1) + ZTBTOOL_RELATIVE_PATH;
    std::replace(path.begin(), path.end(), '/', platform::kPathSeparator);
    return path;
}

// What a run of the program gave: its exit status and output, "\r\n" read as "\n".
struct Result {
    int status = 0;
    std::string out = "", err = "";
    bool operator==(const Result&) const = default;
    friend std::ostream& operator<<(std::ostream& os, const Result& run) {
        return os << "status " << run.status << "\nout: " << run.out << "\nerr: " << run.err;
    }
};

Result Ztbtool(const std::vector<std::string>& arguments, const std::string& program = ToolPath()) {
    const TempFolder scratch;
    std::string command = Quoted(program);
    for (const std::string& argument : arguments) command += " " + Quoted(argument);
    command += " >" + Quoted(scratch.Path("1")) + " 2>" + Quoted(scratch.Path("2"));
    // cmd /c drops the outer quotes of a line; the shell gives a wait status.
    int status = std::system((kWindows ? Quoted(command) : command).c_str());
#ifndef _WIN32
    status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    Result run{.status = status, .out = ReadText(scratch.Path("1")), .err = ReadText(scratch.Path("2"))};
    for (std::string* text : {&run.out, &run.err}) std::erase(*text, '\r');
    return run;
}

// list, install or remove on the folders of setup: the program folder goes
// without its last separator, which before a closing quote would escape it.
Result Tool(const CatalogueSetup& setup, std::vector<std::string> arguments) {
    const std::string program = fs::path(setup.Folders().programFolder).parent_path().string();
    arguments.insert(
        arguments.begin() + 1, {"--program-folder", program, "--windows-dir", setup.Folders().windowsFolder});
    return Ztbtool(arguments);
}

TEST(Ztbtool, CheckWritesTheLoadersLinesThenOneResultPerFileOrJson) {
    const TempFolder temp;
    const std::string figures = temp.Path("A table.ztb"), noBase = temp.Path("nobase.ztb");
    ZtbWriter writer("Figures \x80\xE9", 1002);  // Windows-1252, the ANSI code page: UTF-8 in JSON
    ZTBResolutionT& record = writer.AddRecord(0);
    ClearExposureValues(record);  // filled from base film 2 and the balances
    record.Compatible.BaseFilmType = 2;
    record.Compatible.Balance[0] = 400;  // 400 % of 14076: 56304, beyond the signed range
    ASSERT_TRUE(writer.WriteTo(figures));
    record.Compatible.BaseFilmType = 0;
    record.FilmGamma = 3000;
    ASSERT_TRUE(writer.WriteTo(noBase));
    // Every *.ztb of a folder. The base film type goes out without a line
    // end; the result still stands on a line of its own.
    EXPECT_EQ(Ztbtool({"check", temp.FsPath().string()}),
        (Result{.status = 1,
            .out = " LightLvl 14076\n LightLvl 11382\n LightLvl 11653\n" + figures + ": ok\n0\n" + noBase +
                   ": illegal BaseFilmType\n",
            .err = "#### Warning: Illegal FilmGamma field in ZTB.Resolution\n"}));

    // Wildcards, which the Windows shell leaves to the program.
    const auto [status, out, err] = Ztbtool({"check", "--json", temp.Path("N*.ZTB"), temp.Path("A?table.ztb")});
    const std::size_t last = out.rfind('\n', out.size() - 2) + 1;
    EXPECT_EQ(status, 1);
    EXPECT_EQ(
        out.substr(0, last), "0\n{\"path\":" + json(noBase).dump() +
                                 ",\"ok\":false,\"message\":"
                                 "\"illegal BaseFilmType\"}\n LightLvl 14076\n LightLvl 11382\n LightLvl 11653\n");
    const json result = json::parse(out.substr(last)), &filled = result["Resolution"][0];
    EXPECT_EQ(json({result["path"], result["ok"], result["message"], result["header"], result["ResolutionPresent"],
                  result["Resolution"].size(), result["Resolution"][1], filled["Intensity"], filled["Repetition"],
                  filled["Compatible"]["Balance"], filled.contains("ChannelTable")}),
        json({figures, true, nullptr,
            {{"HeaderVersion", 1}, {"DeviceType", 1002}, {"Title", "Figures \xE2\x82\xAC\xC3\xA9"}, {"Type", 0},
                {"Size", 0}, {"NumResolutions", 1}},
            {1, 0, 0, 0}, 4, nullptr, {56304, 11382, 11653}, {4, 4, 2}, {400, 100, 100}, false}));
    WriteText(temp.Path("short.tb"), "ZTB 1");  // a file that cannot be read says why
    EXPECT_EQ(Ztbtool({"check", temp.Path("gone.ztb"), temp.Path("short.tb"), temp.Path("x*.ztb")}),
        (Result{.status = 1,
            .out = temp.Path("gone.ztb") + ": Error opening ZTB file (not found)\n" + temp.Path("short.tb") +
                   ": Can't read ZTB file (the file is too short: 5 bytes)\n",
            .err = "ztbtool: no table file matches " + temp.Path("x*.ztb") + "\n"}));
}

TEST(Ztbtool, UsageErrorsInWordsAndTheVersion) {
    for (const auto& usage :
        std::vector<std::vector<std::string>>{{}, {"check"}, {"check", "--bogus", "x.ztb"}, {"frobnicate"}, {"install"},
            {"install", "--all", "D1"}, {"remove"}, {"restore"}, {"list", "--model"}, {"list", "x"}}) {
        const Result failed = Ztbtool(usage);  // in words, no parser jargon ("RequiredError")
        EXPECT_TRUE(failed.status == 2 && failed.out.empty() && failed.err.starts_with("ztbtool: ") &&
                    failed.err.find("Usage: ztbtool") != std::string::npos &&
                    failed.err.find("Error") == std::string::npos)
            << failed;
    }
    EXPECT_TRUE(Ztbtool({"frobnicate"}).err.starts_with("ztbtool: unknown command \"frobnicate\"\n"));
    EXPECT_EQ(Ztbtool({"--version"}), Result{.out = "ztbtool " ZTB_VERSION_TEXT "\n"});
}

TEST(Ztbtool, ListInstallRemoveAndRestoreAsTheDialogsDo) {
    const CatalogueSetup setup;
    // A minute after the installed copies: D1 is updated, D2 new.
    WriteTable(setup.Distribution("D1.ztb"), "Slide 100 v2", 1002, UtcFileTime(1998, 7, 4, 9, 6));
    WriteTable(setup.Distribution("D2.ztb"), "Print 50 v1", 1003, UtcFileTime(1998, 7, 4, 9, 6));
    WriteTable(setup.Installed("D1.ztb"), "Slide 100 v1");
    for (const auto& path : {setup.Distribution("D3.ztb"), setup.Installed("D3.ztb")}) WriteTable(path, "Current v1");
    const std::string rows =
        "New or updated film tables:\nPrint 50 v1\tD2.ztb\tTavik Desk\t1998/07/04 - 09:06\tNew\n"
        "Slide 100 v2\tD1.ztb\tOrvane A\t1998/07/04 - 09:06\tUpdated\nInstalled film tables:\n"
        "Current v1\tD3.ztb\tOrvane A\t1998/07/04 - 09:05\n"
        "Slide 100 v1\tD1.ztb\tOrvane A\t1998/07/04 - 09:05\n";
    EXPECT_EQ(Tool(setup, {"list"}), Result{.out = rows});
    const std::string none = "No new or updated ZTB's for this film recorder\n";
    EXPECT_EQ(Tool(setup, {"list", "--model", "ORVANE d"}),
        Result{.out = "New or updated film tables:\n" + none + "Installed film tables:\n" + none});
    const Result misspelled = Tool(setup, {"list", "--model", "Orvane Z"});
    EXPECT_TRUE(misspelled.status == 2 && misspelled.out.empty() &&
                misspelled.err.starts_with("ztbtool: --model: \"Orvane Z\" names no film recorder model; the models "
                                           "are:\n  Tavik Desk\n  Tavik Desk Plus\n"))
        << misspelled;
    const Result modelList = Ztbtool({"models"});
    EXPECT_TRUE(modelList.status == 0 && modelList.out.starts_with("Tavik Desk\tE\nTavik Desk Plus\tJ\nTavik Z\tF\n"));
    const json models = json::parse(Ztbtool({"models", "--json"}).out)["models"];
    EXPECT_EQ(json({models.size(), models[11]}), json({12, {{"Model", "Orvane D"}, {"Letter", "O"}}}));
    const json list = json::parse(Tool(setup, {"list", "--json"}).out);
    EXPECT_EQ(json({list["model"], list["prefix"], list["distributionFolder"], list["installedFolder"], list["new"][1],
                  list["installed"].size(), list["installed"][1].contains("Status"), list["damaged"]}),
        json({"Orvane A", "D", setup.Distribution(), setup.Installed(),
            {{"Description", "Slide 100 v2"}, {"FileName", "D1.ztb"}, {"DeviceName", "Orvane A"},
                {"DateText", "1998/07/04 - 09:06"}, {"LastWrite", "1998-07-04T09:06:00Z"}, {"Status", "Updated"}},
            2, false, json::array()}));

    // A name of no table is an error, and nothing changes; so does a
    // program folder that does not exist, or another install's lock (retry).
    const Snapshot before = TakeSnapshot(setup.Root().FsPath());
    EXPECT_EQ(Tool(setup, {"install", "D1.ztb", "D3.ztb", "D9.ztb"}),
        (Result{.status = 1, .err = "ztbtool: D9.ztb is not listed as new or updated for Orvane A\n"}));
    EXPECT_EQ(Tool(setup, {"remove", "D9.ztb"}),
        (Result{.status = 1, .err = "ztbtool: D9.ztb is not listed as installed for Orvane A\n"}));
    EXPECT_EQ(Tool(setup, {"restore", "D1.ztb, v1"}),
        (Result{.status = 1, .err = "ztbtool: D1.ztb, v1 is not listed as backed up for Orvane A\n"}));
    const std::string nowhere = setup.Root().Path("nowhere");
    for (const char* command : {"list", "backups"}) {
        EXPECT_EQ(Ztbtool({command, "--program-folder", nowhere, "--windows-dir", setup.Folders().windowsFolder}),
            (Result{.status = 1, .err = "ztbtool: the program folder " + nowhere + " does not exist\n"}));
    }
    {
        platform::FileLock another;
        ASSERT_TRUE(another.Acquire(setup.Installed(kLockFileName)));
        const std::string installed = setup.Installed().substr(0, setup.Installed().size() - 1);
        EXPECT_EQ(Tool(setup, {"install", "d1.ZTB"}), (Result{.status = 3,
                                                          .err = "ztbtool: Another install or remove is running in " +
                                                                 installed + ". Try again when it has finished.\n"}));
    }
    EXPECT_EQ(TakeSnapshot(setup.Root().FsPath()), before);

    // Reruns change nothing, and say so.
    EXPECT_EQ(Tool(setup, {"install", "d1.ZTB"}), Result{.out = "1 ZTB(s) have been installed.\n"});
    EXPECT_EQ(Tool(setup, {"install", "D1.ztb"}),
        Result{.out = "Nothing to install: no table named is new or updated.\nD1.ztb unchanged: the installed copy is "
                      "current\n"});
    EXPECT_EQ(Tool(setup, {"install", "--all", "--json"}),
        Result{.out = "{\"model\":\"Orvane A\",\"operation\":\"install\",\"refused\":false,\"message\":\"1 ZTB(s) have "
                      "been installed.\",\"done\":[{\"FileName\":\"D2.ztb\",\"Description\":\"Print 50 v1\"}],"
                      "\"failed\":[],\"unchanged\":[],\"error\":null}\n"});
    EXPECT_EQ(Tool(setup, {"install", "--all"}),
        Result{.out = "Nothing to install: no table of Orvane A is new or updated.\n"});
    EXPECT_EQ(Tool(setup, {"remove", "d3.ztb", "D1.ZTB"}), Result{.out = "2 ZTB(s) have been removed.\n"});
    EXPECT_EQ(json::parse(Tool(setup, {"remove", "--json", "d3.ztb"}).out)["unchanged"],
        json::parse(R"([{"FileName":"d3.ztb","Why":"it is not installed"}])"));
    EXPECT_EQ(NamesIn(setup.Installed()), (std::set<std::string>{"Backup", "D2.ztb", "ztbinstall-history.log"}));

    // A backup comes back by its name, in any case, byte for byte with its
    // times; backups are listed by file name, newest first, a damaged one last.
    const Bytes v1 = ReadBytes(setup.Backup("D1.ztb, v1"));
    EXPECT_EQ(Tool(setup, {"restore", "d1.ztb, V1"}), Result{.out = "1 ZTB(s) have been restored.\n"});
    EXPECT_EQ(ReadBytes(setup.Installed("D1.ztb")), v1);
    EXPECT_EQ(TimesOf(setup.Installed("D1.ztb")).lastWrite, kTableTime);
    WriteDamagedTable(setup.Backup("D3.ztb, v0"));
    EXPECT_EQ(Tool(setup, {"backups"}),
        Result{.out = "Slide 100 v2\tD1.ztb\t2\t1998/07/04 - 09:06\tD1.ztb, v2\n"
                      "Slide 100 v1\tD1.ztb\t1\t1998/07/04 - 09:05\tD1.ztb, v1\tSame as installed\n"
                      "Current v1\tD3.ztb\t1\t1998/07/04 - 09:05\tD3.ztb, v1\n"
                      "Illegal ZTB ID string\tD3.ztb\t0\t\tD3.ztb, v0\n"});
    const json backups = json::parse(Tool(setup, {"backups", "--json"}).out)["backups"];
    EXPECT_EQ(json({backups[1], backups[3]["Error"], backups[3]["LastWrite"]}),
        json({{{"BackupName", "D1.ztb, v1"}, {"FileName", "D1.ztb"}, {"Label", "1"}, {"Description", "Slide 100 v1"},
                  {"DateText", "1998/07/04 - 09:05"}, {"LastWrite", "1998-07-04T09:05:00Z"}, {"SameAsInstalled", true},
                  {"Error", nullptr}},
            "Illegal ZTB ID string", nullptr}));

    // A damaged installed table: list lists the others and names it, a
    // remove of another table goes on, and the backup step stops at it.
    WriteDamagedTable(setup.Installed("D1.ztb"));
    const Result listed = Tool(setup, {"list", "--json"});
    EXPECT_EQ(json({listed.status, json::parse(listed.out)["installed"].size(), json::parse(listed.out)["damaged"]}),
        json({1, 1, {{{"FileName", "D1.ztb"}, {"Folder", setup.Installed()}, {"Error", "Illegal ZTB ID string"}}}}));
    EXPECT_EQ(Tool(setup, {"install", "D1.ztb"}), (Result{.status = 1, .err = "D1.ztb: Illegal ZTB ID string\n"}));
    EXPECT_EQ(Tool(setup, {"remove", "D2.ztb"}), Result{.out = "1 ZTB(s) have been removed.\n"});
    // With --json only the object goes to standard output: the loader's
    // trace lines for a table whose exposure values are derived go to
    // standard error. The error abort stops the operation: the rows done
    // before it are reported done, the one that met it failed.
    ZtbWriter derived("Slide 100 v0", 1002);
    ClearExposureValues(derived.AddRecord(0));
    derived.Record(0).Compatible.BaseFilmType = 2;
    ASSERT_TRUE(derived.WriteTo(setup.Backup("D4.ztb, v0")));
    const std::string trace = " LightLvl 14076\n LightLvl 11382\n LightLvl 11653\n";
    EXPECT_EQ(Tool(setup, {"restore", "--json", "D4.ztb, v0", "D1.ztb, v2"}),
        (Result{.status = 1,
            .out = "{\"model\":\"Orvane A\",\"operation\":\"restore\",\"refused\":false,\"message\":\"D1.ztb: "
                   "Illegal ZTB ID string\",\"done\":[{\"BackupName\":\"D4.ztb, v0\",\"FileName\":\"D4.ztb\","
                   "\"Description\":\"Slide 100 v0\"}],\"failed\":[{\"BackupName\":\"D1.ztb, v2\",\"FileName\":"
                   "\"D1.ztb\",\"Description\":\"Slide 100 v2\",\"Reason\":\"D1.ztb: Illegal ZTB ID string\"}],"
                   "\"unchanged\":[],\"error\":\"D1.ztb: Illegal ZTB ID string\"}\n",
            .err = trace + trace + "D1.ztb: Illegal ZTB ID string\n"}));

    // The history: a line per table handled, unchanged or damaged among them;
    // the runs refused or stopped by the scan have none. Filtered by file and by day.
    const std::vector<std::string> history = {"history", "--windows-dir", setup.Folders().windowsFolder};
    const Result text = Ztbtool(history);
    EXPECT_TRUE(text.status == 0 && text.out.starts_with("Time\tComputer\tUser\tProgram\tVersion\tOperation\t"))
        << text;
    EXPECT_EQ(
        std::count(text.out.begin(), text.out.end(), '\n') + std::count(text.err.begin(), text.err.end(), '\n'), 12);
    auto withHistory = [&](std::vector<std::string> options) {
        options.insert(options.begin(), history.begin(), history.end());
        return Ztbtool(options);
    };
    const json lines = json::parse(withHistory({"--json", "--file", "d1.ztb"}).out)["history"];
    json results = json::array();  // each line's operation, result and reason
    for (const json& line : lines) results.push_back({line["Operation"], line["Result"], line["Reason"]});
    EXPECT_EQ(
        results, json::parse(R"([["install", "done", ""], ["install", "unchanged", "the installed copy is current"],
        ["remove", "done", ""], ["restore", "done", ""], ["install", "failed", "D1.ztb: Illegal ZTB ID string"],
        ["restore", "failed", "D1.ztb: Illegal ZTB ID string"]])"));
    EXPECT_EQ(json({lines[2]["Backup"], lines[3]["Program"], lines[3]["Model"], lines[3]["Source"]}),
        json({"D1.ztb, v2", "ztbtool", "Orvane A", "D1.ztb, v1"}));
    EXPECT_EQ(withHistory({"--json", "--since", "2999-01-01"}), Result{.out = "{\"history\":[]}\n"});
    const Result badDay = withHistory({"--since", "2025-13-01"});
    EXPECT_TRUE(badDay.status == 2 && badDay.out.empty());
}

// A fresh workstation gets KVData\ZTB; a damaged distribution table fails
// its row, and the others are installed.
TEST(Ztbtool, AFreshWorkstationGetsItsFolderAndTheSoundTables) {
    const CatalogueSetup fresh(false);
    WriteTable(fresh.Distribution("D1.ztb"), "Slide");
    WriteDamagedTable(fresh.Distribution("D2.ztb"));
    EXPECT_EQ(Tool(fresh, {"install", "--all"}),
        (Result{.status = 1, .out = "1 ZTB(s) have been installed.\n", .err = "D2.ztb: Illegal ZTB ID string\n"}));
    EXPECT_EQ(NamesIn(fresh.Installed()), (std::set<std::string>{"D1.ztb", "ztbinstall-history.log"}));
}

#ifndef _WIN32
// A report that cannot be written is a failure, not a silent success.
TEST(Ztbtool, OutputThatCannotBeWrittenFails) {
    const TempFolder scratch;
    WriteTable(scratch.Path("D1.ztb"), "Slide");
    const std::string command = Quoted(ToolPath()) + " check --json " + Quoted(scratch.Path("D1.ztb")) +
                                " >/dev/full 2>" + Quoted(scratch.Path("2"));
    EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 1);
    EXPECT_EQ(ReadText(scratch.Path("2")), "ztbtool: the output could not be written\n");
}
#endif

}  // namespace
