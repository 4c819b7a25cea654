// The filter box's text: wildcard patterns over the whole name, plain text
// anywhere in it.
#include "app/panes/name_filter.h"

#include <gtest/gtest.h>

TEST(NameFilter, WildcardsCoverTheWholeNameAndPlainTextAnyPart) {
    struct Case {
        const wchar_t* filter;
        const wchar_t* name;
        bool kept;
    };
    const Case cases[] = {
        {L"*00*5.txt", L"bild_0045.txt", true},
        {L"*00*5.txt", L"bild_0045.txt.bak", false}, // the whole name, not a part
        {L"*.txt", L"notiz.txt", true},
        {L"*.txt", L"notiz.txt2", false},
        {L"*.txt", L".txt", true},
        {L"?.png", L"a.png", true},
        {L"?.png", L"ab.png", false},
        {L"a*b*c", L"aXbYbZc", true}, // a star gives back what the next part needs
        {L"a*b*c", L"aXbYbZ", false},
        {L"**", L"", true},
        {L"txt", L"notiz.txt", true}, // no wildcard: anywhere in the name
        {L"txt", L"notiz.md", false},
        {L".", L"a.b", true},
        {L"", L"alles", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NameFilter(c.filter).Keeps(c.name), c.kept) << c.filter << " / " << c.name;
}

TEST(NameFilter, ManyStarsStayFast) {
    const std::wstring name(5000, L'a');
    EXPECT_FALSE(WildcardMatches(L"*a*a*a*a*a*a*a*a*b", name));
}
