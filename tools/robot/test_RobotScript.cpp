// The robot's answer words and label rules: a misread answer would click the wrong button.
#include <gtest/gtest.h>

#include "RobotScript.h"

namespace {

RobotAnswer Parse(const std::string& word)
{
    RobotAnswer answer;
    std::string error;
    EXPECT_TRUE(ParseRobotAnswer(word, &answer, &error)) << word << ": " << error;
    return answer;
}

std::string ErrorOf(const std::string& word)
{
    RobotAnswer answer;
    std::string error;
    EXPECT_FALSE(ParseRobotAnswer(word, &answer, &error)) << word;
    return error;
}

TEST(RobotScript, ActionsInOrderWithTheirArguments)
{
    RobotAnswer answer = Parse("accept,select=3,check=15,uncheck=0,text=a=b,button=2,focus=400,"
                               "wait=250,enter,escape,close,default,Install_FreeDos,click=&OK,"
                               "closewindow=A_b,look");
    ASSERT_EQ(answer.actions.size(), 16u);
    const RobotActionKind kinds[] = {
        RobotActionKind::Accept, RobotActionKind::Select, RobotActionKind::Check,
        RobotActionKind::Uncheck, RobotActionKind::SetText, RobotActionKind::ClickIndex,
        RobotActionKind::Focus, RobotActionKind::Wait, RobotActionKind::Enter,
        RobotActionKind::Escape, RobotActionKind::Close, RobotActionKind::Default,
        RobotActionKind::ClickText, RobotActionKind::ClickText, RobotActionKind::CloseWindow,
        RobotActionKind::Look};
    for (size_t i = 0; i < answer.actions.size(); ++i)
        EXPECT_EQ(answer.actions[i].kind, kinds[i]) << "action " << i;
    EXPECT_EQ(answer.actions[1].number, 3);
    EXPECT_EQ(answer.actions[2].number, 15);
    EXPECT_EQ(answer.actions[4].text, "a=b");   // only the first '=' separates
    EXPECT_EQ(answer.actions[5].number, 2);
    EXPECT_EQ(answer.actions[6].number, 400);
    EXPECT_EQ(answer.actions[7].number, 250);
    EXPECT_EQ(answer.actions[12].text, "Install_FreeDos");
    EXPECT_EQ(answer.actions[13].text, "&OK");
    EXPECT_EQ(answer.actions[14].text, "A_b");
    EXPECT_EQ(answer.source.substr(0, 7), "accept,");
}

TEST(RobotScript, KeywordsAreCaseFreeAndAnEmptyTextIsAllowed)
{
    RobotAnswer answer = Parse("ACCEPT,Select=0,text=");
    ASSERT_EQ(answer.actions.size(), 3u);
    EXPECT_EQ(answer.actions[0].kind, RobotActionKind::Accept);
    EXPECT_EQ(answer.actions[1].kind, RobotActionKind::Select);
    EXPECT_EQ(answer.actions[2].kind, RobotActionKind::SetText);
    EXPECT_EQ(answer.actions[2].text, "");
}

TEST(RobotScript, MalformedWordsAreRefusedWithTheReason)
{
    EXPECT_NE(ErrorOf("").find("empty action"), std::string::npos);
    EXPECT_NE(ErrorOf("accept,,OK").find("empty action"), std::string::npos);
    EXPECT_NE(ErrorOf("accept,").find("empty action"), std::string::npos);
    EXPECT_NE(ErrorOf("check=16").find("0 to 15"), std::string::npos);
    EXPECT_NE(ErrorOf("check=-1").find("0 to 15"), std::string::npos);
    EXPECT_NE(ErrorOf("select=x").find("number"), std::string::npos);
    EXPECT_NE(ErrorOf("select=").find("number"), std::string::npos);
    EXPECT_NE(ErrorOf("button=32").find("0 to 31"), std::string::npos);
    EXPECT_NE(ErrorOf("wait=99999999999").find("number"), std::string::npos);
    EXPECT_NE(ErrorOf("click=").find("label"), std::string::npos);
    EXPECT_NE(ErrorOf("frobnicate=1").find("unknown action"), std::string::npos);
}

TEST(RobotScript, KeysAreVirtualKeyCodesWithTheirModifiers)
{
    RobotAnswer answer = Parse("key=tab,key=Shift+Tab,key=space,key=alt+c,key=c,key=down,key=ctrl+alt+F4,key=7");
    const int codes[] = {0x09, 0x09 | ROBOT_KEY_SHIFT, 0x20, 'C' | ROBOT_KEY_ALT, 'C', 0x28,
                         0x73 | ROBOT_KEY_CTRL | ROBOT_KEY_ALT, '7'};
    ASSERT_EQ(answer.actions.size(), 8u);
    for (size_t i = 0; i < answer.actions.size(); ++i) {
        EXPECT_EQ(answer.actions[i].kind, RobotActionKind::Key) << "action " << i;
        EXPECT_EQ(answer.actions[i].number, codes[i]) << "action " << i;
    }
    EXPECT_EQ(answer.actions[1].text, "shift+tab");
    for (const char* bad : {"key=", "key=alt+", "key=shift", "key=cc", "key=f5", "key=alt-c", "key=+"})
        EXPECT_NE(ErrorOf(bad).find("unknown key"), std::string::npos) << bad;
}

TEST(RobotScript, ButtonLabelsMatchAsAPersonReadsThem)
{
    EXPECT_TRUE(ButtonMatches("&Continue", "Continue"));
    EXPECT_TRUE(ButtonMatches("&Continue", "continue"));
    EXPECT_TRUE(ButtonMatches("&Install FreeDos", "Install_FreeDos"));
    EXPECT_TRUE(ButtonMatches("&Install FreeDos", "install freedos"));
    EXPECT_TRUE(ButtonMatches("&OK", "&ok"));
    EXPECT_TRUE(ButtonMatches("Save && quit", "save_&&_quit"));
    EXPECT_FALSE(ButtonMatches("&Abort installation", "Abort"));   // whole labels only
    EXPECT_FALSE(ButtonMatches("&Abort", "Abort installation"));
    EXPECT_FALSE(ButtonMatches("", ""));
    EXPECT_EQ(ButtonReading("&Modify current OS"), "modify current os");
    EXPECT_EQ(ButtonReading("A&&B"), "a&b");
}

TEST(RobotScript, LinesOfRecordedTexts)
{
    bool more = true;
    EXPECT_EQ(FirstLine("one line", &more), "one line");
    EXPECT_FALSE(more);
    EXPECT_EQ(FirstLine("first\r\nsecond", &more), "first");
    EXPECT_TRUE(more);
    EXPECT_EQ(FirstLine("first\n", &more), "first");
    EXPECT_FALSE(more);                 // a closing line end starts no line
    EXPECT_EQ(FirstLine("", &more), "");
    EXPECT_FALSE(more);
    EXPECT_EQ(LineCount(""), 0);
    EXPECT_EQ(LineCount("a"), 1);
    EXPECT_EQ(LineCount("a\r\nb\r\n"), 2);
    EXPECT_EQ(LineCount("a\r\nb\r\nc"), 3);
    EXPECT_EQ(RecordText("say \"hi\"\tnow\r\n"), "say 'hi' now  ");
}

} // namespace
