#pragma once

#include <QString>

#include <stdexcept>

// A failed database operation, carrying the driver's own text. Callers catch it, roll
// back their transaction and show their own message.
class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromStdString(what()); }
};
