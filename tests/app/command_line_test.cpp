// "cd" on the command line: what is a cd, and where it leads.
#include "app/shell/command_line.h"

#include <gtest/gtest.h>

TEST(CommandLine, CdIsTheWordCdAndItsArgument) {
    struct Case {
        const wchar_t* line;
        bool cd;
        const wchar_t* argument;
    };
    const Case cases[] = {
        {L"cd Dokumente", true, L"Dokumente"},
        {L"  cd   ..  ", true, L".."},
        {L"cd", true, L""},
        {L"cd \"Meine Bilder\"", true, L"Meine Bilder"},
        {L"cd 'Meine Bilder'", true, L"Meine Bilder"},
        {L"cdrecord x", false, L""},
        {L"ls; cd x", false, L""},
        {L"echo cd", false, L""},
    };
    for (const Case& c : cases) {
        std::wstring argument = L"-";
        EXPECT_EQ(CdArgument(c.line, &argument), c.cd) << c.line;
        if (c.cd) {
            EXPECT_EQ(argument, c.argument) << c.line;
        }
    }
}

TEST(CommandLine, CdTargetsAreWorkedOutByName) {
    const std::wstring here = L"/home/anna/Bilder/", home = L"/home/anna";
    struct Case {
        const wchar_t* argument;
        const wchar_t* target;
    };
    const Case cases[] = {
        {L"..", L"/home/anna/"},
        {L"../..", L"/home/"},
        {L"../../../../..", L"/"},
        {L"Urlaub", L"/home/anna/Bilder/Urlaub/"},
        {L"./Urlaub/../2024/", L"/home/anna/Bilder/2024/"},
        {L"/tmp", L"/tmp/"},
        {L"/tmp//x/.", L"/tmp/x/"},
        {L"~", L"/home/anna/"},
        {L"", L"/home/anna/"},
        {L"~/Dokumente", L"/home/anna/Dokumente/"},
        {L"~anna", L"/home/anna/Bilder/~anna/"}, // no user lookup: a name like any
    };
    for (const Case& c : cases) EXPECT_EQ(CdTarget(here, c.argument, home), c.target) << c.argument;
}
