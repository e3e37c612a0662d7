// WFile on real files under Wine, in a fresh folder of the temporary directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "diskio/WFile.h"

namespace {

class WFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        dir = std::string(temp) + "wfile-" + std::to_string(GetCurrentProcessId()) + "-" +
              testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(dir.c_str(), nullptr);
        SetCurrentDirectoryA(dir.c_str());
    }
    void TearDown() override
    {
        WIN32_FIND_DATAA d;
        HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &d);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileA((dir + "\\" + d.cFileName).c_str());
            } while (FindNextFileA(h, &d));
            FindClose(h);
        }
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        SetCurrentDirectoryA(temp);
        RemoveDirectoryA(dir.c_str());
    }
    std::string Path(const char* name) const { return dir + "\\" + name; }
    void Put(const char* name, const std::string& bytes) const
    {
        HANDLE h = CreateFileA(Path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        DWORD n = 0;
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
        CloseHandle(h);
    }
    std::string Get(const char* name) const
    {
        HANDLE h = CreateFileA(Path(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return "<missing>";
        char buf[4096];
        DWORD n = 0;
        ReadFile(h, buf, sizeof buf, &n, nullptr);
        CloseHandle(h);
        return std::string(buf, n);
    }
    int CountFiles() const
    {
        int count = 0;
        WIN32_FIND_DATAA d;
        HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &d);
        if (h == INVALID_HANDLE_VALUE)
            return 0;
        do {
            if (d.cFileName[0] != '.')
                ++count;
        } while (FindNextFileA(h, &d));
        FindClose(h);
        return count;
    }
    std::string dir;
};

std::string ProgramFolder()
{
    char self[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string s(self, n);
    return s.substr(0, s.rfind('\\') + 1);
}

TEST_F(WFileTest, ModeMatrixOnMissingAndExistingFiles)
{
    WFile f;
    // Read-only needs the file.
    EXPECT_EQ(1, f.Open("missing.txt", WF_READ));
    EXPECT_EQ(static_cast<uint32_t>(ERROR_FILE_NOT_FOUND), f.lastError);
    EXPECT_FALSE(f.IsOpen());
    EXPECT_EQ(WF_READ | WF_MUST_EXIST, f.mode);

    // Write-only creates a missing file and empties an existing one.
    Put("w.txt", "old contents");
    ASSERT_EQ(0, f.Open("w.txt", WF_WRITE));
    EXPECT_EQ(0u, f.lastError);
    EXPECT_EQ(WF_WRITE | WF_TRUNCATE, f.mode);
    EXPECT_EQ(0u, f.GetSize());
    EXPECT_EQ(0u, f.Close());
    EXPECT_EQ("", Get("w.txt"));
    ASSERT_EQ(0, f.Open("new-w.txt", WF_WRITE));
    f.Close();
    EXPECT_EQ("", Get("new-w.txt"));

    // Read and write keeps what is there and starts at the beginning.
    Put("rw.txt", "abcdef");
    ASSERT_EQ(0, f.Open("rw.txt", WF_READ | WF_WRITE));
    char buf[8] = {};
    EXPECT_EQ(3u, f.Read(buf, 3));
    EXPECT_STREQ("abc", buf);
    EXPECT_EQ(2u, f.Write("XY", 2));
    f.Close();
    EXPECT_EQ("abcXYf", Get("rw.txt"));
    ASSERT_EQ(0, f.Open("new-rw.txt", WF_READ | WF_WRITE));
    f.Close();
    EXPECT_EQ("", Get("new-rw.txt"));

    // Write with append opens (or creates) and writes at the end.
    Put("a.txt", "123");
    ASSERT_EQ(0, f.Open("a.txt", WF_WRITE | WF_APPEND));
    EXPECT_EQ(WF_WRITE | WF_APPEND, f.mode);
    f.Write("45", 2);
    f.Close();
    EXPECT_EQ("12345", Get("a.txt"));

    // Mode 0 asks for no access but still creates a missing file.
    ASSERT_EQ(0, f.Open("zero.txt", 0));
    f.Close();
    EXPECT_EQ("", Get("zero.txt"));
}

TEST_F(WFileTest, ReadAtEndAndSeek)
{
    Put("s.txt", "0123456789");
    WFile f;
    ASSERT_EQ(0, f.Open("s.txt", WF_READ));
    char buf[16] = {};
    EXPECT_EQ(0, f.Seek(-3, FILE_END));
    EXPECT_EQ(3u, f.Read(buf, 10));
    EXPECT_STREQ("789", buf);
    EXPECT_EQ(0u, f.Read(buf, 10));
    EXPECT_EQ(0u, f.lastError);
    EXPECT_EQ(0, f.Seek(2, FILE_BEGIN));
    EXPECT_EQ(0, f.Seek(1, FILE_CURRENT));
    EXPECT_EQ(1u, f.Read(buf, 1));
    EXPECT_EQ('3', buf[0]);
    EXPECT_EQ(1, f.Seek(-100, FILE_BEGIN));
    EXPECT_NE(0u, f.lastError);
    EXPECT_EQ(0u, f.Close());
}

TEST_F(WFileTest, SizeOfEmptyAndOfFourGibibytesPlusFive)
{
    WFile f;
    ASSERT_EQ(0, f.Open("empty.bin", WF_WRITE));
    EXPECT_EQ(0u, f.GetSize());
    EXPECT_EQ(0u, f.lastError);
    f.Close();

    // A sparse file: the size comes from the end-of-file mark, no data is written.
    ASSERT_EQ(0, f.Open("big.bin", WF_READ | WF_WRITE));
    ASSERT_EQ(0, f.Seek(4294967301LL, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(f.handle));
    EXPECT_EQ(4294967301ull, f.GetSize());
    EXPECT_EQ(0u, f.lastError);
    // Seeking to a position whose low half is 0xFFFFFFFF is a success, not a failure.
    EXPECT_EQ(0, f.Seek(0xFFFFFFFFLL, FILE_BEGIN));
    EXPECT_EQ(0u, f.lastError);
    EXPECT_EQ(0, f.Seek(-5, FILE_END));
    char c = 'x';
    EXPECT_EQ(1u, f.Read(&c, 1));
    EXPECT_EQ(0, c);
    f.Close();
}

TEST_F(WFileTest, WriteStringTerminatorsAndLimits)
{
    WFile f;
    ASSERT_EQ(0, f.Open("bin.txt", WF_WRITE));
    EXPECT_EQ(4, f.WriteString("abc", 1, -1));
    EXPECT_EQ(2, f.WriteString("abc", 0, 2));
    EXPECT_EQ(0, f.WriteString("abc", 1, 0));
    EXPECT_EQ(3, f.WriteString("abc", 1, 2) - 0);  // two letters and the zero byte
    EXPECT_EQ(3, f.WriteString("abc", 0, 7));      // a limit past the end takes the whole text
    f.Close();
    EXPECT_EQ(std::string("abc\0abab\0abc", 12), Get("bin.txt"));

    ASSERT_EQ(0, f.Open("text.txt", WF_WRITE | WF_TEXT));
    EXPECT_EQ(5, f.WriteString("abc", 1, -1));
    EXPECT_EQ(0, f.WriteString("", 0, -1));
    EXPECT_EQ(2, f.WriteString("", 1, -1));
    f.Close();
    EXPECT_EQ("abc\r\n\r\n", Get("text.txt"));

    // Written to a read-only handle: the count asked for, the failure in lastError, no terminator.
    Put("ro.txt", "x");
    ASSERT_EQ(0, f.Open("ro.txt", WF_READ));
    EXPECT_EQ(3, f.WriteString("abc", 1, -1));
    EXPECT_NE(0u, f.lastError);
    f.Close();
    EXPECT_EQ("x", Get("ro.txt"));
}

TEST_F(WFileTest, ProgramFolderNames)
{
    char a[MAX_PATH], b[MAX_PATH], c[MAX_PATH];
    const std::string folder = ProgramFolder();
    EXPECT_EQ(1, ResolveFileName(">boot.dat", a));
    EXPECT_EQ(1, ResolveFileName(">\\boot.dat", b));
    EXPECT_EQ(folder + "boot.dat", a);
    EXPECT_STREQ(a, b);
    EXPECT_EQ(1, ResolveFileName(">sub\\x.txt", c));
    EXPECT_EQ(folder + "sub\\x.txt", c);
    // Only one backslash is skipped; a '>' later in the name means nothing special.
    EXPECT_EQ(1, ResolveFileName(">\\\\y", c));
    EXPECT_EQ(folder + "\\y", c);
    EXPECT_EQ(1, ResolveFileName("rel>x", c));
    EXPECT_EQ(dir + "\\rel>x", c);

    // ">" alone and ">\" are the program's folder itself, which no Open can take as a file.
    EXPECT_EQ(1, ResolveFileName(">", a));
    EXPECT_EQ(folder, a);
    EXPECT_EQ(1, ResolveFileName(">\\", b));
    EXPECT_EQ(folder, b);
    WFile f;
    EXPECT_EQ(1, f.Open(">", WF_READ));
    EXPECT_FALSE(f.IsOpen());
    EXPECT_EQ(1, f.Open(">\\", WF_READ | WF_WRITE));
    EXPECT_FALSE(f.IsOpen());
    EXPECT_NE(0u, f.lastError);

    // The test program's own file can be opened by its program-folder name.
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string own = std::string(">") + (strrchr(self, '\\') + 1);
    ASSERT_EQ(0, f.Open(own.c_str(), WF_READ | WF_SHARE_READ));
    EXPECT_GT(f.GetSize(), 0u);
    f.Close();
}

TEST_F(WFileTest, OverlongNamesAreRefusedWithoutOpeningAnything)
{
    const std::string folder = ProgramFolder();
    for (size_t length : {250u, 255u, 256u, 259u, 260u, 261u, 300u, 1000u, 4000u}) {
        for (const char* prefix : {">", ">\\", ""}) {
            std::string name = std::string(prefix) + std::string(length, 'n');
            SCOPED_TRACE(testing::Message() << "prefix '" << prefix << "' length " << length);
            char buffer[MAX_PATH + 16];
            memset(buffer, 'G', sizeof buffer);
            const int fits = ResolveFileName(name.c_str(), buffer);
            // Nothing is written past the MAX_PATH buffer.
            for (size_t i = MAX_PATH; i < sizeof buffer; ++i)
                ASSERT_EQ('G', buffer[i]);
            // ">" names may fill the MAX_PATH buffer; relative names resolve within 256 bytes.
            const bool fits_expected = prefix[0] ? folder.size() + length + 1 <= MAX_PATH
                                                 : dir.size() + 1 + length + 1 <= 256;
            if (fits_expected) {
                EXPECT_EQ(1, fits);
                continue;
            }
            EXPECT_EQ(0, fits);
            EXPECT_STREQ("", buffer);
            WFile f;
            EXPECT_EQ(1, f.Open(name.c_str(), WF_WRITE));
            EXPECT_EQ(static_cast<uint32_t>(ERROR_FILENAME_EXCED_RANGE), f.lastError);
            EXPECT_FALSE(f.IsOpen());
        }
    }
    EXPECT_EQ(0, CountFiles());

    // The exact limits, from the real folders: a ">" name fills the MAX_PATH buffer up to its
    // terminator (259 characters), a relative name resolves within 256 bytes (255 characters).
    ASSERT_LT(folder.size(), 250u);
    ASSERT_LT(dir.size(), 250u);
    static const struct {
        bool programFolder;
        size_t resolved;  // length of the full path the name stands for
        int fits;
    } limits[] = {{true, 259, 1}, {true, 260, 0}, {false, 255, 1}, {false, 256, 0}};
    for (const auto& limit : limits) {
        const size_t base = limit.programFolder ? folder.size() : dir.size() + 1;
        const std::string name = (limit.programFolder ? ">" : "") + std::string(limit.resolved - base, 'n');
        char buffer[MAX_PATH];
        EXPECT_EQ(limit.fits, ResolveFileName(name.c_str(), buffer)) << limit.resolved;
        EXPECT_EQ(limit.fits ? limit.resolved : 0u, strlen(buffer)) << limit.resolved;
    }
}

// On the NT family Open resolves names in UTF-16: a current folder with letters outside the ANSI
// code page still opens, and a full path may be as long as Windows' own limit (259 characters),
// not only the 255 of the ANSI resolution.
TEST_F(WFileTest, WideNamesOutsideTheCodePageAndUpToWindowsOwnLimit)
{
    ASSERT_TRUE(WideFileNames()) << "Wine reports the NT family unless told otherwise";
    wchar_t current[MAX_PATH];
    ASSERT_NE(0u, GetCurrentDirectoryW(MAX_PATH, current));
    const std::wstring sub = std::wstring(current) + L"\\\u041f\u0430\u043a\u0435\u0442";
    ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
    ASSERT_TRUE(SetCurrentDirectoryW(sub.c_str()));
    WFile f;
    EXPECT_EQ(0, f.Open("readme.txt", WF_WRITE));
    EXPECT_EQ(3u, f.Write("abc", 3));
    f.Close();
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((sub + L"\\readme.txt").c_str()));
    EXPECT_EQ(0, f.Open("readme.txt", WF_READ));
    EXPECT_EQ(3u, f.GetSize());
    f.Close();
    DeleteFileW((sub + L"\\readme.txt").c_str());
    SetCurrentDirectoryW(current);
    EXPECT_TRUE(RemoveDirectoryW(sub.c_str()));

    ASSERT_LT(dir.size(), 200u);
    for (size_t resolved : {256u, 259u, 260u}) {
        SCOPED_TRACE(resolved);
        const std::string name(resolved - dir.size() - 1, 'n');
        const int failed = f.Open(name.c_str(), WF_WRITE);
        EXPECT_EQ(resolved < MAX_PATH ? 0 : 1, failed);
        if (failed) {
            EXPECT_EQ(static_cast<uint32_t>(ERROR_FILENAME_EXCED_RANGE), f.lastError);
        }
        f.Close();
        EXPECT_EQ(resolved < MAX_PATH ? 1 : 0, CountFiles());
        DeleteFileA(name.c_str());
    }
}

TEST_F(WFileTest, FailuresOnABadHandleShowInLastError)
{
    WFile f;
    f.handle = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x7FF0));  // no handle of this process
    char byte;
    f.lastError = 0;
    EXPECT_EQ(0u, f.GetSize());
    EXPECT_NE(0u, f.lastError) << "GetSize";
    f.lastError = 0;
    EXPECT_EQ(0u, f.Read(&byte, 1));
    EXPECT_NE(0u, f.lastError) << "Read";
    f.lastError = 0;
    EXPECT_EQ(0u, f.Write("x", 1));
    EXPECT_NE(0u, f.lastError) << "Write";
    f.lastError = 0;
    EXPECT_EQ(1, f.Seek(3, FILE_BEGIN));
    EXPECT_NE(0u, f.lastError) << "Seek";
    const uint32_t closeError = f.Close();
    EXPECT_NE(0u, closeError) << "Close";
    EXPECT_EQ(closeError, f.lastError);
    EXPECT_FALSE(f.IsOpen()) << "a failed close still forgets the handle";

    // Reading a file opened for writing only.
    ASSERT_EQ(0, f.Open("w.txt", WF_WRITE));
    EXPECT_EQ(0u, f.Read(&byte, 1));
    EXPECT_EQ(static_cast<uint32_t>(ERROR_ACCESS_DENIED), f.lastError);
    EXPECT_EQ(0u, f.Close());
}

