// The file services give the same results on every build: this one source
// runs natively against the POSIX layer and under Wine against the Win32
// layer; the few cases only the POSIX layer has to get right are marked.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iterator>
#include <sstream>
#include <thread>

#include "platform/Process.h"
#include "testkit/Tables.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/WideText.h"
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using enum platform::Outcome;
using S = const std::string&;
using Op = platform::Result (*)(S from, S to);

// The services as operations from one name to another; what ReadInto reads
// goes to its second name.
const Op Move = platform::MoveFileToNameFreeInAnyCase, MoveToFree = platform::MoveFileToNameFreeAsWritten;
const Op Copy = [](S from, S to) { return platform::CopyFileToNameFreeAsWritten(from, to); },
         Remove = [](S from, S) { return platform::RemoveFile(from); };
const Op MakeFolder = [](S from, S) { return platform::CreateFolder(from); };
const Op Write = [](S from, S) { return platform::WriteWholeFile(from, {'w'}); };
const Op ReadInto = [](S from, S to) {
    const auto bytes = platform::ReadWholeFile(from);
    if (bytes) WriteText(to, std::string(bytes->begin(), bytes->end()));
    return platform::Result(bytes ? Done : Other);
};

// A path as the layer takes it, in UTF-8, for the standard library.
fs::path U8(S text) { return fs::path(std::u8string(text.begin(), text.end())); }

// A backup name that takes the path past 260 characters, the backup folder's
// name and the backup's bytes.
const std::string kLongName = "BACK/" + std::string(240, 'L') + ",v1",
                  kLongAfter = "back/ back/" + kLongName.substr(5) + "=Tab";

// An operation on fresh folders holding the entries of before: a name ending
// in '/' is a folder, in '|' a pipe, any other a file whose bytes are its
// last component and whose last write is kTableTime; "~/" starts a name in a
// second folder, on another file system where there is one. after: the
// entries afterwards, files as "name=bytes", '*' when the last write changed.
// Other stands for any failure where the systems give different reasons.
// clang-format off
const struct Row { Op op; const char *from, *to, *before; platform::Outcome outcome; const char* after; } kRows[] = {
    {Move, "TAB", "BACK/Tab,v1", "Tab back/", Done, "back/ back/Tab,v1=Tab"}, {Move, "c", "d", "a", NotFound, "a=a"},
    {Move, "tab", "~/TAKEN", "tab ~/taken", Other, "tab=tab ~/taken=taken"},
    {Move, "a", "B", "a b", NameTaken, "a=a b=b"}, {MoveToFree, "x", "a", "a x", NameTaken, "a=a x=x"},
    {Copy, "BACK/TAB,V1", ".new", "back/Tab,v1", Done, ".new=Tab,v1 back/ back/Tab,v1=Tab,v1"},
    {Copy, "a", "b", "a b", NameTaken, "a=a b=b"}, {Copy, "c", "d", "a", Other, "a=a"},
    {Remove, "NEW", "", "new a", Done, "a=a"}, {Remove, "new", "", "a", NotFound, "a=a"},
    {MakeFolder, "Back/", "", "", Done, "Back/"}, {MakeFolder, "BACK", "", "back/", NameTaken, "back/"},
    {Write, "NEWNAME", "", "NewName", Done, "NewName=w*"}, {ReadInto, "f", "r", "f/", Other, "f/"},
    {ReadInto, "SUB/tAB", "r", "sub/Tab", Done, "r=Tab* sub/ sub/Tab=Tab"}, {ReadInto, "no", "r", "", Other, ""},
    // Names outside any ANSI code page; a path past 260 characters; a short
    // alias (Windows makes "DFILML~1.ZTB" for the long name) names nothing.
    {Copy, "dλ.ztb", "Bλ", "Dλ.ztb", Done, "Bλ=Dλ.ztb Dλ.ztb=Dλ.ztb"}, {Move, "TAB", kLongName.c_str(), "Tab back/", Done, kLongAfter.c_str()},
    {Remove, "DFILML~1.ZTB", "", "DFILMLONGNAME.ztb", NotFound, "DFILMLONGNAME.ztb=DFILMLONGNAME.ztb"},
// Only the POSIX layer: names that differ only in case (the exact one, else
// the least), a move to another case of the name (Wine keeps the old one),
// no folder or pipe taken for a file, no move to another file system.
#ifndef _WIN32
    {ReadInto, "b.z", "r", "b.z B.z", Done, "B.z=B.z b.z=b.z r=b.z*"}, {Remove, "f", "", "f/", Other, "f/"},
    {ReadInto, "b.Z", "r", "b.z B.z", Done, "B.z=B.z b.z=b.z r=B.z*"}, {ReadInto, "P", "r", "p|", Other, "p|"},
    {Copy, "p", "c", "p|", AccessDenied, "p|"}, {Move, "t", "T", "t", Done, "T=t"},
    {Move, "TAB", "~/Tab", "tab ~/taken", OtherVolume, "tab=tab ~/taken=taken"},
#endif
};
// clang-format on

