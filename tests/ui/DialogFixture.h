// Drives the real installer dialog, modeless, in this process: its own
// installed and distribution folders in a temporary folder, tables made by
// the ZTB writer, and the message boxes recorded instead of shown.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/Folders.h"
#include "testkit/TempFolder.h"
#include "ui/InstallerDlg.h"
#include "ui/framework/MessageBox.h"

inline constexpr COLORREF kRed = RGB(255, 0, 0);
inline constexpr COLORREF kBlue = RGB(0, 0, 255);

// Rows of the model box.
inline constexpr int kOrvaneA = 4;
inline constexpr int kOrvaneB = 7;
inline constexpr int kOrvaneC = 10;

// What loading a table from WriteDamagedTable ends in.
inline constexpr const char* kDamagedMessage = "Illegal ZTB ID string";

// Delivers the messages waiting for this thread (painting, posted ones).
void PumpMessages();

class DialogTest : public ::testing::Test {
protected:
    DialogTest();
    ~DialogTest() override;

    // Folders as the program sees them: the Windows directory, the
    // installed folder below it, the program folder and its "ZTB" folder.
    std::string windowsFolder;
    std::string installedFolder;
    std::string programFolder;
    std::string distributionFolder;
    CatalogueFolders Folders() const { return {programFolder, windowsFolder}; }

    // A valid table (Orvane A device type) with the given title, its file
    // times the given minutes after 2024-01-01.
    void Install(const std::string& name, const std::string& title, int minutes);
    void Distribute(const std::string& name, const std::string& title, int minutes);
    // Orvane A offers "Chrome 64 v1" (new), "Print 50 v3" (updated) and
    // "Slide 100 v2" (new), and has "Negative 400 v1" and "Print 50 v2"
    // installed. Orvane B offers "Ortho 25" and has nothing installed.
    void MakeTables();
    static bool Exists(const std::string& path) { return std::filesystem::exists(path); }

    // Creates the dialog on the folders; it initialises as it opens.
    void Open();

    HWND Dialog() const { return dialog->m_hWnd; }
    HWND Item(int id) const { return ::GetDlgItem(dialog->m_hWnd, id); }
    bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
    void ExpectButtons(bool remove, bool add, bool addAll) const;

    std::vector<std::string> Rows(int listId) const;
    std::vector<int> SelectedRows(int listId) const;
    COLORREF ItemData(int listId, int row) const
    {
        return static_cast<COLORREF>(::SendMessageA(Item(listId), LB_GETITEMDATA, row, 0));
    }

    // The user's actions, through the controls.
    void ClickRow(int listId, int row, bool withControl = false);
    void ChooseModel(int row);
    void Press(int buttonId);         // a click on an enabled button
    void SendCommand(int buttonId);   // the button's command, enabled or not

    // Entries, counts and rows match: row k shows entry k in its colour,
    // and a count of 0 goes with the placeholder row alone.
    void ExpectListsMatchEntries() const;

    // The texts of the recorded message boxes, emptied.
    std::vector<std::string> messages;
    std::vector<std::string> TakeMessages() { return std::exchange(messages, {}); }

    std::unique_ptr<CInstallerDlg> dialog;

private:
    TempFolder root;
    MessageBoxHook previousHook;
};
