// Text at the Qt boundary: UTF-32 std::wstring <-> UTF-16 QString, keeping
// lone surrogates (escaped bytes of file names) as single units.
#include "toolkit/internal.h"

QString tk_qstring(const std::wstring& text) {
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (wchar_t wc : text) {
        const auto cp = static_cast<char32_t>(wc);
        if (cp < 0x10000) {
            out.append(QChar(static_cast<char16_t>(cp)));
        } else if (cp <= 0x10FFFF) {
            out.append(QChar(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10))));
            out.append(QChar(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF))));
        } else {
            out.append(QChar(0xFFFD));
        }
    }
    return out;
}

std::wstring tk_wstring(const QString& text) {
    std::wstring out;
    out.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        const bool pair = QChar::isHighSurrogate(u) && i + 1 < text.size() &&
                          QChar::isLowSurrogate(text[i + 1].unicode());
        if (pair) {
            out.push_back(static_cast<wchar_t>(QChar::surrogateToUcs4(u, text[i + 1].unicode())));
            ++i;
        } else {
            out.push_back(static_cast<wchar_t>(u));
        }
    }
    return out;
}