TEST_F(WFileTest, FileExistsOnFilesFoldersPatternsAndMissingDrives)
{
    Put("here.dat", "1");
    CreateDirectoryA(Path("folder").c_str(), nullptr);
    EXPECT_EQ(1, FileExists(Path("here.dat").c_str()));
    EXPECT_EQ(1, FileExists("here.dat"));
    EXPECT_EQ(1, FileExists(Path("folder").c_str()));
    EXPECT_EQ(1, FileExists(Path("*.dat").c_str()));
    EXPECT_EQ(1, FileExists(Path("h?re.*").c_str()));
    EXPECT_EQ(0, FileExists(Path("*.zzz").c_str()));
    EXPECT_EQ(0, FileExists(Path("nothing.dat").c_str()));
    EXPECT_EQ(0, FileExists(Path("nofolder\\x").c_str()));
    EXPECT_EQ(0, FileExists("Q:\\anything"));
    // The ">" rule belongs to Open, not to FileExists.
    EXPECT_EQ(0, FileExists(">here.dat"));
    RemoveDirectoryA(Path("folder").c_str());
}

TEST_F(WFileTest, CloseTwiceIsHarmlessAndReopenWorks)
{
    WFile f;
    EXPECT_EQ(0u, f.Close());
    ASSERT_EQ(0, f.Open("one.txt", WF_WRITE));
    f.WriteString("one", 0, -1);
    EXPECT_EQ(0u, f.Close());
    EXPECT_EQ(0u, f.Close());
    EXPECT_EQ(0u, f.lastError);
    ASSERT_EQ(0, f.Open("two.txt", WF_WRITE | WF_TEXT));
    f.WriteString("two", 1, -1);
    EXPECT_EQ(0u, f.Close());
    EXPECT_EQ("one", Get("one.txt"));
    EXPECT_EQ("two\r\n", Get("two.txt"));
}

