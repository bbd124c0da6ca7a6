#include "ui/HistoryDlg.h"

#include <iterator>
#include <string>
#include <utility>

#include "install/HistoryLog.h"
#include "platform/WideText.h"
#include "ui/framework/DataExchange.h"
#include "ui/resource.h"

namespace {

// Where the user, operation, file, description and result columns begin, in
// dialog units from the list's left edge; the headings stand at the same places.
const int kColumnStops[] = {74, 124, 158, 214, 306};

// The columns shown, in order.
const char* const kShown[] = {"Time", "User", "Operation", "FileName", "Description", "Result"};

// The log is UTF-8: rows go to the list as UTF-16, whatever the code page.
void AddRow(CListBox& list, const std::string& text) {
    const std::wstring wide = platform::WideFromUtf8(text).value_or(L"?");
    ::SendMessageW(list.m_hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

std::string RowOf(const History& history, const std::vector<std::string>& line) {
    const auto field = [&](const char* name) {
        const auto column = history.Column(name);
        return column ? line[*column] : std::string();
    };
    std::string row;
    for (const char* name : kShown) {
        if (name != kShown[0]) row += '\t';
        row += field(name);
    }
    if (row.size() > 20 && row[10] == 'T' && row[19] == 'Z') {  // 2025-03-04T07:15:02Z as 2025-03-04 07:15:02
        row[10] = ' ';
        row.erase(19, 1);
    }
    if (const std::string reason = field("Reason"); !reason.empty()) {
        row += ": ";
        row += reason;
    }
    return row;
}

}  // namespace

CHistoryDlg::CHistoryDlg(CatalogueFolders folders, CWnd* pParent)
    : CDialog(IDD_HISTORY, pParent), folders_(std::move(folders)) {}

void CHistoryDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_HISTORY_LIST, HistoryList);
}

BOOL CHistoryDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    HistoryList.SendMessage(LB_SETTABSTOPS, std::size(kColumnStops), reinterpret_cast<LPARAM>(kColumnStops));
    History history;
    if (const platform::Result read = ReadHistory(folders_.Installed(), history); !read) {
        AddRow(HistoryList,
            "The history log " + folders_.Installed() + kHistoryFileName + " cannot be read: " + read.Text());
    } else if (history.lines.empty()) {
        AddRow(HistoryList, "No table has been installed, removed or restored here yet.");
    }
    for (auto line = history.lines.rbegin(); line != history.lines.rend(); ++line)
        AddRow(HistoryList, RowOf(history, *line));
    return TRUE;
}
