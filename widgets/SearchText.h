#pragma once

#include <QString>

// Text as the lists compare it when they sort and filter: without regard to case or
// diacritics, so "dord" finds "Đorđević" and "cacak" finds "Čačak".
namespace SearchText {

QString folded(const QString &text);

// True when the folded needle occurs in the folded haystack; an empty needle matches all.
inline bool contains(const QString &foldedHaystack, const QString &foldedNeedle)
{
    return foldedHaystack.contains(foldedNeedle);
}

} // namespace SearchText
