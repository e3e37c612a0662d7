#include "RobotWindows.h"

#include <cstdio>
#include <cstring>


namespace {

const char kDialogClass[] = "ZEB_UB_CLASS";
const int kButtonBase = 1000;
const int kBoxBase = 500;
const int kAcceptBox = 15;
const int kInputId = 400;
const int kPathContainer = 401;
const int kPathEdit = 402;
const int kSeparator = 101;
const int kMessage = 102;
const char kCancelProperty[] = "KesCancelButton";
const UINT kSendTimeout = 5000;

bool IsClass(const RobotControl& control, const char* name)
{
    return lstrcmpiA(control.className.c_str(), name) == 0;
}

// SendMessage that cannot hang the robot on a stuck installer.
LRESULT SendOrGiveUp(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* ok = nullptr)
{
    DWORD_PTR result = 0;
    LRESULT sent = SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG,
                                       kSendTimeout, &result);
    if (ok)
        *ok = sent != 0;
    return static_cast<LRESULT>(result);
}

// WM_GETTEXT is marshalled between processes, GetWindowText of a control is not.
std::string ControlText(HWND window)
{
    LRESULT length = SendOrGiveUp(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0)
        return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    LRESULT got = SendOrGiveUp(window, WM_GETTEXT, buffer.size(),
                               reinterpret_cast<LPARAM>(buffer.data()));
    if (got < 0 || static_cast<size_t>(got) >= buffer.size())
        got = 0;
    return std::string(buffer.data(), static_cast<size_t>(got));
}

// The items of a list or drop-down list joined by '|', as the dialog was given them. Asked for
// in UTF-16: Wine hands the ANSI item text between processes one character short.
std::string ListItems(const RobotControl& control, bool combo)
{
    UINT count = combo ? CB_GETCOUNT : LB_GETCOUNT;
    UINT lengthOf = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    UINT textOf = combo ? CB_GETLBTEXT : LB_GETTEXT;
    LRESULT items = SendOrGiveUp(control.window, count, 0, 0);
    std::string joined;
    for (LRESULT i = 0; i < items; ++i) {
        LRESULT length = SendOrGiveUp(control.window, lengthOf, i, 0);
        std::vector<wchar_t> wide(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
        DWORD_PTR got = 0;
        if (length > 0)
            SendMessageTimeoutW(control.window, textOf, i, reinterpret_cast<LPARAM>(wide.data()),
                                SMTO_ABORTIFHUNG, kSendTimeout, &got);
        char item[1024] = "";
        WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, item, sizeof item, nullptr, nullptr);
        if (i)
            joined += '|';
        joined += item;
    }
    return joined;
}

