#include "base/RegistryFileFormat.h"

#include <QIODevice>
#include <QMap>
#include <QTextStream>

namespace RegistryFileFormat {

namespace {

QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '"': out += QLatin1String("\\\""); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        default: out += c;
        }
    }
    return out;
}

// Reads a quoted text starting at pos (on the opening quote); pos ends after the closing one.
bool unquote(const QString &line, qsizetype &pos, QString &out)
{
    if (pos >= line.size() || line[pos] != QLatin1Char('"'))
        return false;
    out.clear();
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line[pos];
        if (c == QLatin1Char('"')) {
            ++pos;
            return true;
        }
        if (c == QLatin1Char('\\') && pos + 1 < line.size()) {
            const QChar n = line[++pos];
            out += n == QLatin1Char('n') ? QChar(u'\n') : n == QLatin1Char('r') ? QChar(u'\r') : n;
        } else {
            out += c;
        }
    }
    return false;
}

} // namespace

QSettings::Format format()
{
    static const QSettings::Format registered =
        QSettings::registerFormat(QStringLiteral("reg"), &read, &write, Qt::CaseSensitive);
    return registered;
}

bool read(QIODevice &device, QSettings::SettingsMap &map)
{
    QTextStream in(&device);
    in.setEncoding(QStringConverter::Utf8);
    QString section;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        qsizetype pos = 0;
        QString name;
        if (!unquote(line, pos, name) || pos >= line.size() || line[pos] != QLatin1Char('='))
            return false;
        ++pos;
        const QString key = section.isEmpty() ? name : section + QLatin1Char('/') + name;
        if (line.mid(pos).startsWith(QLatin1String("dword:"))) {
            bool ok = false;
            const uint raw = line.mid(pos + 6).toUInt(&ok, 16);
            if (!ok)
                return false;
            map.insert(key, static_cast<int>(raw));
        } else {
            QString value;
            if (!unquote(line, pos, value))
                return false;
            map.insert(key, value);
        }
    }
    return true;
}

bool write(QIODevice &device, const QSettings::SettingsMap &map)
{
    // Group the values by key; QMap keeps keys sorted, so a key's values stay together.
    QMap<QString, QList<QPair<QString, QVariant>>> sections;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const qsizetype slash = it.key().lastIndexOf(QLatin1Char('/'));
        const QString section = slash < 0 ? QString() : it.key().left(slash);
        sections[section].append({it.key().mid(slash + 1), it.value()});
    }
    QTextStream out(&device);
    out.setEncoding(QStringConverter::Utf8);
    for (auto s = sections.cbegin(); s != sections.cend(); ++s) {
        if (!s.key().isEmpty())
            out << '[' << s.key() << "]\n";
        for (const auto &[name, value] : s.value()) {
            out << '"' << escaped(name) << "\"=";
            const int type = value.metaType().id();
            if (type == QMetaType::Int || type == QMetaType::UInt || type == QMetaType::LongLong
                || type == QMetaType::ULongLong || type == QMetaType::Bool) {
                out << "dword:"
                    << QString::number(static_cast<uint>(value.toLongLong()), 16).rightJustified(8, QLatin1Char('0'));
            } else {
                out << '"' << escaped(value.toString()) << '"';
            }
            out << '\n';
        }
    }
    return out.status() == QTextStream::Ok;
}

} // namespace RegistryFileFormat
