// kesrobot: answers the installer's questions from outside, as a person would, and records
// each question it saw. See Usage() for the command line; the answer syntax is in RobotScript.h.
//
// Output, one line each, flushed at once so a shell can follow it:
//   Q<n> | <caption> | <first line of the message> | [+&Default] [-&Cancel] [&Other] | <controls>
//   T<n> | <length> bytes | <hex>   (with --text-bytes <k>) the question's edit field: the length of
//                        its text and its first <k> bytes, as the control holds them
//   VISIBLE <n>          (with --cue) the question is on the screen and waits --cue ms
//   SHOT <file>          (with --shots) the screen was saved while question <n> was visible
//   A<n> | <what was done>
//   EXIT <code>          (with --run) the installer's exit code
//   ROBOT: <problem>     the robot could not go on; its exit status is then 1
#include <windows.h>
#include <shellapi.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "RobotScript.h"
#include "RobotWindows.h"

namespace {

struct Options {
    std::vector<RobotAnswer> answers;
    bool defaults = false;
    std::string run;            // command line of the installer to start
    std::string folder;         // its current folder
    DWORD timeoutMs = 30000;
    DWORD cueMs = 0;
    bool cue = false;
    std::string shots;
    std::string log;
    int maxQuestions = 50;
    DWORD textBytes = 0;        // with --text-bytes: how much of an edit field's text to print
};

FILE* logFile = nullptr;

void Record(const char* format, ...)
{
    char line[8192];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    std::printf("%s\n", line);
    std::fflush(stdout);
    if (logFile) {
        std::fprintf(logFile, "%s\n", line);
        std::fflush(logFile);
    }
}

void Usage()
{
    std::fputs(
        "usage: kesrobot [options] [answer ...]\n"
        "Finds each installer question (window class ZEB_UB_CLASS), records it on one line\n"
        "and answers it with the next answer; one answer per question.\n"
        "options:\n"
        "  --run <command line>  start the installer, answer until it ends, print its exit code;\n"
        "                        questions after the last answer get the default answer\n"
        "  --folder <folder>     current folder for --run (default: the robot's)\n"
        "  --defaults            answer every question the default way when no answer is left\n"
        "                        (without --run: until no question comes within the timeout)\n"
        "  --timeout <seconds>   wait for each question and for the end (default 30)\n"
        "  --cue <ms>            print VISIBLE <n> when a question shows and wait <ms>\n"
        "  --shots <folder>      save the screen as <folder>\\question-<n>.bmp for each question\n"
        "  --log <file>          append every line to <file> too\n"
        "  --max <n>             give up after <n> questions (default 50)\n"
        "  --text-bytes <k>      print the length and the first <k> bytes (hex) of each edit field\n"
        "answer: actions separated by ',', e.g. accept,Continue  select=1,Continue  escape\n"
        "  accept | check=N | uncheck=N | select=N | text=T | click=T | <button label> |\n"
        "  button=N | enter | escape | focus=ID | close | closewindow=T | wait=MS | default | look |\n"
        "  key=K (real key input: tab, shift+tab, space, down, enter, alt+c, c, ...)\n"
        "  ('&' and case do not matter in labels; write '_' for a blank: Install_FreeDos)\n",
        stderr);
}

bool ReadCount(const char* text, DWORD* value)
{
    char* end = nullptr;
    unsigned long number = std::strtoul(text, &end, 10);
    if (!*text || *end || number > 100000000ul)
        return false;
    *value = static_cast<DWORD>(number);
    return true;
}

bool ParseOptions(int argc, char** argv, Options* options)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        DWORD number = 0;
        if (arg == "--defaults") {
            options->defaults = true;
        } else if (arg == "--run" && hasValue) {
            options->run = argv[++i];
        } else if (arg == "--folder" && hasValue) {
            options->folder = argv[++i];
        } else if (arg == "--timeout" && hasValue && ReadCount(argv[i + 1], &number) && number) {
            options->timeoutMs = number * 1000;
            ++i;
        } else if (arg == "--cue" && hasValue && ReadCount(argv[i + 1], &number)) {
            options->cue = true;
            options->cueMs = number;
            ++i;
        } else if (arg == "--shots" && hasValue) {
            options->shots = argv[++i];
        } else if (arg == "--log" && hasValue) {
            options->log = argv[++i];
        } else if (arg == "--text-bytes" && hasValue && ReadCount(argv[i + 1], &number)) {
            options->textBytes = number;
            ++i;
        } else if (arg == "--max" && hasValue && ReadCount(argv[i + 1], &number) && number) {
            options->maxQuestions = static_cast<int>(number);
            ++i;
        } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
            std::fprintf(stderr, "kesrobot: unknown or incomplete option %s\n", arg.c_str());
            return false;
        } else {
            RobotAnswer answer;
            std::string error;
            if (!ParseRobotAnswer(arg, &answer, &error)) {
                std::fprintf(stderr, "kesrobot: %s\n", error.c_str());
                return false;
            }
            options->answers.push_back(answer);
        }
    }
    if (options->answers.empty() && !options->defaults && options->run.empty()) {
        std::fputs("kesrobot: nothing to do: give answers, --defaults or --run\n", stderr);
        return false;
    }
    return true;
}

