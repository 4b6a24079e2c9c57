// The shortcuts window: every shortcut in every profile's places and in folders the user adds,
// with its state, looked for on a thread of its own so that the window answers throughout; the
// programs kept protected, and which shortcuts a check would change.
#pragma once

#include "core/ShortcutReport.h"
#include "framework/BackgroundJob.h"
#include "framework/Framework.h"
#include "framework/ListView.h"
#include "win/ShortcutLook.h"

#include <string>
#include <vector>

class CShortcutsDlg : public CDialog {
public:
    CShortcutsDlg();
    ~CShortcutsDlg() override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override; // Enter: open the folder of the selected shortcut
    void OnCancel() override;
    BOOL OnCommand(UINT id, UINT notifyCode) override;
    BOOL OnNotify(UINT controlId, NMHDR* header, LRESULT& result) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    // One line of the list, in the list's own texts.
    struct Row {
        std::wstring shortcut, folder, program, state, kept;
        std::wstring path;        // the shortcut file
        std::string programUtf8;  // as the look found it
        ShortcutState kind = ShortcutState::NotProtected;
        const std::wstring& Text(int column) const;
    };

    void StartLook();
    void StopLook(); // ends the look, within a bounded wait, and forgets it
    void OnLookNews(); // the look found more, or ended
    void OnLookDone(ShortcutLook look);
    void ShowRows();          // the rows the check box asks for, sorted
    void SortRows();
    void OnListKey(UINT key);
    void OnOpenFolder();
    // Protect... (unprotected) or Remove protection... (protected): the selected rows of that
    // kind through the commands' batches, then a new look.
    void OnProtectSelected(bool protect);
    void OnAddFolder();
    void SetLooking(bool looking);
    // The kept programs, read again, into their list.
    void ShowKept();
    // Keep protected...: the distinct programs of the selected rows, one password for them all.
    void OnKeepSelected();
    // Stop keeping...: the programs selected in the kept list, else the kept ones of the selected rows.
    void OnUnkeepSelected();
    // Check now: what the logon check does, then a new look.
    void OnCheckNow();

    std::vector<std::wstring> m_folders; // where to look: the machine's places and those added
    std::vector<FoundShortcut> m_found;
    int m_unreadable = 0;
    bool m_stopAsked = false; // Stop was pressed during the look under way
    bool m_foundWhole = false; // m_found is every shortcut there is now: the last look ran to its end
    std::vector<Row> m_rows; // what the list shows
    std::vector<std::string> m_kept; // the kept programs, long form, UTF-8, as their list shows them
    CListView m_list;
    CBackgroundJob<ShortcutLook> m_look;
};

// Opens the window over the main window, with COM for the folder picker; returns when it closes.
void ShowShortcutsWindow();
