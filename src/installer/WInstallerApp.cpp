#include "installer/WInstallerApp.h"

#include <memory>
#include <new>
#include <string>

#include "dialogs/WMessageDialog.h"
#include "diskio/WFile.h"
#include "framework/FrameworkState.h"
#include "installer/Documents.h"
#include "installer/InstallError.h"
#include "installer/InstallSteps.h"
#include "installer/StartableDisk.h"
#include "installer/WProgressWindow.h"
#include "installer/rules/DriveList.h"
#include "installer/rules/InstallTexts.h"
#include "installer/rules/LicenceText.h"

namespace {

int Ask(const char* text, const char* caption, const char* icon, const char* buttons,
        const char* markup = nullptr, int32_t* state = nullptr, char* value = nullptr)
{
    return WMessageDialog::Show(nullptr, text, caption, icon, buttons, markup, state, value, 0);
}

// UTF-16 in the system's ANSI code page, '?' for each letter it lacks.
std::string AnsiText(const std::u16string& wide)
{
    std::string ansi;
    if (wide.empty() || wide.size() > 0x7FFFFFFFu)
        return ansi;
    const LPCWSTR text = reinterpret_cast<LPCWSTR>(wide.data());
    const int length = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, "?", nullptr);
    if (n <= 0)
        return ansi;
    ansi.assign(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, &ansi[0], n, "?", nullptr);
    return ansi;
}

// The licence text from the program's folder as the edit control shows it: decoded from the
// package maker's encoding, with CR LF line ends and nothing hidden behind a NUL.
std::string ReadLicence(WFile& licence)
{
    licence.Open(">readme.txt", WF_READ);
    if (!licence.IsOpen())
        throw InstallError::PackageFolder(kReadmeMissingError, ProgramFolderText().c_str());
    const uint32_t n = static_cast<uint32_t>(licence.GetSize());
    // A licence too large to hold is refused like a missing one, not cut or wrapped round.
    std::unique_ptr<char[]> bytes(n < 0xFFFFFFFFu ? new (std::nothrow) char[static_cast<size_t>(n) + 1] : nullptr);
    const uint32_t got = bytes ? licence.Read(bytes.get(), n) : 0;
    licence.Close();
    // A licence that cannot be read whole is not shown in part as if it were all of it.
    if (!bytes || got != n)
        throw InstallError::PackageFolder(kReadmeMissingError, ProgramFolderText().c_str());
    std::string shown;
    try {
        LicenceSource source = DecodeLicence(bytes.get(), n);
        bytes.reset();
        if (source.encoding == LICENCE_UNICODE)
            source.ansi = AnsiText(source.wide);
        shown = EditControlText(source.ansi);
    } catch (const std::bad_alloc&) {
        throw InstallError::PackageFolder(kReadmeMissingError, ProgramFolderText().c_str());
    }
    // Nothing to read is nothing to accept.
    if (IsBlankLicence(shown))
        throw InstallError::PackageFolder(kReadmeEmptyError, ProgramFolderText().c_str());
    return shown;
}

