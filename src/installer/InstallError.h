#pragma once
// InstallError: the one failure that travels through the install sequence. Its text begins with
// the class digit that picks the final message; the rest is what the user is told.
#include <cstdio>
#include <string>

enum : char {
    INSTALL_ABORT = '0',          // the user chose to stop; the text is exactly "0"
    INSTALL_DISK_FAULT = '1',     // the target disk could not be read, written or used
    INSTALL_PACKAGE_FAULT = '2',  // a file of the installation package could not be opened or copied
};

class InstallError {
public:
    explicit InstallError(const char* errorText) : text(errorText) {}

    // The text of `format` with its one "%s" filled in, e.g. "2Could not copy %s".
    static InstallError Format(const char* format, const char* argument)
    {
        const int n = std::snprintf(nullptr, 0, format, argument);
        std::string s(n > 0 ? static_cast<size_t>(n) : 0, '\0');
        if (n > 0)
            std::snprintf(&s[0], s.size() + 1, format, argument);
        return InstallError(s.c_str());
    }

    const char* Text() const { return text.c_str(); }
    char Class() const { return text.empty() ? '\0' : text[0]; }
    // The text without its class digit.
    const char* Message() const { return text.empty() ? "" : text.c_str() + 1; }

private:
    std::string text;
};
