// Starts a GUI program, watches its questions (visible top-level windows of one class) and its
// memory, and prints figures when it has ended. The questions are answered by someone else (the
// dialog robot), or with --close by this program itself (the close box) after --hold ms.
//
//   installer_launch [--class NAME] [--close] [--hold MS] <program> [arguments]
//
// Output, times in ms from just before CreateProcess:
//   Q <n> <shown> <gone> <caption>    each question (gone: its window destroyed)
//   START <ms>       the first question visible
//   LASTWORK <ms>    from the end of the last-but-one question to the last question visible
//   PEAK <bytes>     peak working set of the program (sampled every 10 ms while it runs, since
//                    Wine forgets a process's counters once it has ended)
//   EXIT <code>
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

double Now()
{
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Search {
    DWORD process;
    const char* className;
    HWND found;
};

BOOL CALLBACK FindProc(HWND window, LPARAM lParam)
{
    Search* search = reinterpret_cast<Search*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[64] = "";
    if (process == search->process && IsWindowVisible(window) &&
        GetClassNameA(window, name, sizeof name) && std::strcmp(name, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct Question {
    HWND window;
    double shown;
    double gone;
    std::string caption;
};

// Quotes an argument for CreateProcess's command line when it holds a blank.
std::string Quoted(const char* argument)
{
    if (*argument && !std::strpbrk(argument, " \t"))
        return argument;
    return std::string("\"") + argument + "\"";
}

}  // namespace

int main(int argc, char** argv)
{
    const char* className = "ZEB_UB_CLASS";
    bool close = false;
    DWORD holdMs = 300;
    int i = 1;
    for (; i < argc && argv[i][0] == '-' && argv[i][1] == '-'; ++i) {
        if (!std::strcmp(argv[i], "--class") && i + 1 < argc)
            className = argv[++i];
        else if (!std::strcmp(argv[i], "--close"))
            close = true;
        else if (!std::strcmp(argv[i], "--hold") && i + 1 < argc)
            holdMs = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
        else
            break;
    }
    if (i >= argc) {
        std::fputs("usage: installer_launch [--class NAME] [--close] [--hold MS] <program> [arguments]\n", stderr);
        return 2;
    }
    std::string commandLine;
    for (int a = i; a < argc; ++a)
        commandLine += (a > i ? " " : "") + Quoted(argv[a]);
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    const double start = Now();
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        std::printf("LAUNCH: cannot start %s (error %lu)\n", commandLine.c_str(), GetLastError());
        return 1;
    }

    std::vector<Question> questions;
    SIZE_T peak = 0;
    double sampledAt = -1e9;
    while (WaitForSingleObject(info.hProcess, 2) == WAIT_TIMEOUT) {
        const double now = Now();
        if (now - sampledAt >= 10) {
            PROCESS_MEMORY_COUNTERS counters;
            if (GetProcessMemoryInfo(info.hProcess, &counters, sizeof counters) && counters.PeakWorkingSetSize > peak)
                peak = counters.PeakWorkingSetSize;
            sampledAt = now;
        }
        Search search = {info.dwProcessId, className, nullptr};
        EnumWindows(FindProc, reinterpret_cast<LPARAM>(&search));
        Question* last = questions.empty() ? nullptr : &questions.back();
        // A question ends when its window is destroyed; visibility alone flickers under Wine while
        // a dialog is being laid out.
        if (last && last->gone < 0 && (!IsWindow(last->window) || (search.found && search.found != last->window)))
            last->gone = now;
        if (search.found && (!last || search.found != last->window)) {
            char caption[256] = "";
            GetWindowTextA(search.found, caption, sizeof caption);
            questions.push_back({search.found, now, -1, caption});
            if (close) {
                Sleep(holdMs);
                PostMessageA(search.found, WM_CLOSE, 0, 0);
            }
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);

    int n = 0;
    for (const Question& q : questions)
        std::printf("Q %d %.1f %.1f %s\n", ++n, q.shown - start, q.gone - start, q.caption.c_str());
    if (!questions.empty())
        std::printf("START %.1f\n", questions.front().shown - start);
    if (questions.size() >= 2)
        std::printf("LASTWORK %.1f\n", questions.back().shown - questions[questions.size() - 2].gone);
    std::printf("PEAK %lu\n", static_cast<unsigned long>(peak));
    std::printf("EXIT %lu\n", code);
    return questions.empty() ? 1 : 0;
}
