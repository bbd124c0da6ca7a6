// The file services give the same results on every build: this one source
// runs natively against the POSIX layer and under Wine against the Win32
// layer; the few cases only the POSIX layer has to get right are marked.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

#include "platform/Process.h"
#include "testkit/Tables.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/WideText.h"
#else
#include <sys/stat.h>
#endif

namespace {

namespace fs = std::filesystem;
using enum platform::Outcome;
using S = const std::string&;
using Op = platform::Result (*)(S from, S to);

// The services as operations from one name to another; what ReadInto reads
// goes to its second name, dated as the tables are.
const Op Move = platform::MoveFileToNameFreeInAnyCase, MoveToFree = platform::MoveFileToNameFreeAsWritten;
const Op Copy = [](S from, S to) { return platform::CopyFileToNameFreeAsWritten(from, to); },
         Remove = [](S from, S) { return platform::RemoveFile(from); };
const Op MakeFolder = [](S from, S) { return platform::CreateFolder(from); };
const Op Write = [](S from, S) { return platform::WriteWholeFile(from, {'w'}); };
const Op ReadInto = [](S from, S to) {
    const auto bytes = platform::ReadWholeFile(from);
    if (bytes) WriteText(to, std::string(bytes->begin(), bytes->end())), SetTimesOf(to, {0, 0, kTableTime});
    return platform::Result(bytes ? Done : Other);
};

// A path as the layer takes it, in UTF-8, for the standard library.
fs::path U8(S text) { return fs::path(std::u8string(text.begin(), text.end())); }

// A backup name that takes the path past 260 characters.
const std::string kLongName = "BACK/" + std::string(240, 'L') + ",v1";

// An operation on fresh folders holding the entries before, and what it
// gives. Entries are paths marked as `ls -F` marks them: ending in '/' a
// folder, in '|' a pipe, else a file. Before, a file holds its own name (the
// last component) and its last write is kTableTime; a path in "away/" lies in
// a second folder, on another file system where there is one. A service that
// fails changes nothing; Other stands for any failure where the systems give
// different reasons.
struct Row {
    Op op;
    std::string from, to = "";
    std::vector<std::string> before = {};
    platform::Outcome result = Done;
    std::map<std::string, std::string> after = {};  // every file and empty folder after a success: a file's bytes
    std::set<std::string> written = {};             // the files whose last write changed
};
// clang-format off
const Row kRows[] = {
    {.op = Move, .from = "TAB", .to = "BACK/Tab,v1", .before = {"Tab", "back/"}, .after = {{"back/Tab,v1", "Tab"}}},
    {.op = Move, .from = "c", .to = "d", .before = {"a"}, .result = NotFound},
    {.op = Move, .from = "tab", .to = "away/TAKEN", .before = {"tab", "away/taken"}, .result = Other},
    {.op = Move, .from = "a", .to = "B", .before = {"a", "b"}, .result = NameTaken},
    {.op = MoveToFree, .from = "x", .to = "a", .before = {"a", "x"}, .result = NameTaken},
    {.op = Copy, .from = "BACK/TAB,V1", .to = ".new", .before = {"back/Tab,v1"},
        .after = {{".new", "Tab,v1"}, {"back/Tab,v1", "Tab,v1"}}},
    {.op = Copy, .from = "a", .to = "b", .before = {"a", "b"}, .result = NameTaken},
    {.op = Copy, .from = "c", .to = "d", .before = {"a"}, .result = Other},
    {.op = Remove, .from = "NEW", .before = {"new", "a"}, .after = {{"a", "a"}}},
    {.op = Remove, .from = "new", .before = {"a"}, .result = NotFound},
    {.op = MakeFolder, .from = "Back/", .after = {{"Back/", ""}}},
    {.op = MakeFolder, .from = "BACK", .before = {"back/"}, .result = NameTaken},
    {.op = Write, .from = "NEWNAME", .before = {"NewName"}, .after = {{"NewName", "w"}}, .written = {"NewName"}},
    {.op = ReadInto, .from = "f", .to = "r", .before = {"f/"}, .result = Other},
    {.op = ReadInto, .from = "SUB/tAB", .to = "r", .before = {"sub/Tab"}, .after = {{"r", "Tab"}, {"sub/Tab", "Tab"}}},
    {.op = ReadInto, .from = "no", .to = "r", .result = Other},
    // Names outside any ANSI code page; a path past 260 characters.
    {.op = Copy, .from = "dλ.ztb", .to = "Bλ", .before = {"Dλ.ztb"},
        .after = {{"Bλ", "Dλ.ztb"}, {"Dλ.ztb", "Dλ.ztb"}}},
    {.op = Move, .from = "TAB", .to = kLongName, .before = {"Tab", "back/"},
        .after = {{"back/" + kLongName.substr(5), "Tab"}}},
};

// Only the POSIX layer: names that differ only in case (the exact one, else
// the least), a move to another case of the name (Wine keeps the old one),
// no folder or pipe taken for a file, no move to another file system.
const Row kPosixRows[] = {
    {.op = ReadInto, .from = "b.z", .to = "r", .before = {"b.z", "B.z"},
        .after = {{"B.z", "B.z"}, {"b.z", "b.z"}, {"r", "b.z"}}},
    {.op = ReadInto, .from = "b.Z", .to = "r", .before = {"b.z", "B.z"},
        .after = {{"B.z", "B.z"}, {"b.z", "b.z"}, {"r", "B.z"}}},
    {.op = Remove, .from = "f", .before = {"f/"}, .result = Other},
    {.op = ReadInto, .from = "P", .to = "r", .before = {"p|"}, .result = Other},
    {.op = Copy, .from = "p", .to = "c", .before = {"p|"}, .result = AccessDenied},
    {.op = Move, .from = "t", .to = "T", .before = {"t"}, .after = {{"T", "t"}}},
    {.op = Move, .from = "TAB", .to = "away/Tab", .before = {"tab", "away/taken"}, .result = OtherVolume},
};
// clang-format on

struct Folders {
    TempFolder here, away{!kWindows && fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()};

