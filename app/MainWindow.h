// The main window: a launch pad for the protect, remove and master-password commands, the
// shortcuts window, Help and About; a shortcut dropped on it from Explorer is protected or freed.
#pragma once

#include "framework/Framework.h"

#include <string>

class CMainWindow : public CDialog {
public:
    CMainWindow();

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT notifyCode) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    // A shortcut dropped from Explorer: the same decision as a shortcut named on the command line.
    void OnDropFiles(HDROP drop);
    void OnHelp();
    void OnAbout();
    // True when it handled the command (the About entry of the system menu).
    bool OnSysCommand(UINT id);
    // True when it painted (the icon of the minimised window).
    bool OnPaint();

    // Runs one command of the window; a drop that comes while it runs is ignored.
    template <class Command>
    void RunCommand(Command command);

    HICON m_mainIcon;
    bool m_commandRunning = false; // a command's dialogs are open: drops and buttons wait for it
    std::string m_startDir; // the current directory when the window opened; Help returns to it
};
