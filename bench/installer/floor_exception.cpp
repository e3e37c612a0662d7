#include <windows.h>
struct Failure { const char* text; };
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    try {
        if (commandLine && commandLine[0] == '!')
            throw Failure{"floor"};
    } catch (const Failure& error) {
        MessageBoxA(nullptr, error.text, "floor", MB_OK);
        return 1;
    }
    return 0;
}
