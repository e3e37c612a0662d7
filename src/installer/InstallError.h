#pragma once
// InstallError: the one failure that travels through the install sequence. Its text begins with
// the class digit that picks the final message; the rest is what the user is told. Made only by
// the three factories, so the digit always matches the kind of failure.
#include <cstdio>

enum : char {
    INSTALL_ABORT = '0',          // the user chose to stop; the text is exactly "0"
    INSTALL_DISK_FAULT = '1',     // the target disk could not be read, written or used
    INSTALL_PACKAGE_FAULT = '2',  // a file of the installation package could not be opened or copied
    INSTALL_PACKAGE_FOLDER = '3', // before any disk was chosen: the program's folder holds no usable
                                  // package; the text says what to do, so no disk advice goes with it
};

class InstallError {
public:
    // Texts are short sentences, some naming a folder (up to MAX_PATH characters, twice as many
    // bytes in a double-byte code page); a longer one is cut rather than copied past the record.
    enum { TEXT_SIZE = 1024 };

    static InstallError Abort() { return InstallError(INSTALL_ABORT, "", ""); }
    // The message as the user reads it: `format` with its "%s", if any, filled in, e.g.
    // ("Could not write the bootsector") or ("Could not copy %s", "0300.dat").
    static InstallError DiskFault(const char* format, const char* argument = "")
    {
        return InstallError(INSTALL_DISK_FAULT, format, argument);
    }
    static InstallError PackageFault(const char* format, const char* argument = "")
    {
        return InstallError(INSTALL_PACKAGE_FAULT, format, argument);
    }
    static InstallError PackageFolder(const char* format, const char* argument = "")
    {
        return InstallError(INSTALL_PACKAGE_FOLDER, format, argument);
    }

    const char* Text() const { return text; }
    char Class() const { return text[0]; }
    // The text without its class digit.
    const char* Message() const { return text[0] ? text + 1 : text; }

private:
    InstallError(char kind, const char* format, const char* argument)
    {
        text[0] = kind;
        // Formats are the installer's own constants, never user input.
        std::snprintf(text + 1, sizeof text - 1, format, argument);
    }

    char text[TEXT_SIZE];
};