    std::string Path(S name) const { return name.starts_with("away/") ? away.Path(name.substr(5)) : here.Path(name); }

    void Make(const std::vector<std::string>& entries) const {
        for (const std::string& name : entries) {
            const std::string path = Path(name.substr(0, name.find_last_not_of("/|") + 1));
            fs::create_directories(name.back() == '/' ? U8(path) : U8(path).parent_path());
#ifndef _WIN32
            if (name.back() == '|') mkfifo(path.c_str(), 0600);
#endif
            if (name.back() != '/' && name.back() != '|') WriteText(U8(path), name.substr(name.rfind('/') + 1));
            SetTimesOf(path, {0, 0, kTableTime});
        }
    }

    // Every file with its bytes and every empty folder and pipe; the files
    // whose last write changed.
    std::pair<std::map<std::string, std::string>, std::set<std::string>> State() const {
        std::map<std::string, std::string> entries;
        std::set<std::string> written;
        for (const auto& [root, prefix] : {std::pair{here.FsPath(), ""}, {away.FsPath(), "away/"}}) {
            for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
                const std::string name = prefix + Utf8Of(fs::relative(entry.path(), root));
                if (entry.is_fifo()) entries[name + "|"] = "";
                if (entry.is_directory() && fs::is_empty(entry.path())) entries[name + "/"] = "";
                if (!entry.is_regular_file()) continue;
                entries[name] = ReadText(entry.path());
                if (TimesOf(Utf8Of(entry.path())).lastWrite != kTableTime) written.insert(name);
            }
        }
        return {entries, written};
    }
};

void Check(const Row& row) {
    SCOPED_TRACE(row.from + " " + row.to);
    const Folders folders;
    folders.Make(row.before);
    const auto before = folders.State();
    const platform::Result result = row.op(folders.Path(row.from), folders.Path(row.to));
    EXPECT_EQ(!result && row.result == Other ? Other : result.outcome(), row.result);
    EXPECT_EQ(folders.State(), row.result == Done ? std::pair(row.after, row.written) : before);
}

TEST(FileSystem, EveryServiceGivesTheSameResultsOnBothLayers) {
    for (const Row& row : kRows) Check(row);
    if (!kWindows) std::ranges::for_each(kPosixRows, Check);
}

TEST(FileSystem, FindFilesMatchesPatternsWithoutRegardToCase) {
    const Folders folders;
    folders.Make({"G.ztb", "G1.ztb", "G1.ztb.ztb", "g100.ZTB", "G100.ztbak", "XG100.ztb", "G12.ztb", "G123.ztb",
        "abcab", "aXbYb", "aXbY", "Gdir.ztb/A", "Dλ.ztb"});
    const std::map<std::string, std::set<std::string>> namesFound = {// a folder's name ends in '/'
        {"g*.ZTB", {"G.ztb", "G1.ztb", "G1.ztb.ztb", "G12.ztb", "G123.ztb", "Gdir.ztb/", "g100.ZTB"}},
        {"G??.ztb", {"G12.ztb"}}, {"G1.ztb*", {"G1.ztb", "G1.ztb.ztb"}}, {"*ab", {"abcab"}},
        {"a*b*b", {"aXbYb", "abcab"}}, {"gDIR.ztb/*", {"A"}}, {"no/*", {}}, {"dλ*", {"Dλ.ztb"}}};
    for (const auto& [pattern, names] : namesFound) {
        std::set<std::string> found;
        for (const auto& entry : platform::FindFiles(folders.Path(pattern))) {
            found.insert(entry.name + (entry.isFolder ? "/" : ""));
        }
        EXPECT_EQ(found, names) << pattern;
    }
}

