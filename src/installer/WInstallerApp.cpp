#include "installer/WInstallerApp.h"

#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <new>

#include "dialogs/WMessageDialog.h"
#include "diskio/WFile.h"
#include "framework/FrameworkState.h"
#include "installer/InstallError.h"
#include "installer/InstallSteps.h"
#include "installer/WProgressWindow.h"
#include "installer/rules/DriveList.h"
#include "installer/rules/InstallTexts.h"

namespace {

int Ask(const char* text, const char* caption, const char* icon, const char* buttons,
        const char* markup = nullptr, int32_t* state = nullptr, char* value = nullptr)
{
    return WMessageDialog::Show(nullptr, text, caption, icon, buttons, markup, state, value, 0);
}

void OpenDocument(const char* name)
{
    ShellExecuteA(nullptr, "open", name, "", "", SW_SHOWNORMAL);
}

// Step 4: the whole licence text with a terminating zero.
std::unique_ptr<char[]> ReadLicence(WFile& licence)
{
    licence.Open(">readme.txt", WF_READ);
    if (!licence.IsOpen())
        throw InstallError("2Could not open readme.txt");
    const uint32_t n = static_cast<uint32_t>(licence.GetSize());
    // A licence too large to hold is refused like a missing one, not cut or wrapped round.
    std::unique_ptr<char[]> text(n < 0xFFFFFFFFu ? new (std::nothrow) char[static_cast<size_t>(n) + 1] : nullptr);
    const uint32_t got = text ? licence.Read(text.get(), n) : 0;
    licence.Close();
    // A licence that cannot be read whole is not shown in part as if it were all of it.
    if (!text || got != n)
        throw InstallError("2Could not open readme.txt");
    text[n] = '\0';
    return text;
}

// Steps 6 and 7: the removable drives, and the one the user picks. Returns the drive letter.
char ChooseDrive()
{
    unsigned types[26];
    for (int n = 0; n < 26; ++n) {
        char name[3] = {static_cast<char>('A' + n), ':', '\0'};
        types[n] = GetDriveTypeA(name);
    }
    DriveList list = BuildDriveList(types);
    if (list.count == 0) {
        // An empty drop-down would ask a question with no answer.
        throw InstallError(kNoRemovableDriveError);
    }
    int32_t state = 0;
    const int choice = Ask(kDriveText, kInstallerCaption, IDI_ASTERISK, kContinueAbort, kDriveMarkup,
                           &state, list.text);
    const int drive = ChosenDrive(list, state);
    if (choice == 1 || choice < 0 || drive < 0)
        throw InstallError("0");
    return static_cast<char>('A' + drive);
}

// Step 9: the disk must take a new file; the probe is removed again at once.
void ProbeDisk(char drive, WFile& file)
{
    char path[256];
    snprintf(path, sizeof path, "%c:\\$ZEBCRO$.ZEB", drive);
    for (;;) {
        file.Open(path, WF_READ | WF_WRITE);
        if (file.IsOpen())
            break;
        if (Ask(kNoDiskText, kInstallerCaption, IDI_EXCLAMATION, kRetryCancel) != 0)
            throw InstallError("0");
    }
    file.Close();
    DeleteFileA(path);
}

// Steps 10 and 11: true when FreeDOS is to be installed.
bool ChooseFreeDos(char drive, WProgressWindow& progress)
{
    char path[256];
    snprintf(path, sizeof path, "%c:\\command.com", drive);
    const bool bootable = FileExists(path);
    progress.Hide();
    if (!bootable)
        return true;
    const int choice = Ask(kBootableText, kInstallerCaption, IDI_QUESTION, kBootableButtons);
    if (choice == 2 || choice < 0)
        throw InstallError("0");
    return choice == 0;
}

// Step 12: the FreeDOS licence, opened as often as the user asks.
void AcceptFreeDosLicence()
{
    for (;;) {
        const int choice = Ask(kFreeDosText, kInstallerCaption, IDI_EXCLAMATION, kFreeDosButtons);
        if (choice == 1 || choice < 0)
            throw InstallError("0");
        if (choice != 2)
            return;
        OpenDocument("copying.txt");
    }
}

void ShowFailure(const InstallError& error)
{
    switch (error.Class()) {
    case INSTALL_ABORT:
        Ask(kAbortedText, kAbortedCaption, IDI_HAND, nullptr);
        break;
    case INSTALL_DISK_FAULT:
        Ask(error.Message(), kAbortedCaption, IDI_HAND, kOkButton, kDiskFaultMarkup);
        break;
    case INSTALL_PACKAGE_FAULT:
        Ask(error.Message(), kAbortedCaption, IDI_HAND, kOkButton, kPackageFaultMarkup);
        break;
    default:
        break;
    }
}

}  // namespace

int WInstallerApp::Run(HINSTANCE, HINSTANCE, LPSTR, int)
{
    OpenDocument("kestrand.htm");
    WProgressWindow progress;
    progress.CreateHidden();
    SetErrorMode(SEM_FAILCRITICALERRORS);
    try {
        WFile licence;
        {
            std::unique_ptr<char[]> text = ReadLicence(licence);
            // Only Continue, which the acceptance box enables, goes on; a dialog ended without
            // a choice is no acceptance.
            if (Ask(kWelcomeText, kInstallerCaption, IDI_ASTERISK, kContinueAbort, kWelcomeMarkup,
                    nullptr, text.get()) != 0)
                throw InstallError("0");
        }
        const char drive = ChooseDrive();

        WFile file;
        progress.SetStep("Checking disk access");
        progress.Show();
        PumpMessages();
        ProbeDisk(drive, file);

        if (ChooseFreeDos(drive, progress)) {
            AcceptFreeDosLicence();
            InstallFreeDos(&progress, drive, &file);
        }
        UpdateStartupFiles(&progress, drive, &file);
        for (const PackageCopy& copy : kPackageCopies)
            CopyPackageFile(&progress, drive, copy.source, copy.target);
    } catch (const InstallError& error) {
        ShowFailure(error);
        progress.Destroy();
        return 0;
    }
    progress.SetStep("Done.");
    Ask(kCompletedText, kCompletedCaption, IDI_ASTERISK, nullptr);
    // The installation is complete whatever became of the progress window: the user may have
    // closed it, or it was never created.
    progress.Destroy();
    return 1;
}
