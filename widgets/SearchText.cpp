#include "widgets/SearchText.h"

#include <array>

namespace {

// Letters with a stroke have no decomposition; these are the ones an operator types
// without the stroke.
char16_t strokeLess(char16_t c)
{
    switch (c) {
    case u'đ': case u'Đ': return u'd';
    case u'ł': case u'Ł': return u'l';
    case u'ø': case u'Ø': return u'o';
    case u'ħ': case u'Ħ': return u'h';
    default: return 0;
    }
}

// One folded code unit per code unit of the Basic Multilingual Plane, built once: the
// base letter of a decomposable character, lower case. Surrogates fold to themselves.
const std::array<char16_t, 65536> &foldTable()
{
    static const std::array<char16_t, 65536> table = [] {
        std::array<char16_t, 65536> t{};
        for (int u = 0; u < 65536; ++u) {
            const auto c = char16_t(u);
            t[u] = c;
            if (QChar::isSurrogate(c))
                continue;
            if (const char16_t plain = strokeLess(c)) {
                t[u] = plain;
                continue;
            }
            QChar base(c);
            // Decompositions nest ("ǖ" is "ü" and a macron): follow them to the letter.
            while (base.unicode() >= 0x80 && base.decompositionTag() != QChar::NoDecomposition) {
                const QString parts = base.decomposition();
                if (parts.isEmpty() || parts.at(0).isMark() || parts.at(0) == base)
                    break;
                base = parts.at(0);
            }
            t[u] = base.toCaseFolded().unicode();
        }
        return t;
    }();
    return table;
}

} // namespace

namespace SearchText {

QString folded(const QString &text)
{
    const std::array<char16_t, 65536> &table = foldTable();
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        // Combining marks typed or stored apart from their letter vanish as well.
        if (c.unicode() >= 0x300 && c.isMark())
            continue;
        out.append(QChar(table[c.unicode()]));
    }
    return out;
}

} // namespace SearchText
