#include "app/MasterPasswordGate.h"

#include "app/MasterPromptDlg.h"
#include "framework/Framework.h"
#include "storage/MasterFile.h"
#include "storage/MasterPassword.h"

#include <cstdlib>

void RunMasterPasswordGate()
{
    std::optional<std::string> path = GetMasterFilePath();
    if (!path) {
        AfxMessageBox("GetSystemDirectory failed when finding master password info.");
        std::exit(0);
    }
    MasterPasswordDecision decision = DecideMasterPassword(ReadMasterFile(*path));
    if (decision.promptNeeded && !PromptForMasterPassword(decision.required))
        std::exit(0); // Giving up at the prompt ends the program before any window opens.
}
