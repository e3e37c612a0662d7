#pragma once
// InstallError: the one failure that travels through the install sequence. Its text begins with
// the class digit that picks the final message; the rest is what the user is told.
#include <cstdio>

enum : char {
    INSTALL_ABORT = '0',          // the user chose to stop; the text is exactly "0"
    INSTALL_DISK_FAULT = '1',     // the target disk could not be read, written or used
    INSTALL_PACKAGE_FAULT = '2',  // a file of the installation package could not be opened or copied
};

class InstallError {
public:
    // Texts are short sentences; a longer one is cut rather than copied past the record.
    enum { TEXT_SIZE = 256 };

    explicit InstallError(const char* errorText) { std::snprintf(text, sizeof text, "%s", errorText); }

    // The text of `format` with its one "%s" filled in, e.g. "2Could not copy %s".
    static InstallError Format(const char* format, const char* argument)
    {
        InstallError error("");
        std::snprintf(error.text, sizeof error.text, format, argument);
        return error;
    }

    const char* Text() const { return text; }
    char Class() const { return text[0]; }
    // The text without its class digit.
    const char* Message() const { return text[0] ? text + 1 : text; }

private:
    char text[TEXT_SIZE];
};
