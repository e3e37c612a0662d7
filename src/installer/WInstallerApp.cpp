#include "installer/WInstallerApp.h"

int WInstallerApp::Run(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // The install sequence is not in yet: nothing is installed, so the run reports no completion.
    return 0;
}