// The bytes an edit field holds, which its first line cannot show: line ends, a cut-off text.
void RecordEditBytes(int number, const RobotQuestion& question, DWORD count)
{
    for (const RobotControl& control : question.controls) {
        if (lstrcmpiA(control.className.c_str(), "Edit") != 0)
            continue;
        std::string hex;
        const char digits[] = "0123456789abcdef";
        for (size_t i = 0; i < control.text.size() && i < count; ++i) {
            const unsigned char c = static_cast<unsigned char>(control.text[i]);
            hex += digits[c >> 4];
            hex += digits[c & 15];
        }
        Record("T%d | %lu bytes | %s", number, static_cast<unsigned long>(control.text.size()), hex.c_str());
    }
}

// The installer started by --run, if any; it is never left running when the robot gives up.
struct Installer {
    PROCESS_INFORMATION info = {};
    bool started = false;

    bool Ended() const
    {
        return started && WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0;
    }
};

// The value after `option` on the robot's own command line, in UTF-16: a folder with letters
// outside the ANSI code page reaches argv only as '?'. Empty when the option is not given.
std::wstring WideOption(const wchar_t* option)
{
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring value;
    for (int i = 1; args && i + 1 < count; ++i) {
        if (lstrcmpW(args[i], option) == 0)
            value = args[++i];
    }
    LocalFree(args);
    return value;
}

bool StartInstaller(const Options& options, Installer* installer)
{
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    std::wstring run = WideOption(L"--run");
    const std::wstring folder = WideOption(L"--folder");
    std::vector<wchar_t> commandLine(run.begin(), run.end());
    commandLine.push_back(L'\0');
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &installer->info)) {
        Record("ROBOT: cannot start %s (error %lu)", options.run.c_str(), GetLastError());
        return false;
    }
    installer->started = true;
    return true;
}

enum class Wait { Question, Ended, TimedOut };

Wait WaitForQuestion(const Installer& installer, DWORD timeoutMs, HWND* dialog)
{
    DWORD process = installer.started ? installer.info.dwProcessId : 0;
    DWORD start = GetTickCount();
    HWND seen = nullptr;
    DWORD seenAt = 0;
    for (;;) {
        HWND found = FindQuestionWindow(process);
        if (found != seen) {
            seen = found;
            seenAt = GetTickCount();
        }
        // The dialog puts the focus on its first button, or on its first control when that
        // button is disabled, right after showing; one that never takes it is not waited for long.
        if (found && QuestionIsReady(found, GetTickCount() - seenAt >= 1000)) {
            *dialog = found;
            return Wait::Question;
        }
        if (installer.Ended())
            return Wait::Ended;
        if (GetTickCount() - start >= timeoutMs)
            return Wait::TimedOut;
        Sleep(50);
    }
}

