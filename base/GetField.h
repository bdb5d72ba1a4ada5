#pragma once

#include <QString>

// The n-th field (from 1) of text split at separator; the last field is what follows the
// last separator, and a field beyond the last is empty.
QString GetField(const QString &text, const QString &separator, int n);
