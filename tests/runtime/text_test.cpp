// Lossless name conversion: every byte string survives the round trip, and
// names with control bytes never contain a real line feed after decoding.
#include <gtest/gtest.h>

#include "runtime/text.h"

TEST(Text, ValidUtf8DecodesNormally) {
    EXPECT_EQ(rt_text_from_os("Gr\xC3\xB6\xC3\x9F"
                              "e \xF0\x9F\x98\x80"),
              L"Größe \U0001F600");
    EXPECT_EQ(rt_text_to_os(L"Größe"), "Gr\xC3\xB6\xC3\x9F"
                                       "e");
}

TEST(Text, InvalidAndControlBytesRoundTrip) {
    const std::string awkward[] = {
        std::string("a\nb"),         std::string("\xFF\xFE"), std::string("x\xC3"), // truncated
        std::string("\xC0\xAF"),                                                    // overlong
        std::string("\xED\xA0\x80"),                                                // surrogate
        std::string("tab\there\r"),  std::string("\x7F ok"),
    };
    for (const std::string& bytes : awkward) {
        const std::wstring text = rt_text_from_os(bytes);
        EXPECT_EQ(rt_text_to_os(text), bytes);
        EXPECT_EQ(text.find(L'\n'), std::wstring::npos);
    }
}

TEST(Text, AllByteValuesRoundTrip) {
    std::string all;
    for (int i = 1; i < 256; ++i) all.push_back(static_cast<char>(i));
    EXPECT_EQ(rt_text_to_os(rt_text_from_os(all)), all);
    EXPECT_EQ(rt_text_to_utf8(rt_text_from_utf8(all)), all);
}

TEST(Text, Utf8KeepsLineFeedsAndLatin1MapsBytes) {
    EXPECT_EQ(rt_text_from_utf8("a\r\nb"), L"a\r\nb");
    EXPECT_EQ(rt_text_from_latin1("\xE4"), L"ä");
    EXPECT_EQ(rt_text_to_utf8(std::wstring(1, static_cast<wchar_t>(0xD801))), "\xEF\xBF\xBD");
}

TEST(Text, CodeBytesKeepTheCharactersOrderSurrogatesIncluded) {
    std::string plain, escaped, high;
    rt_text_append_code_bytes(plain, L"Äpfel €");
    EXPECT_EQ(plain, rt_text_to_utf8(L"Äpfel €"));
    // a lone surrogate (an undecodable byte of a name) keeps its own bytes
    rt_text_append_code_bytes(escaped, std::wstring(1, wchar_t(0xDC80)));
    rt_text_append_code_bytes(high, std::wstring(1, wchar_t(0x1F600)));
    EXPECT_EQ(escaped, "\xED\xB2\x80");
    EXPECT_LT(plain, escaped);
    EXPECT_LT(escaped, high);
}