bool WaitUntilGone(HWND dialog, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (IsWindow(dialog) && IsWindowVisible(dialog)) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

int RunRobot(const Options& options)
{
    Installer installer;
    if (!options.run.empty() && !StartInstaller(options, &installer))
        return 1;
    int status = 0;
    for (int number = 1;; ++number) {
        bool scripted = static_cast<size_t>(number) <= options.answers.size();
        if (!scripted && !options.defaults && !installer.started)
            break;
        HWND dialog = nullptr;
        Wait wait = WaitForQuestion(installer, options.timeoutMs, &dialog);
        if (wait == Wait::Ended) {
            if (scripted) {
                Record("ROBOT: the installer ended before question %d; %d answer(s) unused",
                       number, static_cast<int>(options.answers.size()) - number + 1);
                status = 1;
            }
            break;
        }
        if (wait == Wait::TimedOut) {
            // Without an installer of its own, the robot in --defaults mode simply runs out of
            // questions.
            if (scripted || installer.started) {
                Record("ROBOT: no question %d within %lu s", number, options.timeoutMs / 1000);
                status = 1;
            }
            break;
        }
        if (number > options.maxQuestions) {
            Record("ROBOT: more than %d questions, giving up", options.maxQuestions);
            status = 1;
            break;
        }
        RobotQuestion question = ObserveQuestion(dialog);
        Record("%s", DescribeQuestion(number, question).c_str());
        if (options.textBytes)
            RecordEditBytes(number, question, options.textBytes);
        if (options.cue) {
            Record("VISIBLE %d", number);
            Sleep(options.cueMs);
        }
        if (!options.shots.empty()) {
            char name[32];
            std::snprintf(name, sizeof name, "\\question-%02d.bmp", number);
            std::string path = options.shots + name;
            std::string error;
            Sleep(300);     // let the dialog finish painting first
            if (SaveScreenBitmap(path, &error))
                Record("SHOT %s", path.c_str());
            else
                Record("ROBOT: no screenshot of question %d: %s", number, error.c_str());
        }
        const RobotAnswer answer = scripted ? options.answers[number - 1] : DefaultAnswer(question);
        std::string done, error;
        bool applied = ApplyAnswer(question, answer, &done, &error);
        Record("A%d | %s", number, done.c_str());
        if (!applied) {
            Record("ROBOT: question %d, answer '%s': %s", number, answer.source.c_str(),
                   error.c_str());
            status = 1;
            break;
        }
        if (!WaitUntilGone(dialog, options.timeoutMs)) {
            Record("ROBOT: question %d is still open after the answer '%s'", number,
                   answer.source.c_str());
            status = 1;
            break;
        }
    }
    if (installer.started) {
        if (status == 0 &&
            WaitForSingleObject(installer.info.hProcess, options.timeoutMs) != WAIT_OBJECT_0) {
            Record("ROBOT: the installer did not end within %lu s", options.timeoutMs / 1000);
            status = 1;
        }
        if (!installer.Ended()) {
            TerminateProcess(installer.info.hProcess, 255);
            WaitForSingleObject(installer.info.hProcess, 5000);
            Record("ROBOT: ended the installer");
        }
        DWORD code = 0;
        GetExitCodeProcess(installer.info.hProcess, &code);
        Record("EXIT %lu", code);
        CloseHandle(installer.info.hThread);
        CloseHandle(installer.info.hProcess);
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (argc < 2 || !ParseOptions(argc, argv, &options)) {
        Usage();
        return 2;
    }
    if (!options.log.empty()) {
        logFile = std::fopen(options.log.c_str(), "a");
        if (!logFile) {
            std::fprintf(stderr, "kesrobot: cannot open %s\n", options.log.c_str());
            return 2;
        }
    }
    int status = RunRobot(options);
    if (logFile)
        std::fclose(logFile);
    return status;
}
