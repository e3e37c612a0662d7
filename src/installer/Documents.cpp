#include "installer/Documents.h"

#include <windows.h>
#include <exdisp.h>
#include <servprov.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <string>

namespace {

// One COM interface held for a scope.
template <class T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef()
    {
        if (p != nullptr)
            p->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    T* operator->() const { return p; }
    T** Out() { return &p; }
    void** OutVoid() { return reinterpret_cast<void**>(&p); }
    bool Held() const { return p != nullptr; }

private:
    T* p = nullptr;
};

// A string argument of IShellDispatch2::ShellExecute: a VARIANT holding its own BSTR.
class StringArgument {
public:
    explicit StringArgument(const wchar_t* text)
    {
        VariantInit(&value);
        value.vt = VT_BSTR;
        value.bstrVal = SysAllocString(text);
    }
    ~StringArgument() { VariantClear(&value); }
    StringArgument(const StringArgument&) = delete;
    StringArgument& operator=(const StringArgument&) = delete;

    bool Held() const { return value.bstrVal != nullptr; }
    VARIANT value;
};

// The desktop's shell, as Explorer offers it to any program of the session: the desktop window
// among the shell windows, its shell view, and the Shell.Application object behind that view.
// The program it starts is Explorer's child and runs with the logged-on user's own rights.
bool OpenThroughDesktop(const std::wstring& path, const std::wstring& folder)
{
    ComRef<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                windows.OutVoid())) || !windows.Held())
        return false;
    VARIANT anywhere;
    VariantInit(&anywhere);
    LONG desktopWindow = 0;
    ComRef<IDispatch> desktop;
    if (windows->FindWindowSW(&anywhere, &anywhere, SWC_DESKTOP, &desktopWindow, SWFO_NEEDDISPATCH,
                              desktop.Out()) != S_OK || !desktop.Held())
        return false;
    ComRef<IServiceProvider> services;
    ComRef<IShellBrowser> browser;
    ComRef<IShellView> view;
    ComRef<IDispatch> background;
    ComRef<IShellFolderViewDual> folderView;
    ComRef<IDispatch> application;
    ComRef<IShellDispatch2> shell;
    if (FAILED(desktop->QueryInterface(IID_IServiceProvider, services.OutVoid())) ||
        FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.OutVoid())) ||
        FAILED(browser->QueryActiveShellView(view.Out())) || !view.Held() ||
        FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.OutVoid())) ||
        FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.OutVoid())) ||
        FAILED(folderView->get_Application(application.Out())) || !application.Held() ||
        FAILED(application->QueryInterface(IID_IShellDispatch2, shell.OutVoid())))
        return false;

    BSTR file = SysAllocString(path.c_str());
    StringArgument arguments(L"");
    StringArgument directory(folder.c_str());
    StringArgument verb(L"open");
    VARIANT show;
    VariantInit(&show);
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    const bool opened = file != nullptr && arguments.Held() && directory.Held() && verb.Held() &&
                        SUCCEEDED(shell->ShellExecute(file, arguments.value, directory.value,
                                                      verb.value, show));
    SysFreeString(file);
    return opened;
}

// The current folder in UTF-16: the program's folder, whatever letters its name holds.
std::wstring CurrentFolder()
{
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    if (n == 0)
        return std::wstring();
    std::wstring folder(n, L'\0');
    const DWORD got = GetCurrentDirectoryW(n, &folder[0]);
    folder.resize(got < n ? got : 0);
    return folder;
}

}  // namespace

DocumentRoute OpenDocumentAs(const char* name, bool elevated)
{
    if (elevated) {
        // The desktop starts the program in a folder of its own: it gets the document's whole path.
        const std::wstring folder = CurrentFolder();
        if (!folder.empty()) {
            std::wstring path = folder;
            if (path.back() != L'\\')
                path += L'\\';
            for (const char* c = name; *c != '\0'; ++c)
                path += static_cast<wchar_t>(static_cast<unsigned char>(*c));
            if (OpenThroughDesktop(path, folder))
                return DocumentRoute::Desktop;
        }
    }
    ShellExecuteA(nullptr, "open", name, "", "", SW_SHOWNORMAL);
    return DocumentRoute::Direct;
}

bool RunsElevated()
{
    // Before Vista there is no elevation, and the 9x family has no tokens at all.
    const DWORD version = GetVersion();
    if ((version & 0x80000000u) != 0 || LOBYTE(LOWORD(version)) < 6)
        return false;
    const HMODULE advapi = LoadLibraryA("advapi32.dll");
    if (advapi == nullptr)
        return false;
    typedef BOOL(WINAPI * OpenToken)(HANDLE, DWORD, PHANDLE);
    typedef BOOL(WINAPI * TokenInformation)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
    const auto openToken = reinterpret_cast<OpenToken>(
        reinterpret_cast<void*>(GetProcAddress(advapi, "OpenProcessToken")));
    const auto tokenInformation = reinterpret_cast<TokenInformation>(
        reinterpret_cast<void*>(GetProcAddress(advapi, "GetTokenInformation")));
    bool elevated = false;
    HANDLE token = nullptr;
    if (openToken != nullptr && tokenInformation != nullptr &&
        openToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        TOKEN_ELEVATION elevation = {};
        DWORD size = 0;
        elevated = tokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
                   elevation.TokenIsElevated != 0;
        CloseHandle(token);
    }
    FreeLibrary(advapi);
    return elevated;
}

DocumentRoute OpenDocument(const char* name)
{
    return OpenDocumentAs(name, RunsElevated());
}
