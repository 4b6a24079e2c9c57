// The program's entry: hands control to the one application object.
#include "framework/Framework.h"
#include "win/SystemLibrary.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    LoadDllsFromSystemFolderOnly();
    CWinApp* app = AfxGetApp();
    return app ? app->Run(instance) : 1;
}
