#include "base/GetField.h"

QString GetField(const QString &text, const QString &separator, int n)
{
    QString rest = text;
    QString field;
    int i = 1;
    qsizetype found = rest.size();
    while (i <= n && found != 0) {
        found = rest.indexOf(separator) + 1;
        if (found != 0) {
            field = rest.left(found - 1);
            rest.remove(0, found - 1 + separator.size());
            ++i;
        } else {
            field = rest;
        }
    }
    return i < n ? QString() : field;
}