std::set<std::string> Words(S text) {
    std::istringstream words(text);
    return {std::istream_iterator<std::string>(words), {}};
}

struct Folders {
    const bool shm = !kWindows && fs::is_directory("/dev/shm");
    TempFolder here, away{shm ? fs::path("/dev/shm") : fs::temp_directory_path()};

    std::string Path(S name) const { return name.starts_with("~") ? away.Path(name.substr(2)) : here.Path(name); }

    void Make(S entries) const {
        for (const std::string& name : Words(entries)) {
            const std::string path = Path(name.substr(0, name.find_last_not_of("/|") + 1));
            fs::create_directories(name.back() == '/' ? U8(path) : U8(path).parent_path());
#ifndef _WIN32
            if (name.back() == '|') mkfifo(path.c_str(), 0600);
#endif
            if (name.back() != '/' && name.back() != '|') WriteText(U8(path), name.substr(name.rfind('/') + 1));
            SetTimesOf(path, {0, 0, kTableTime});
        }
    }

    std::set<std::string> State() const {
        std::set<std::string> entries;
        for (const auto& [root, prefix] : {std::pair{here.FsPath(), ""}, {away.FsPath(), "~/"}}) {
            for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
                const std::string name = prefix + Utf8Of(fs::relative(entry.path(), root));
                const bool written = TimesOf(Utf8Of(entry.path())).lastWrite != kTableTime;
                entries.insert(entry.is_directory() ? name + "/"
                               : entry.is_fifo()    ? name + "|"
                                                    : name + "=" + ReadText(entry.path()) + (written ? "*" : ""));
            }
        }
        return entries;
    }
};

