#pragma once
// WInstallerApp: the application object of the installer; Run is the install sequence.
#include "framework/WApp.h"

class WInstallerApp : public WApp {
public:
    // The exit code: nonzero after a completed installation, 0 otherwise.
    int Run(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) override;
};