struct FindState {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindQuestionProc(HWND window, LPARAM lParam)
{
    FindState* state = reinterpret_cast<FindState*>(lParam);
    char name[64];
    if (!GetClassNameA(window, name, sizeof name) || lstrcmpA(name, kDialogClass) != 0)
        return TRUE;
    if (!IsWindowVisible(window))
        return TRUE;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (state->process && owner != state->process)
        return TRUE;
    state->found = window;
    return FALSE;
}

BOOL CALLBACK CollectControlProc(HWND window, LPARAM lParam)
{
    RobotQuestion* question = reinterpret_cast<RobotQuestion*>(lParam);
    // The edit and button inside a path field are the field's, not the dialog's.
    if (GetParent(window) != question->dialog || GetDlgCtrlID(window) == kMessage)
        return TRUE;
    RobotControl control;
    control.window = window;
    control.id = static_cast<int>(static_cast<short>(GetDlgCtrlID(window)));
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    control.className = name;
    control.style = GetWindowLongA(window, GWL_STYLE);
    control.enabled = IsWindowEnabled(window) != FALSE;
    if (control.id == kPathContainer) {
        HWND edit = GetDlgItem(window, kPathEdit);
        control.text = edit ? ControlText(edit) : std::string();
    } else {
        control.text = ControlText(window);
    }
    if (control.id >= kButtonBase)
        question->buttons.push_back(control);
    else
        question->controls.push_back(control);
    return TRUE;
}

// The message as a screen reader reads it: the text of the dialog's message control; and the
// cancel button from the dialog's property, the default button from its look.
bool ReadMessage(RobotQuestion* question)
{
    HWND message = GetDlgItem(question->dialog, kMessage);
    question->text = message ? ControlText(message) : std::string();
    HANDLE cancel = GetPropA(question->dialog, kCancelProperty);
    const INT_PTR cancelId = reinterpret_cast<INT_PTR>(cancel);
    question->cancelIndex = cancel ? static_cast<int>(cancelId - kButtonBase) : -1;
    question->haveRecord = true;
    return true;
}

const RobotControl* ControlById(const RobotQuestion& question, int id)
{
    for (const RobotControl& control : question.controls) {
        if (control.id == id)
            return &control;
    }
    return nullptr;
}

bool IsChecked(const RobotControl& control)
{
    return SendOrGiveUp(control.window, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int DefaultButton(const RobotQuestion& question)
{
    for (size_t i = 0; i < question.buttons.size(); ++i) {
        if ((question.buttons[i].style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return static_cast<int>(i);
    }
    return question.buttons.empty() ? -1 : 0;
}

std::string Quoted(const std::string& text)
{
    return "\"" + RecordText(text) + "\"";
}

std::string DescribeControl(const RobotControl& control)
{
    std::string out;
    if (IsClass(control, "Button")) {
        LONG type = control.style & BS_TYPEMASK;
        bool checked = SendOrGiveUp(control.window, BM_GETCHECK, 0, 0) == BST_CHECKED;
        int number = control.id - kBoxBase;
        if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX)
            out = "check" + std::to_string(number) + (checked ? " on " : " off ");
        else if (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON)
            out = "radio" + std::to_string(number) + (checked ? " on " : " off ");
        else
            out = "button" + std::to_string(control.id) + " ";
        out += Quoted(FirstLine(control.text));
    } else if (IsClass(control, "Edit")) {
        out = "edit";
        if (control.style & ES_READONLY)
            out += " readonly";
        out += " " + std::to_string(LineCount(control.text)) + " lines " +
               Quoted(FirstLine(control.text));
    } else if (IsClass(control, "ComboBox") || IsClass(control, "ListBox")) {
        bool combo = IsClass(control, "ComboBox");
        LRESULT selected = SendOrGiveUp(control.window, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
        out = std::string(combo ? "combo" : "list") + " sel=" + std::to_string(selected) + " " +
              Quoted(ListItems(control, combo));
    } else if (control.id == kSeparator) {
        out = "line";
    } else if (control.id == kPathContainer) {
        out = "path " + Quoted(control.text);
    } else if (IsClass(control, "Static")) {
        bool more = false;
        std::string first = FirstLine(control.text, &more);
        out = "static " + Quoted(first + (more ? " ..." : ""));
    } else {
        out = control.className + " " + std::to_string(control.id) + " " +
              Quoted(FirstLine(control.text));
    }
    if (!control.enabled)
        out += " (disabled)";
    return out;
}

void PressKey(HWND dialog, UINT key, std::string* done)
{
    DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    GUITHREADINFO info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    HWND target = dialog;
    if (GetGUIThreadInfo(thread, &info) && info.hwndFocus)
        target = info.hwndFocus;
    LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(key, 0)) << 16;
    PostMessageA(target, WM_KEYDOWN, key, scan | 1);
    PostMessageA(target, WM_KEYUP, key, scan | 1 | (LPARAM(3) << 30));
    int id = static_cast<int>(static_cast<short>(GetDlgCtrlID(target)));
    *done += (key == VK_RETURN ? "enter at " : "escape at ");
    *done += target == dialog ? std::string("dialog") : "control " + std::to_string(id);
}

bool ClickButton(const RobotQuestion& question, size_t index, std::string* done,
                 std::string* error)
{
    const RobotControl& button = question.buttons[index];
    if (!IsWindowEnabled(button.window)) {
        // A person's click on a disabled button does nothing either; say so and stop.
        *error = "the button " + Quoted(button.text) + " is disabled";
        return false;
    }
    // Posted like a real click: a click that ends the dialog must reach its loop as a
    // message of the queue, or the loop would wait on in GetMessage with the window gone.
    if (!PostMessageA(button.window, BM_CLICK, 0, 0)) {
        *error = "the click on " + Quoted(button.text) + " could not be posted";
        return false;
    }
    *done += "click " + Quoted(button.text);
    return true;
}

bool SetBox(const RobotQuestion& question, int number, bool on, std::string* done,
            std::string* error)
{
    const RobotControl* box = ControlById(question, kBoxBase + number);
    if (!box) {
        *error = "there is no check box " + std::to_string(number);
        return false;
    }
    LONG type = box->style & BS_TYPEMASK;
    bool radio = type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON;
    if (IsChecked(*box) != on) {
        if (radio && !on) {
            *error = "radio button " + std::to_string(number) + " clears only by choosing another";
            return false;
        }
        if (!box->enabled) {
            *error = "check box " + std::to_string(number) + " is disabled";
            return false;
        }
        // A click, not BM_SETCHECK: the dialog must hear of it as it would from a person.
        SendOrGiveUp(box->window, BM_CLICK, 0, 0);
        if (IsChecked(*box) != on) {
            *error = "check box " + std::to_string(number) + " did not change";
            return false;
        }
    }
    *done += (radio ? "radio" : "check") + std::to_string(number) + (on ? " on" : " off");
    return true;
}

bool Select(const RobotQuestion& question, int item, std::string* done, std::string* error)
{
    const RobotControl* input = ControlById(question, kInputId);
    bool combo = input && IsClass(*input, "ComboBox");
    if (!input || (!combo && !IsClass(*input, "ListBox"))) {
        *error = "the question has no list or drop-down list";
        return false;
    }
    LRESULT count = SendOrGiveUp(input->window, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    if (item >= count) {
        *error = "the list has " + std::to_string(count) + " items, there is no item " +
                 std::to_string(item);
        return false;
    }
    SendOrGiveUp(input->window, combo ? CB_SETCURSEL : LB_SETCURSEL, item, 0);
    *done += "select " + std::to_string(item);
    return true;
}

bool SetText(const RobotQuestion& question, const std::string& text, std::string* done,
             std::string* error)
{
    HWND edit = nullptr;
    if (const RobotControl* input = ControlById(question, kInputId)) {
        if (IsClass(*input, "Edit"))
            edit = input->window;
    } else if (const RobotControl* path = ControlById(question, kPathContainer)) {
        edit = GetDlgItem(path->window, kPathEdit);
    }
    if (!edit) {
        *error = "the question has no edit field";
        return false;
    }
    if (GetWindowLongA(edit, GWL_STYLE) & ES_READONLY) {
        *error = "the edit field is read-only";
        return false;
    }
    SendOrGiveUp(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    *done += "text " + Quoted(text);
    return true;
}

bool MoveFocus(const RobotQuestion& question, int id, std::string* done, std::string* error)
{
    HWND control = GetDlgItem(question.dialog, id);
    if (!control) {
        *error = "there is no control " + std::to_string(id);
        return false;
    }
    DWORD thread = GetWindowThreadProcessId(question.dialog, nullptr);
    AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
    SetFocus(control);
    AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
    *done += "focus " + std::to_string(id);
    return true;
}

// A top-level window of the question's process with the wanted caption ('_' for a blank).
struct CaptionSearch {
    DWORD process;
    std::string caption;
    HWND found;
};

BOOL CALLBACK FindCaptionProc(HWND window, LPARAM lParam)
{
    CaptionSearch* search = reinterpret_cast<CaptionSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char caption[512] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (owner != search->process || search->caption != caption)
        return TRUE;
    search->found = window;
    return FALSE;
}

// What Alt+F4 does to the active window: the system's close command, here sent to a window
// beside the question, which keeps its own place on the screen.
bool CloseOtherWindow(const RobotQuestion& question, const std::string& wanted, std::string* done,
                      std::string* error)
{
    CaptionSearch search = {question.process, wanted, nullptr};
    for (char& c : search.caption) {
        if (c == '_')
            c = ' ';
    }
    EnumWindows(FindCaptionProc, reinterpret_cast<LPARAM>(&search));
    if (!search.found) {
        *error = "the installer has no window " + Quoted(search.caption);
        return false;
    }
    PostMessageA(search.found, WM_SYSCOMMAND, SC_CLOSE, 0);
    *done += "close window " + Quoted(search.caption);
    return true;
}

// One key as real keyboard input: it goes where the system sends typed keys, to the focus of the
// foreground window, through the installer's own message loop like a person's key.
bool TypeKey(const RobotQuestion& question, const RobotAction& action, std::string* done,
             std::string* error)
{
    if (GetForegroundWindow() != question.dialog)
        SetForegroundWindow(question.dialog);
    if (GetForegroundWindow() != question.dialog) {
        *error = "the question is not the foreground window, so it would not get the key";
        return false;
    }
    WORD keys[4];
    int n = 0;
    if (action.number & ROBOT_KEY_CTRL)
        keys[n++] = VK_CONTROL;
    if (action.number & ROBOT_KEY_ALT)
        keys[n++] = VK_MENU;
    if (action.number & ROBOT_KEY_SHIFT)
        keys[n++] = VK_SHIFT;
    keys[n++] = static_cast<WORD>(action.number & 0xFF);
    INPUT input[8];
    std::memset(input, 0, sizeof input);
    for (int i = 0; i < n; ++i) {
        // Pressed in order, released in the reverse order.
        input[i].type = input[2 * n - 1 - i].type = INPUT_KEYBOARD;
        input[i].ki.wVk = input[2 * n - 1 - i].ki.wVk = keys[i];
        input[i].ki.wScan = input[2 * n - 1 - i].ki.wScan = static_cast<WORD>(MapVirtualKeyA(keys[i], 0));
        input[2 * n - 1 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    if (SendInput(static_cast<UINT>(2 * n), input, sizeof(INPUT)) != static_cast<UINT>(2 * n)) {
        *error = "the key " + action.text + " could not be sent";
        return false;
    }
    // Typed keys wait in the installer's queue; the next action must find this one done.
    Sleep(150);
    *done += "key " + action.text;
    return true;
}

bool ApplyOne(const RobotQuestion& question, const RobotAction& action, std::string* done,
              std::string* error)
{
    switch (action.kind) {
    case RobotActionKind::Accept:
        return SetBox(question, kAcceptBox, true, done, error);
    case RobotActionKind::Check:
        return SetBox(question, action.number, true, done, error);
    case RobotActionKind::Uncheck:
        return SetBox(question, action.number, false, done, error);
    case RobotActionKind::Select:
        return Select(question, action.number, done, error);
    case RobotActionKind::SetText:
        return SetText(question, action.text, done, error);
    case RobotActionKind::ClickText:
        for (size_t i = 0; i < question.buttons.size(); ++i) {
            if (ButtonMatches(question.buttons[i].text, action.text))
                return ClickButton(question, i, done, error);
        }
        *error = "there is no button " + Quoted(action.text);
        return false;
    case RobotActionKind::ClickIndex:
        if (static_cast<size_t>(action.number) >= question.buttons.size()) {
            *error = "there is no button at position " + std::to_string(action.number);
            return false;
        }
        return ClickButton(question, static_cast<size_t>(action.number), done, error);
    case RobotActionKind::Enter:
        PressKey(question.dialog, VK_RETURN, done);
        return true;
    case RobotActionKind::Escape:
        PressKey(question.dialog, VK_ESCAPE, done);
        return true;
    case RobotActionKind::Focus:
        return MoveFocus(question, action.number, done, error);
    case RobotActionKind::Close:
        PostMessageA(question.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        *done += "close box";
        return true;
    case RobotActionKind::CloseWindow:
        return CloseOtherWindow(question, action.text, done, error);
    case RobotActionKind::Key:
        return TypeKey(question, action, done, error);
    case RobotActionKind::Look:
        // The buttons as they are now, after the actions before: which one is drawn as the
        // default once the focus moved.
        *done += "look" + DescribeButtons(ObserveQuestion(question.dialog));
        return true;
    case RobotActionKind::Wait:
        Sleep(static_cast<DWORD>(action.number));
        *done += "wait " + std::to_string(action.number);
        return true;
    case RobotActionKind::Default: {
        RobotAnswer fallback = DefaultAnswer(question);
        *done += "default: ";
        return ApplyAnswer(question, fallback, done, error);
    }
    }
    *error = "unknown action";
    return false;
}

} // namespace

HWND FindQuestionWindow(DWORD process)
{
    FindState state = {process, nullptr};
    EnumWindows(FindQuestionProc, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

bool QuestionIsReady(HWND dialog, bool late)
{
    bool answered = false;
    SendOrGiveUp(dialog, WM_NULL, 0, 0, &answered);
    if (!answered)
        return false;
    GUITHREADINFO info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    bool focused = GetGUIThreadInfo(thread, &info) && info.hwndFocus &&
                   (info.hwndFocus == dialog || IsChild(dialog, info.hwndFocus));
    return focused || late;
}

RobotQuestion ObserveQuestion(HWND dialog)
{
    RobotQuestion question;
    question.dialog = dialog;
    GetWindowThreadProcessId(dialog, &question.process);
    char caption[512] = "";
    GetWindowTextA(dialog, caption, sizeof caption);
    question.caption = caption;
    EnumChildWindows(dialog, CollectControlProc, reinterpret_cast<LPARAM>(&question));
    // Buttons by position; the mark-up controls keep the order in which they were made.
    for (size_t i = 1; i < question.buttons.size(); ++i) {
        for (size_t j = i; j > 0 && question.buttons[j].id < question.buttons[j - 1].id; --j)
            std::swap(question.buttons[j], question.buttons[j - 1]);
    }
    ReadMessage(&question);
    return question;
}

std::string DescribeButtons(const RobotQuestion& question)
{
    std::string line;
    int defaultButton = DefaultButton(question);
    for (size_t i = 0; i < question.buttons.size(); ++i) {
        const RobotControl& button = question.buttons[i];
        line += " [";
        if (static_cast<int>(i) == defaultButton)
            line += '+';
        if (question.haveRecord && static_cast<int>(i) == question.cancelIndex)
            line += '-';
        line += RecordText(button.text);
        if (!button.enabled)
            line += " (disabled)";
        line += "]";
    }
    return line;
}

std::string DescribeQuestion(int number, const RobotQuestion& question)
{
    std::string line = "Q" + std::to_string(number) + " | " + RecordText(question.caption) + " | ";
    if (question.haveRecord) {
        bool more = false;
        std::string first = FirstLine(question.text, &more);
        line += RecordText(first) + (more ? " ..." : "");
    } else {
        line += "?";
    }
    line += " |" + DescribeButtons(question) + " |";
    for (size_t i = 0; i < question.controls.size(); ++i)
        line += (i ? "; " : " ") + DescribeControl(question.controls[i]);
    return line;
}

RobotAnswer DefaultAnswer(const RobotQuestion& question)
{
    RobotAnswer answer;
    answer.source = "default";
    int defaultButton = DefaultButton(question);
    const RobotControl* box = ControlById(question, kBoxBase + kAcceptBox);
    bool defaultDisabled = defaultButton >= 0 && !question.buttons[defaultButton].enabled;
    if (box && defaultDisabled && !IsChecked(*box))
        answer.actions.push_back({RobotActionKind::Accept, 0, std::string()});
    const RobotControl* input = ControlById(question, kInputId);
    if (input && (IsClass(*input, "ComboBox") || IsClass(*input, "ListBox")))
        answer.actions.push_back({RobotActionKind::Select, 0, std::string()});
    if (defaultButton >= 0)
        answer.actions.push_back({RobotActionKind::ClickIndex, defaultButton, std::string()});
    else
        answer.actions.push_back({RobotActionKind::Close, 0, std::string()});
    return answer;
}

bool ApplyAnswer(const RobotQuestion& question, const RobotAnswer& answer, std::string* done,
                 std::string* error)
{
    for (size_t i = 0; i < answer.actions.size(); ++i) {
        if (i)
            *done += ", ";
        if (!ApplyOne(question, answer.actions[i], done, error))
            return false;
    }
    return true;
}

bool SaveScreenBitmap(const std::string& path, std::string* error)
{
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = bitmap && memory;
    if (ok) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY) != FALSE;
        SelectObject(memory, previous);
        GdiFlush();
    }
    DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    DWORD imageSize = stride * static_cast<DWORD>(height);
    if (ok) {
        BITMAPFILEHEADER file;
        std::memset(&file, 0, sizeof file);
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + imageSize;
        info.bmiHeader.biSizeImage = imageSize;
        FILE* out = std::fopen(path.c_str(), "wb");
        ok = out && std::fwrite(&file, sizeof file, 1, out) == 1 &&
             std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
             std::fwrite(bits, imageSize, 1, out) == 1;
        if (out && std::fclose(out) != 0)
            ok = false;
        if (!ok)
            *error = "cannot write " + path;
    } else {
        *error = "cannot copy the screen";
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}
