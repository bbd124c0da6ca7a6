// The file services, each defined once: a service asks the fault seam
// first and then makes the backend's calls (FileSystemBackend.h), so one
// fault table runs against either system. What is written over other
// services alone is here too.
#include "platform/FileSystem.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/FaultSeam.h"
#include "platform/FileSystemBackend.h"

namespace platform {

namespace {

const char* OutcomeText(Outcome outcome) {
    switch (outcome) {
    case Outcome::Done:
        return "done";
    case Outcome::NameTaken:
        return "the name is taken";
    case Outcome::NotFound:
        return "not found";
    case Outcome::AccessDenied:
        return "access denied";
    case Outcome::InUse:
        return "in use";
    case Outcome::DiskFull:
        return "disk full";
    case Outcome::BadName:
        return "the name cannot be used";
    case Outcome::OtherVolume:
        return "it is on another volume";
    case Outcome::NotAFile:
        return "it is not a plain file";
    case Outcome::Other:
        break;
    }
    return "system error";
}

}  // namespace

std::string Result::Text() const {
    if (outcome_ != Outcome::Other || systemCode_ == 0) return OutcomeText(outcome_);
    return std::string(OutcomeText(outcome_)) + " " + std::to_string(systemCode_);
}

Result FileHandle::Close() {
    if (!IsOpen()) return {};
    return backend::Close(std::exchange(native_, kNoFile));
}

std::optional<CalendarTime> FileTimeToCalendar(FileTime time) {
    // FileTimeToSystemTime rejects times with the top bit set.
    if (time >= 0x8000000000000000ULL) return std::nullopt;
    constexpr std::uint64_t kUnitsPerSecond = 10000000;
    constexpr std::uint64_t kUnitsPerDay = 86400 * kUnitsPerSecond;
    const std::int64_t days = static_cast<std::int64_t>(time / kUnitsPerDay);
    const std::int64_t secondsOfDay = static_cast<std::int64_t>((time % kUnitsPerDay) / kUnitsPerSecond);

    // Civil date from a day count (days since 0000-03-01 in the proleptic
    // Gregorian calendar; 1601-01-01 is day 584694 of that count).
    const std::int64_t z = days + 584694;
    const std::int64_t era = z / 146097;
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;  // 0 = March
    const std::int64_t day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const std::int64_t month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);

    CalendarTime result;
    result.year = static_cast<int>(year);
    result.month = static_cast<int>(month);
    result.day = static_cast<int>(day);
    result.hour = static_cast<int>(secondsOfDay / 3600);
    result.minute = static_cast<int>(secondsOfDay / 60 % 60);
    result.second = static_cast<int>(secondsOfDay % 60);
    return result;
}

// ---- InFile ------------------------------------------------------------------

Result InFile::Open(const std::string& path) {
    Close();
    if (const Outcome fault = BeforeCall(Call::Open, path); fault != Outcome::Done) return fault;
    return backend::OpenForReading(path, file_);
}

bool InFile::IsOpen() const { return file_.IsOpen(); }

void InFile::Close() { file_.Close(); }

std::size_t InFile::Read(void* buffer, std::size_t size) {
    std::size_t got = 0;
    if (IsOpen() && BeforeCall(Call::Read, {}) == Outcome::Done) {
        backend::Read(file_.native(), buffer, size, std::nullopt, got);
    }
    return got;
}

std::size_t InFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    // Both systems take offsets as signed 64-bit numbers.
    constexpr auto kLastOffset = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    std::size_t got = 0;
    if (IsOpen() && offset <= kLastOffset - size && BeforeCall(Call::Read, {}) == Outcome::Done) {
        backend::Read(file_.native(), buffer, size, offset, got);
    }
    return got;
}

std::optional<std::uint64_t> InFile::Size() const {
    if (!IsOpen()) return std::nullopt;
    return backend::Size(file_.native());
}

bool InFile::GetTimes(FileTimes& times) const {
    return IsOpen() && BeforeCall(Call::GetTimes, {}) == Outcome::Done && backend::GetTimes(file_.native(), times);
}

// ---- OutFile -----------------------------------------------------------------

Result OutFile::OpenExisting(const std::string& path) {
    Close();
    if (const Outcome fault = BeforeCall(Call::Open, path); fault != Outcome::Done) return fault;
    return backend::OpenForTimes(path, file_);
}

Result OutFile::Create(const std::string& path) {
    Close();
    if (const Outcome fault = BeforeCall(Call::Open, path); fault != Outcome::Done) return fault;
    return backend::CreateForWriting(path, file_);
}

Result OutFile::Append(const std::string& path) {
    Close();
    if (const Outcome fault = BeforeCall(Call::Open, path); fault != Outcome::Done) return fault;
    return backend::OpenForAppending(path, file_);
}

bool OutFile::IsOpen() const { return file_.IsOpen(); }

bool OutFile::Close() { return static_cast<bool>(file_.Close()); }

Result OutFile::Write(const void* buffer, std::size_t size) {
    if (!IsOpen()) return Outcome::Other;
    if (const Outcome fault = BeforeCall(Call::Write, {}); fault != Outcome::Done) return fault;
    return backend::Write(file_.native(), buffer, size);
}

Result OutFile::SetTimes(const FileTimes& times) {
    if (!IsOpen()) return Outcome::Other;
    if (const Outcome fault = BeforeCall(Call::SetTimes, {}); fault != Outcome::Done) return fault;
    return backend::SetTimes(file_.native(), times);
}

Result OutFile::Flush() {
    if (!IsOpen()) return Outcome::Other;
    if (const Outcome fault = BeforeCall(Call::Flush, {}); fault != Outcome::Done) return fault;
    return backend::FlushData(file_.native());
}