TEST(FileSystem, WholeFilesSeveralBuffersLongAndOffsetsPast2Pow31AndTheEnd) {
    const Folders folders;
    const std::string data = folders.Path("data");
    WriteText(data, std::string(200000, 'n') + "6789");
    WriteText(folders.Path("empty"), "");
    EXPECT_EQ(platform::ReadWholeFile(folders.Path("EMPTY")), Bytes());
    EXPECT_TRUE(platform::CopyFileToNameFreeAsWritten(folders.Path("DATA"), folders.Path("copy")));
    EXPECT_EQ(platform::ReadWholeFile(folders.Path("COPY")), ReadBytes(data));
    platform::InFile file;
    ASSERT_TRUE(file.Open(folders.Path("DATA")));
    char buffer[8] = {};
    for (const std::uint64_t offset : {0x80000000ULL, 0x100000000ULL + 200000, 200000ULL}) {
        EXPECT_EQ(std::string(buffer, file.ReadAt(offset, buffer, sizeof buffer)), offset == 200000 ? "6789" : "");
    }
}

TEST(FileSystem, TimesAreSetAndReadOnExistingFiles) {
    const Folders folders;
    const std::string copy = folders.Path("copy");
    WriteText(copy, "copy");
    // The access time is recent and after the write: a read may refresh an older one.
    const platform::FileTime access = TimesOf(copy).lastWrite + 1234567;
    ASSERT_TRUE(SetTimesOf(folders.Path("COPY"), {0, access, kTableTime}));
    ASSERT_TRUE(SetTimesOf(copy, {0, 0, kTableTime + 7654321}));
    // Only an existing file opens to set its times.
    EXPECT_FALSE(SetTimesOf(folders.Path("none"), {0, 0, kTableTime}) || fs::exists(folders.Path("none")));
    const platform::FileTimes read = TimesOf(folders.Path("Copy"));
    EXPECT_EQ(std::pair(read.lastAccess, read.lastWrite), std::pair(access, kTableTime + 7654321));
    EXPECT_GE(read.creation, read.lastWrite);  // never set here: the birth time or the last write
}

// The reader keeps neither another handle from renaming and deleting the
// file, nor itself from reading on. A holder that lets go within the wait
// does not fail an open as in use (Windows: the lock file is then gone;
// POSIX: the open never waited).
TEST(FileSystem, AnOpenReaderOrALockLetGoHoldsNoOneBack) {
    const Folders folders;
    const std::string data = folders.Path("data");
    WriteText(data, "0123456789");
    platform::InFile file;
    ASSERT_TRUE(file.Open(folders.Path("DATA")));
    EXPECT_TRUE(platform::MoveFileToNameFreeInAnyCase(data, folders.Path("moved")) &&
                platform::RemoveFile(folders.Path("MOVED")));
    char buffer[8] = {};
    EXPECT_EQ(file.ReadAt(8, buffer, sizeof buffer), 2u);
    platform::FileLock holder;
    ASSERT_TRUE(holder.Acquire(data));
    std::thread letGo([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        holder.Release();
    });
    EXPECT_NE(platform::InFile().Open(data), InUse);
    letGo.join();
}

#ifdef _WIN32
// Wine makes short aliases of its own form and opens files by them too.
TEST(FileSystem, AShortAliasNamesNothing) {
    const Folders folders;
    WriteText(folders.Path("DFILMLONGNAME.ztb"), "long");
    WIN32_FIND_DATAW found;
    FindClose(FindFirstFileW(platform::WideFromUtf8(folders.Path("DFILMLONGNAME.ztb"))->c_str(), &found));
    const std::string alias = folders.Path(*platform::Utf8FromWide(found.cAlternateFileName));
    for (const Op op : {Move, Copy, Remove, ReadInto})
        EXPECT_FALSE(op(alias, folders.Path("x")) || fs::exists(folders.Path("x"))) << alias;
    EXPECT_TRUE(!platform::PathExists(alias) && ReadText(folders.Path("DFILMLONGNAME.ztb")) == "long") << alias;
}
#endif

TEST(FileSystem, TheWindowsFolderTheProgramAndProcesses) {
    const std::string windows = platform::WindowsFolder(), program = platform::ExecutablePath();
    EXPECT_TRUE(platform::PathExists(windows) && windows.back() != platform::kPathSeparator) << windows;
    EXPECT_TRUE(platform::PathExists(program) && platform::ExecutablePath(program.size() + 1) == program &&
                platform::ExecutablePath(program.size()).empty())
        << program;  // a path cut short is none
    EXPECT_TRUE(platform::ProcessIsRunning(platform::CurrentProcessId()) &&
                !platform::ProcessIsRunning(kNeverAProcess) && !platform::ProcessIsRunning(0xFFFFFFFFu));
}

}  // namespace