TEST(FileSystem, EveryServiceGivesTheSameResultsOnBothLayers) {
    for (const Row& row : kRows) {
        const Folders folders;
        folders.Make(row.before);
        const platform::Result result = row.op(folders.Path(row.from), folders.Path(row.to));
        EXPECT_EQ(!result && row.outcome == Other ? Other : result.outcome(), row.outcome) << row.from;
        EXPECT_EQ(folders.State(), Words(row.after)) << row.from << " " << row.to;
    }

    const Folders folders;
    folders.Make(
        "G.ztb G1.ztb G1.ztb.ztb g100.ZTB G100.ztbak XG100.ztb G12.ztb G123.ztb abcab aXbYb aXbY Gdir.ztb/A Dλ.ztb");
    const char* cases[][2] = {// pattern, the names found ('/' after a folder's)
        {"g*.ZTB", "G.ztb G1.ztb G1.ztb.ztb G12.ztb G123.ztb Gdir.ztb/ g100.ZTB"}, {"G??.ztb", "G12.ztb"},
        {"G1.ztb*", "G1.ztb G1.ztb.ztb"}, {"*ab", "abcab"}, {"a*b*b", "aXbYb abcab"}, {"gDIR.ztb/*", "A"}, {"no/*", ""},
        {"dλ*", "Dλ.ztb"}};
    for (const auto& [pattern, names] : cases) {
        std::set<std::string> found;
        for (const auto& entry : platform::FindFiles(folders.Path(pattern))) {
            found.insert(entry.name + (entry.isFolder ? "/" : ""));
        }
        EXPECT_EQ(found, Words(names)) << pattern;
    }

    // Whole files several buffers long, offsets past 2^31 and past the end.
    const std::string data = folders.Path("data"), copy = folders.Path("copy");
    WriteText(data, std::string(200000, 'n') + "6789");
    WriteText(folders.Path("empty"), "");
    EXPECT_EQ(platform::ReadWholeFile(folders.Path("EMPTY")), Bytes());
    ASSERT_TRUE(platform::CopyFileToNameFreeAsWritten(folders.Path("DATA"), copy));
    EXPECT_EQ(platform::ReadWholeFile(folders.Path("COPY")), ReadBytes(data));
    platform::InFile file;
    ASSERT_TRUE(file.Open(folders.Path("DATA")));
    char buffer[8] = {};
    for (const std::uint64_t offset : {0x80000000ULL, 0x100000000ULL + 200000, 200000ULL}) {
        EXPECT_EQ(std::string(buffer, file.ReadAt(offset, buffer, sizeof buffer)), offset == 200000 ? "6789" : "");
    }

    // The access time is recent and after the write: a read may refresh an older one.
    const platform::FileTime access = TimesOf(copy).lastWrite + 1234567;
    ASSERT_TRUE(SetTimesOf(folders.Path("COPY"), {0, access, kTableTime}));
    ASSERT_TRUE(SetTimesOf(copy, {0, 0, kTableTime + 7654321}));
    // Only an existing file opens to set its times.
    EXPECT_FALSE(SetTimesOf(folders.Path("none"), {0, 0, kTableTime}) || fs::exists(folders.Path("none")));
    const platform::FileTimes read = TimesOf(folders.Path("Copy"));
    EXPECT_EQ(std::pair(read.lastAccess, read.lastWrite), std::pair(access, kTableTime + 7654321));
    EXPECT_GE(read.creation, read.lastWrite);  // never set here: the birth time or the last write

    // The reader keeps neither another handle from renaming and deleting
    // the file, nor itself from reading on.
    EXPECT_TRUE(platform::MoveFileToNameFreeInAnyCase(data, folders.Path("moved")) &&
                platform::RemoveFile(folders.Path("MOVED")));
    EXPECT_EQ(file.ReadAt(200002, buffer, sizeof buffer), 2u);
    // A holder that lets go within the wait does not fail an open as in use
    // (Windows: the lock file is then gone; POSIX: the open never waited).
    platform::FileLock holder;
    ASSERT_TRUE(holder.Acquire(data));
    std::thread letGo([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        holder.Release();
    });
    EXPECT_NE(platform::InFile().Open(data), InUse);
    letGo.join();
#ifdef _WIN32
    // Wine makes short aliases of its own form and opens files by them too.
    WriteText(folders.Path("DFILMLONGNAME.ztb"), "long");
    WIN32_FIND_DATAW found;
    FindClose(FindFirstFileW(platform::WideFromUtf8(folders.Path("DFILMLONGNAME.ztb"))->c_str(), &found));
    const std::string alias = folders.Path(*platform::Utf8FromWide(found.cAlternateFileName));
    for (const Op op : {Move, Copy, Remove, ReadInto})
        EXPECT_FALSE(op(alias, folders.Path("x")) || fs::exists(folders.Path("x"))) << alias;
    EXPECT_TRUE(!platform::PathExists(alias) && ReadText(folders.Path("DFILMLONGNAME.ztb")) == "long") << alias;
#endif

    const std::string windows = platform::WindowsFolder(), program = platform::ExecutablePath();
    EXPECT_TRUE(platform::PathExists(windows) && windows.back() != platform::kPathSeparator) << windows;
    EXPECT_TRUE(platform::PathExists(program) && platform::ExecutablePath(program.size() + 1) == program &&
                platform::ExecutablePath(program.size()).empty())
        << program;  // a path cut short is none
    EXPECT_TRUE(platform::ProcessIsRunning(platform::CurrentProcessId()) &&
                !platform::ProcessIsRunning(kNeverAProcess) && !platform::ProcessIsRunning(0xFFFFFFFFu));
}

#ifndef _WIN32
// Names found without regard to case come from kept folder listings; every
// change since, by this process or another, shows in the next lookup.
TEST(PosixLayer, LookupsSeeEveryLaterChange) {
    const Folders f;
    const std::string t = f.Path("ZTB/TABLE.ZTB");
    const auto rename = [&](S from, S to) { fs::rename(f.Path(from), f.Path(to)); };
    const std::pair<std::function<void()>, bool> steps[] = {// a change, whether the table is found then
        {[&] { f.Make("ZTB/"); }, false}, {[&] { f.Make("ZTB/table.ztb"); }, true},
        {[&] { rename("ZTB/table.ztb", "away"); }, false}, {[&] { rename("away", "ZTB/Table.ztb"); }, true},
        {[&] {
             if (fork() == 0) _exit(!(platform::PathExists(t) && platform::RemoveFile(t)));
             wait(nullptr);
         },
            false},
        {[&] {
             rename("ZTB", "Old");
             f.Make("ZTB/tAbLe.ztb");
         },
            true},  // another folder at the same path
        {[&] { fs::remove_all(f.Path("ZTB")); }, false}};
    for (const auto& [change, found] : steps) {
        change();
        EXPECT_EQ(platform::PathExists(t), found);
    }
}
#endif

}  // namespace
