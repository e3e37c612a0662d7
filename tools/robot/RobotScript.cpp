#include "RobotScript.h"

#include <cctype>
#include <cstdlib>

namespace {

bool ReadNumber(const std::string& text, int* number)
{
    if (text.empty() || text.size() > 9)
        return false;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    }
    *number = std::atoi(text.c_str());
    return true;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool ParseAction(const std::string& item, RobotAction* action, std::string* error)
{
    std::string::size_type eq = item.find('=');
    std::string name = Lower(item.substr(0, eq));
    std::string arg = eq == std::string::npos ? std::string() : item.substr(eq + 1);
    bool hasArg = eq != std::string::npos;

    struct Plain { const char* name; RobotActionKind kind; };
    static const Plain plain[] = {
        {"accept", RobotActionKind::Accept}, {"enter", RobotActionKind::Enter},
        {"escape", RobotActionKind::Escape}, {"close", RobotActionKind::Close},
        {"default", RobotActionKind::Default}, {"look", RobotActionKind::Look},
    };
    for (const Plain& p : plain) {
        if (name == p.name && !hasArg) {
            action->kind = p.kind;
            return true;
        }
    }
    struct Numbered { const char* name; RobotActionKind kind; int limit; };
    static const Numbered numbered[] = {
        {"check", RobotActionKind::Check, 15}, {"uncheck", RobotActionKind::Uncheck, 15},
        {"select", RobotActionKind::Select, 32767}, {"button", RobotActionKind::ClickIndex, 31},
        {"focus", RobotActionKind::Focus, 65535}, {"wait", RobotActionKind::Wait, 600000},
    };
    for (const Numbered& n : numbered) {
        if (name != n.name || !hasArg)
            continue;
        if (!ReadNumber(arg, &action->number) || action->number > n.limit) {
            *error = "'" + item + "': " + n.name + " takes a number from 0 to " +
                     std::to_string(n.limit);
            return false;
        }
        action->kind = n.kind;
        return true;
    }
    if (name == "key" && hasArg) {
        if (!ParseKeyName(arg, &action->number)) {
            *error = "'" + item + "': unknown key (a letter, a digit, tab, enter, escape, space, "
                     "up, down, left, right, home, end or f4, after shift+, ctrl+ or alt+)";
            return false;
        }
        action->kind = RobotActionKind::Key;
        action->text = Lower(arg);
        return true;
    }
    if (name == "text" && hasArg) {
        action->kind = RobotActionKind::SetText;
        action->text = arg;
        return true;
    }
    if (name == "closewindow" && hasArg) {
        if (arg.empty()) {
            *error = "'" + item + "': closewindow needs a window caption";
            return false;
        }
        action->kind = RobotActionKind::CloseWindow;
        action->text = arg;
        return true;
    }
    if (name == "click" && hasArg) {
        if (arg.empty()) {
            *error = "'" + item + "': click needs a button label";
            return false;
        }
        action->kind = RobotActionKind::ClickText;
        action->text = arg;
        return true;
    }
    if (hasArg) {
        *error = "'" + item + "': unknown action";
        return false;
    }
    // Any other bare word is a button label, so the usual answers read as the buttons do.
    action->kind = RobotActionKind::ClickText;
    action->text = item;
    return true;
}

} // namespace

bool ParseRobotAnswer(const std::string& word, RobotAnswer* answer, std::string* error)
{
    answer->source = word;
    answer->actions.clear();
    std::string::size_type start = 0;
    for (;;) {
        std::string::size_type comma = word.find(',', start);
        std::string item = word.substr(start, comma == std::string::npos ? std::string::npos
                                                                         : comma - start);
        if (item.empty()) {
            *error = "'" + word + "': an empty action";
            return false;
        }
        RobotAction action;
        if (!ParseAction(item, &action, error))
            return false;
        answer->actions.push_back(action);
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

bool ParseKeyName(const std::string& name, int* key)
{
    std::string rest = Lower(name);
    int modifiers = 0;
    static const struct { const char* prefix; int bit; } kModifiers[] = {
        {"shift+", ROBOT_KEY_SHIFT}, {"ctrl+", ROBOT_KEY_CTRL}, {"alt+", ROBOT_KEY_ALT}};
    for (bool found = true; found;) {
        found = false;
        for (const auto& m : kModifiers) {
            const std::string prefix = m.prefix;
            if (rest.size() > prefix.size() && rest.compare(0, prefix.size(), prefix) == 0) {
                modifiers |= m.bit;
                rest = rest.substr(prefix.size());
                found = true;
            }
        }
    }
    // Virtual-key codes, which are the same on every Windows.
    static const struct { const char* name; int code; } kNames[] = {
        {"tab", 0x09}, {"enter", 0x0D}, {"escape", 0x1B}, {"space", 0x20}, {"end", 0x23},
        {"home", 0x24}, {"left", 0x25}, {"up", 0x26}, {"right", 0x27}, {"down", 0x28}, {"f4", 0x73}};
    int code = 0;
    if (rest.size() == 1 && std::isalnum(static_cast<unsigned char>(rest[0])))
        code = std::toupper(static_cast<unsigned char>(rest[0]));   // 'A'..'Z', '0'..'9'
    for (const auto& k : kNames) {
        if (rest == k.name)
            code = k.code;
    }
    if (!code)
        return false;
    *key = code | modifiers;
    return true;
}

std::string ButtonReading(const std::string& label)
{
    std::string out;
    for (std::string::size_type i = 0; i < label.size(); ++i) {
        if (label[i] == '&') {
            if (i + 1 < label.size() && label[i + 1] == '&')
                out += '&', ++i;
            continue;
        }
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(label[i])));
    }
    return out;
}

bool ButtonMatches(const std::string& label, const std::string& wanted)
{
    std::string typed = wanted;
    for (char& c : typed) {
        if (c == '_')
            c = ' ';
    }
    return !typed.empty() && ButtonReading(label) == ButtonReading(typed);
}

std::string FirstLine(const std::string& text, bool* more)
{
    std::string::size_type end = text.find_first_of("\r\n");
    if (more) {
        std::string::size_type next = text.find_first_not_of("\r\n", end);
        *more = end != std::string::npos && next != std::string::npos;
    }
    return text.substr(0, end);
}

int LineCount(const std::string& text)
{
    if (text.empty())
        return 0;
    int lines = 0;
    for (char c : text) {
        if (c == '\n')
            ++lines;
    }
    if (text.back() != '\n')
        ++lines;
    return lines;
}

std::string RecordText(const std::string& text)
{
    std::string out = text;
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 32)
            c = ' ';
        else if (c == '"')
            c = '\'';
    }
    return out;
}