// The entries of the drive question, what each drive holds after its letter; returns the index
// of the first drive with a FAT12/16 volume (0 when there is none). An empty drive answers with a
// failure, not a system error box: the error mode is set before the question.
int DescribeDrives(const DriveList& list, char* items, size_t size)
{
    int first = -1;
    size_t used = 0;
    items[0] = '\0';
    for (int i = 0; i < list.count; ++i) {
        const char letter = static_cast<char>('A' + list.drives[i]);
        const DrivePath root = MakeDrivePath(letter, "");
        char label[64] = "", fileSystem[64] = "";
        DriveContents contents{false, label, 0, fileSystem, 0};
        contents.hasDisk = GetVolumeInformationA(root.text, label, sizeof label, nullptr, nullptr, nullptr,
                                                 fileSystem, sizeof fileSystem) != 0;
        DWORD perCluster = 0, perSector = 0, freeClusters = 0, clusters = 0;
        if (contents.hasDisk && GetDiskFreeSpaceA(root.text, &perCluster, &perSector, &freeClusters, &clusters)) {
            contents.clusters = clusters;
            contents.bytes = static_cast<uint64_t>(clusters) * perCluster * perSector;
        }
        ULARGE_INTEGER available, total, free;
        if (contents.hasDisk && GetDiskFreeSpaceExA(root.text, &available, &total, &free))
            contents.bytes = total.QuadPart;  // beyond the 2 GB the older call can tell
        if (first < 0 && HoldsFat16Volume(contents))
            first = i;
        char item[80];
        DescribeDrive(letter, contents, item, sizeof item);
        used += static_cast<size_t>(snprintf(items + used, size - used, "%s%s", i ? "|" : "", item));
        if (used >= size)
            break;  // 26 entries of at most 79 characters always fit
    }
    return first < 0 ? 0 : first;
}

// Offers the removable drives and returns the letter of the one the user picks.
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
        throw InstallError::DiskFault(kNoRemovableDriveError);
    }
    char items[26 * 80];
    const int first = DescribeDrives(list, items, sizeof items);
    int32_t state = first << 16;
    const int choice = Ask(kDriveText, kInstallerCaption, IDI_ASTERISK, kContinueAbort, kDriveMarkup,
                           &state, items);
    const int drive = ChosenDrive(list, state);
    if (choice != ANSWER_CONTINUE || drive < 0)
        throw InstallError::Abort();
    return static_cast<char>('A' + drive);
}

// The disk must take a new file, asked for again until it does; the probe is removed at once.
void ProbeDisk(char drive, WFile& file)
{
    const DrivePath probe = MakeDrivePath(drive, "$ZEBCRO$.ZEB");
    for (;;) {
        file.Open(probe.text, WF_READ | WF_WRITE);
        if (file.IsOpen())
            break;
        if (Ask(kNoDiskText, kInstallerCaption, IDI_EXCLAMATION, kRetryCancel) != ANSWER_RETRY)
            throw InstallError::Abort();
    }
    file.Close();
    DeleteFileA(probe.text);
}

// True when FreeDOS is to be installed: always on a disk without a system, else as the user says.
bool ChooseFreeDos(char drive, WProgressWindow& progress)
{
    const bool bootable = FileExists(MakeDrivePath(drive, "command.com").text);
    progress.Hide();
    if (!bootable)
        return true;
    const int choice = Ask(kBootableText, kInstallerCaption, IDI_QUESTION, kBootableButtons);
    if (choice == ANSWER_ABORT_INSTALL || choice == ANSWER_NONE)
        throw InstallError::Abort();
    return choice == ANSWER_INSTALL_FREEDOS;
}

// The FreeDOS notice, with its licence opened as often as the user asks.
void AcceptFreeDosLicence()
{
    for (;;) {
        const int choice = Ask(kFreeDosText, kInstallerCaption, IDI_EXCLAMATION, kFreeDosButtons);
        if (choice == ANSWER_FREEDOS_ABORT || choice == ANSWER_NONE)
            throw InstallError::Abort();
        if (choice != ANSWER_SHOW_GPL_LICENSE)
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
    case INSTALL_PACKAGE_FOLDER:
        Ask(error.Message(), kAbortedCaption, IDI_HAND, kOkButton, kPackageFolderMarkup);
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
            std::string text = ReadLicence(licence);
            // Only Continue, which the acceptance box enables, goes on; a dialog ended without
            // a choice is no acceptance.
            if (Ask(kWelcomeText, kInstallerCaption, IDI_ASTERISK, kContinueAbort, kWelcomeMarkup,
                    nullptr, &text[0]) != ANSWER_CONTINUE)
                throw InstallError::Abort();
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
        } else {
            // The old system starts only if the stick starts its partition.
            MakeStickStartable(&progress, drive);
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