// The warning box is answered by a CBT hook as soon as it is activated.
// A box may be activated more than once; it is counted once.
std::vector<std::string> boxes;
std::vector<HWND> seen;
LRESULT CALLBACK AnswerBoxes(int code, WPARAM wParam, LPARAM lParam)
{
    HWND box = reinterpret_cast<HWND>(wParam);
    char cls[16] = {};
    if (code == HCBT_ACTIVATE && GetClassNameA(box, cls, sizeof cls) && !strcmp(cls, "#32770") &&
        std::find(seen.begin(), seen.end(), box) == seen.end()) {
        seen.push_back(box);
        char caption[64] = {}, text[128] = {};
        GetWindowTextA(box, caption, sizeof caption);
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        boxes.push_back(std::string(caption) + "|" + text);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(WFileTest, DestroyingOpenObjectsWarnsOnceEach)
{
    HHOOK hook = SetWindowsHookExA(WH_CBT, AnswerBoxes, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    HANDLE left[2];
    {
        WFile closed;
        WFile a, b;
        ASSERT_EQ(0, a.Open("a.txt", WF_WRITE));
        ASSERT_EQ(0, b.Open("b.txt", WF_WRITE));
        left[0] = a.handle;
        left[1] = b.handle;
    }
    UnhookWindowsHookEx(hook);
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ("Error WFile|File was not closed properly", boxes[0]);
    EXPECT_EQ(boxes[0], boxes[1]);
    // The destructor left the handles open; they still work.
    DWORD n = 0;
    EXPECT_TRUE(WriteFile(left[0], "z", 1, &n, nullptr));
    CloseHandle(left[0]);
    CloseHandle(left[1]);
    EXPECT_EQ("z", Get("a.txt"));
}

}  // namespace
