#include "install/HistoryLog.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <utility>

#include "Version.h"
#include "catalogue/DateText.h"
#include "platform/Process.h"

namespace {

// The field as it can stand in a line: no tab, no line end within it.
std::string Field(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return text;
}

std::string Joined(const std::vector<std::string>& fields) {
    std::string line;
    for (const std::string& field : fields) {
        if (&field != &fields.front()) line += '\t';
        line += Field(field);
    }
    return line + "\r\n";
}

// The time now in ISO 8601, UTC, to the second: 2025-03-04T07:15:02Z.
std::string UtcNow() {
    using namespace std::chrono;
    // In seconds: 1601 lies further back than nanoseconds since 1970 reach.
    const seconds sinceFileTimeEpoch = floor<seconds>(system_clock::now()) - sys_seconds{sys_days{year{1601} / 1 / 1}};
    return IsoDateText(static_cast<platform::FileTime>(sinceFileTimeEpoch.count()) * 10'000'000);
}

}  // namespace

HistoryWriter::HistoryWriter(const std::string& installedFolder, const HistorySource& source, std::string operation)
    : path_(installedFolder + kHistoryFileName) {
    fixed_ = Joined({"", platform::ComputerName(), platform::UserName(), source.program, ZTB_VERSION_TEXT,
        std::move(operation), source.model});
    fixed_.resize(fixed_.size() - 2);  // a tab before each field, without the line end
}

void HistoryWriter::Append(const HistoryEntry& entry) {
    if (!opened_) {  // at the first line: an operation without rows leaves no trace
        opened_ = true;
        failed_ = file_.Append(path_);
        if (failed_ && file_.Size().value_or(0) == 0) {
            const std::string header = Joined({std::begin(kHistoryColumns), std::end(kHistoryColumns)});
            failed_ = file_.Write(header.data(), header.size());
        }
    }
    if (!failed_) return;
    std::string line = UtcNow();
    line += fixed_;
    for (const std::string* field :
        {&entry.fileName, &entry.description, &entry.result, &entry.reason, &entry.source, &entry.backup}) {
        line += '\t';
        line += Field(*field);
    }
    line += "\r\n";
    failed_ = file_.Write(line.data(), line.size());
}

std::string HistoryWriter::Finish() {
    if (!opened_) return {};
    if (failed_) failed_ = file_.Flush();
    if (!file_.Close() && failed_) failed_ = platform::Outcome::Other;
    if (failed_) return {};
    return "the history log " + path_ + " could not be written: " + failed_.Text();
}

std::optional<std::size_t> History::Column(const std::string& name) const {
    const auto found = std::find(columns.begin(), columns.end(), name);
    if (found == columns.end()) return std::nullopt;
    return static_cast<std::size_t>(found - columns.begin());
}

platform::Result ReadHistory(const std::string& installedFolder, History& history) {
    history = {{std::begin(kHistoryColumns), std::end(kHistoryColumns)}, {}};
    platform::InFile file;
    if (const platform::Result opened = file.Open(installedFolder + kHistoryFileName); !opened) {
        return opened == platform::Outcome::NotFound ? platform::Result() : opened;
    }
    std::string text;
    char buffer[64 * 1024];
    while (const std::size_t got = file.Read(buffer, sizeof buffer)) text.append(buffer, got);
    if (text.size() != file.Size()) return platform::Outcome::Other;  // a read failed part way

    bool header = true;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        std::vector<std::string> fields;
        for (std::size_t from = 0;;) {
            const std::size_t tab = line.find('\t', from);
            fields.push_back(line.substr(from, tab - from));
            if (tab == std::string::npos) break;
            from = tab + 1;
        }
        if (std::exchange(header, false)) {
            history.columns = std::move(fields);
        } else {
            fields.resize(history.columns.size());
            history.lines.push_back(std::move(fields));
        }
    }
    return {};
}
