// fakeinst: a stand-in for the installer that the robot's tests run. It asks the same kinds of
// questions through the real dialog and writes the answers it got to a report file:
//   fakeinst <report file> [<number of "no disk" questions>]
// Exit code 1 after "Installation complete", 0 after an abort, like the installer.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "dialogs/WMessageDialog.h"

namespace {

const char kCaption[] = "Installer   fake.example";

int Ask(const char* text, const char* caption, LPCSTR icon, const char* buttons,
        const char* markup = nullptr, int32_t* state = nullptr, char* value = nullptr)
{
    return WMessageDialog::Show(nullptr, text, caption, icon, buttons, markup, state, value, 0);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("usage: fakeinst <report file> [<number of no-disk questions>]\n", stderr);
        return 2;
    }
    int noDiskQuestions = argc > 2 ? std::atoi(argv[2]) : 0;
    std::string report;
    bool completed = false;

    char licence[] = "FAKE LICENCE\r\nline two\r\nline three";
    int answer = Ask("Welcome at the fake installer.\nIt asks what the real one asks.", kCaption,
                     IDI_ASTERISK, "+&Continue|-&Abort",
                     "<E10><C15>I have read and fully agree to this license agreement<F2>",
                     nullptr, licence);
    report += "welcome=" + std::to_string(answer);
    do {
        if (answer == 1)
            break;
        int32_t state = 0;
        char drives[] = "A:|B:";
        answer = Ask("Choose a drive.", kCaption, IDI_ASTERISK, "+&Continue|-&Abort",
                     "<S>Please select the drive\n(second line)<D>", &state, drives);
        report += " drive=" + std::to_string(answer) + ":" + std::to_string(state >> 16);
        if (answer == 1)
            break;
        for (int i = 0; i < noDiskQuestions && answer == 0; ++i) {
            answer = Ask("There is no disk or the disk is read-only.", kCaption, IDI_EXCLAMATION,
                         "+&Retry|-&Cancel");
            report += " nodisk=" + std::to_string(answer);
        }
        if (answer != 0)
            break;
        answer = Ask("The disk appears to be bootable.", kCaption, IDI_QUESTION,
                     "+&Install FreeDos|&Modify current OS|-&Abort install");
        report += " bootable=" + std::to_string(answer);
        if (answer == 2)
            break;
        if (answer == 0) {
            do {
                answer = Ask("The FreeDos kernel will now be installed.", kCaption,
                             IDI_EXCLAMATION, "+&Continue|-&Abort installation|&Show GPL license");
                report += " notice=" + std::to_string(answer);
            } while (answer == 2);
            if (answer != 0)
                break;
        }
        answer = Ask("Installation completed.", "Installation complete", IDI_ASTERISK, nullptr);
        report += " completed=" + std::to_string(answer);
        completed = true;
    } while (false);

    if (!completed) {
        answer = Ask("Installation aborted, KESTRAND was not installed", "Installation aborted",
                     IDI_HAND, nullptr);
        report += " aborted=" + std::to_string(answer);
    }
    FILE* out = std::fopen(argv[1], "w");
    if (out) {
        std::fprintf(out, "%s\n", report.c_str());
        std::fclose(out);
    }
    return completed ? 1 : 0;
}