std::optional<std::uint64_t> OutFile::Size() const {
    if (!IsOpen()) return std::nullopt;
    return backend::Size(file_.native());
}

// ---- folders and whole files -------------------------------------------------

Result FindFiles(const std::string& pattern, std::vector<FoundEntry>& found) {
    found.clear();
    if (const Outcome fault = BeforeCall(Call::Find, pattern); fault != Outcome::Done) return fault;
    return backend::FindFiles(pattern, found);
}

std::vector<FoundEntry> FindFiles(const std::string& pattern) {
    std::vector<FoundEntry> found;
    if (!FindFiles(pattern, found)) found.clear();
    return found;
}

Result PathStatus(const std::string& path) {
    if (const Outcome fault = BeforeCall(Call::Exists, path); fault != Outcome::Done) return fault;
    return backend::PathStatus(path);
}

bool PathExists(const std::string& path) { return static_cast<bool>(PathStatus(path)); }

Result CreateFolder(const std::string& path) {
    if (const Outcome fault = BeforeCall(Call::CreateFolder, path); fault != Outcome::Done) return fault;
    return backend::CreateFolder(path);
}

Result MoveFileToNameFreeInAnyCase(const std::string& from, const std::string& to) {
    if (const Outcome fault = BeforeCall(Call::Move, from, to); fault != Outcome::Done) return fault;
    return backend::MoveToNameFreeInAnyCase(from, to);
}

Result MoveFileToNameFreeAsWritten(const std::string& from, const std::string& to) {
    if (const Outcome fault = BeforeCall(Call::Move, from, to); fault != Outcome::Done) return fault;
    return backend::MoveToNameFreeAsWritten(from, to);
}

Result MoveFileReplacing(const std::string& from, const std::string& to) {
    if (const Outcome fault = BeforeCall(Call::Move, from, to); fault != Outcome::Done) return fault;
    return backend::MoveReplacing(from, to);
}

Result FlushFolder(const std::string& folder) {
    if (const Outcome fault = BeforeCall(Call::Flush, folder); fault != Outcome::Done) return fault;
    return backend::FlushFolder(folder);
}

Result FlushFile(const std::string& path) {
    if (const Outcome fault = BeforeCall(Call::Flush, path); fault != Outcome::Done) return fault;
    return backend::FlushFile(path);
}

Result RemoveFile(const std::string& path) {
    if (const Outcome fault = BeforeCall(Call::Delete, path); fault != Outcome::Done) return fault;
    return backend::RemoveFile(path);
}

Result CopyFileToNameFreeAsWritten(const std::string& from, const std::string& to, FileTimes* sourceTimes) {
    if (const Outcome fault = BeforeCall(Call::Copy, from, to); fault != Outcome::Done) return fault;
    FileHandle copy;
    Result result = backend::CopyToNewFile(from, to, copy, sourceTimes);
    // On the disk before it is closed, so that it is there before a caller
    // gives it a table's name.
    if (result) result = BeforeCall(Call::Flush, to);
    if (result) result = backend::FlushData(copy.native());
    const bool made = copy.IsOpen();
    if (const Result closed = copy.Close(); !closed && result) result = closed;
    // A failure part way leaves no partial copy; the name was free before.
    if (!result && made) backend::RemoveOwnFile(to);
    return result;
}

std::optional<std::vector<unsigned char>> ReadWholeFile(const std::string& path) {
    FileHandle file;
    if (BeforeCall(Call::Read, path) != Outcome::Done || !backend::OpenForReading(path, file)) return std::nullopt;
    std::vector<unsigned char> bytes;
    unsigned char buffer[64 * 1024];
    while (true) {
        std::size_t got = 0;
        if (!backend::Read(file.native(), buffer, sizeof buffer, std::nullopt, got)) return std::nullopt;
        if (got == 0) return bytes;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
}

Result WriteWholeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    OutFile file;
    if (const Result created = file.Create(path); !created) return created;
    const Result written = file.Write(bytes.data(), bytes.size());
    if (!file.Close() && written) return Outcome::Other;
    return written;
}

bool SameFileContent(const std::string& a, const std::string& b) {
    // The sizes first, then block by block, so that neither file is ever
    // held whole (a table may carry a long tail that the loader ignores).
    InFile fileA;
    InFile fileB;
    if (!fileA.Open(a) || !fileB.Open(b)) return false;
    const std::optional<std::uint64_t> size = fileA.Size();
    if (!size || fileB.Size() != size) return false;
    constexpr std::size_t kBlock = 64 * 1024;
    std::vector<unsigned char> blockA(kBlock);
    std::vector<unsigned char> blockB(kBlock);
    for (std::uint64_t left = *size; left > 0;) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, kBlock));
        if (fileA.Read(blockA.data(), want) != want || fileB.Read(blockB.data(), want) != want ||
            std::memcmp(blockA.data(), blockB.data(), want) != 0) {
            return false;
        }
        left -= want;
    }
    return true;
}

// ---- locks -------------------------------------------------------------------

FileLock::~FileLock() { Release(); }

Result FileLock::Acquire(const std::string& path) {
    Release();
    if (const Outcome fault = BeforeCall(Call::Lock, path); fault != Outcome::Done) return fault;
    return backend::Lock(path, file_, path_);
}

bool FileLock::IsHeld() const { return file_.IsOpen(); }

void FileLock::Release() {
    if (!IsHeld()) return;
    backend::Unlock(path_);
    file_.Close();
}

Result backend::CopyContent(NativeFile from, NativeFile to) {
    unsigned char buffer[64 * 1024];
    for (std::size_t got = 0;;) {
        if (const Result read = Read(from, buffer, sizeof buffer, std::nullopt, got); !read) return read;
        if (got == 0) return {};
        if (const Result written = Write(to, buffer, got); !written) return written;
    }
}

}  // namespace platform
