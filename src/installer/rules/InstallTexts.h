#pragma once
// Every text the install sequence shows, and the package files it copies in their order.

// "Installer", three blanks and the publisher's web address: the caption of every question.
inline constexpr char kInstallerCaption[] = "Installer   www.kestrand.example";

// The buttons of each question, and its answers: the position of the button chosen, or
// ANSWER_NONE for a dialog that ended without a choice.
enum { ANSWER_NONE = -1 };
inline constexpr char kContinueAbort[] = "+&Continue|-&Abort";
enum ContinueAbortAnswer { ANSWER_CONTINUE = 0, ANSWER_ABORT = 1 };
inline constexpr char kRetryCancel[] = "+&Retry|-&Cancel";
enum RetryCancelAnswer { ANSWER_RETRY = 0, ANSWER_CANCEL = 1 };
inline constexpr char kBootableButtons[] = "+&Install FreeDos|&Modify current OS|-&Abort install";
enum BootableAnswer { ANSWER_INSTALL_FREEDOS = 0, ANSWER_MODIFY_CURRENT_OS = 1, ANSWER_ABORT_INSTALL = 2 };
inline constexpr char kFreeDosButtons[] = "+&Continue|-&Abort installation|&Show GPL license";
enum FreeDosAnswer { ANSWER_FREEDOS_CONTINUE = 0, ANSWER_FREEDOS_ABORT = 1, ANSWER_SHOW_GPL_LICENSE = 2 };
inline constexpr char kOkButton[] = "+&Ok";

inline constexpr char kWelcomeText[] =
    "Welcome at the KESTRAND installer. KESTRAND is an ATA/IDE diagnostic package.\n"
    "See the accompanying documentation or visit our website for more information.\n\n"
    "This installer prepares a (removable) disk for use with KESTRAND.";
inline constexpr char kWelcomeMarkup[] = "<E10><C15>I have read and fully agree to this license agreement<F2>";

inline constexpr char kDriveText[] =
    "KESTRAND requires at bootable formatted disk. Optionally this installer can make a\n"
    "FAT12/16 formatted disk bootable using the FreeDos kernel.";
inline constexpr char kDriveMarkup[] =
    "<S>Please select the drive which to install KESTRAND to\n(First backup any important files on the disk)<D>";

inline constexpr char kNoDiskText[] =
    "There is no disk or the disk is read-only. Please make sure that the disk is writable";

inline constexpr char kBootableText[] =
    "The disk appears to be bootable. The installed OS can be used but both config.sys and autoexec.bat "
    "will be modified.\nAlternatively you can choose to install FreeDos.";

inline constexpr char kFreeDosText[] =
    "Since the disk is not bootable (or on your explicit request) the FreeDos kernel will now be installed.\n"
    "FreeDos is fully independend from KESTRAND and comes with it's own license (GPL). Make sure you have read\n"
    "and agree to this license before continuing.\n";

inline constexpr char kCompletedText[] =
    "Installation completed, restart the computer to start KESTRAND.\n\n"
    "If KESTRAND does not start make sure you check the boot sequence.\n"
    "More information about the boot sequence can be found in the BIOS/SYSTEM manual\n"
    "or KESTRAND documentation.";
inline constexpr char kCompletedCaption[] = "Installation complete";

inline constexpr char kAbortedText[] = "Installation aborted, KESTRAND was not installed";
inline constexpr char kAbortedCaption[] = "Installation aborted";
inline constexpr char kDiskFaultMarkup[] =
    "<S>Due to the reason mentioned above, the installation failed.\n\nMake sure that the disk is:\n"
    "- Properly formatted\n- Free of bad sectors\n- Not read-only\n\n KESTRAND was not installed.\n<=>";
inline constexpr char kPackageFaultMarkup[] =
    "<S>A file could not be copied or created. Make sure there is enough space on the disk and that the "
    "installation package is complete!\n\n KESTRAND was not installed.\n<=>";

// The licence of the package, readme.txt beside the program, missing or unusable: the program was
// started outside its package (a zip opened in Explorer runs it from a temporary folder), or the
// package is incomplete. Filled with the folder that was looked in; no disk was chosen yet, so the
// mark-up gives no disk advice.
inline constexpr char kReadmeMissingError[] =
    "Could not open readme.txt in %s\n\n"
    "Extract the whole package into one folder and start the installer from there.";
inline constexpr char kReadmeEmptyError[] =
    "The licence readme.txt in %s is empty.\n\n"
    "The package is incomplete: ask its maker for a package with its licence.";
inline constexpr char kPackageFolderMarkup[] = "<S>KESTRAND was not installed.\n<=>";

// No removable drive at all: a disk fault, shown with the disk-fault advice.
inline constexpr char kNoRemovableDriveError[] =
    "No removable drive was found. Connect a floppy drive or a USB stick and start the installer again.";

struct PackageCopy {
    const char* source;
    const char* target;
};
inline constexpr PackageCopy kPackageCopies[] = {
    {"kestrand._xe", "kestrand.exe"}, {"0000.dat", "0000.dat"}, {"0100.dat", "0100.dat"},
    {"0200.dat", "0200.dat"},         {"0201.dat", "0201.dat"}, {"0202.dat", "0202.dat"},
    {"0203.dat", "0203.dat"},         {"0300.dat", "0300.dat"}, {"0301.dat", "0301.dat"},
    {"0400.dat", "0400.dat"},
};

// A partitioned stick whose master boot record does not start the chosen volume. The first %c is
// the drive letter, %s the reason, as one of the kMbr... reasons below.
inline constexpr char kStartableText[] =
    "The stick in drive %c: will not start a PC yet: %s.\n"
    "The installer can make it startable: it marks the stick's partition as the one to start and, "
    "where the master boot record holds no start-up code, writes its own. The partition table and the "
    "files on the stick stay as they are.";
inline constexpr char kStartableButtons[] = "+&Make the stick startable|-&Leave it";
enum StartableAnswer { ANSWER_MAKE_STARTABLE = 0, ANSWER_LEAVE_IT = 1 };
inline constexpr char kMbrNotActive[] = "its partition is not marked active";
inline constexpr char kMbrNoCode[] = "its master boot record holds no start-up code";
inline constexpr char kMbrNotActiveNoCode[] =
    "its partition is not marked active and its master boot record holds no start-up code";

// A stick whose master boot record the installer does not understand: nothing is written to it.
inline constexpr char kMbrLeftAloneText[] =
    "The master boot record of the stick in drive %c: was left as it is: %s.\n"
    "KESTRAND can still be installed, but a PC may not start from this stick.";
inline constexpr char kMbrNoDisk[] = "the disk that holds the drive could not be found or read";
inline constexpr char kMbrFixedDisk[] = "the disk is a fixed disk";
inline constexpr char kMbrNotAnMbr[] = "its first sector is not a partition table the installer can read";
inline constexpr char kMbrGpt[] = "the stick is partitioned with GPT";
inline constexpr char kMbrNoEntry[] = "no partition entry starts where the drive starts";
inline constexpr char kMbrPastDisk[] = "a partition entry reaches past the end of the stick, or its size is unknown";
inline constexpr char kMbrOverlap[] = "partition entries overlap";

inline constexpr char kMbrWriteFailed[] = "Could not write the master boot record of the stick";
inline constexpr char kMbrReadBackFailed[] =
    "The master boot record of the stick did not read back as it was written";
