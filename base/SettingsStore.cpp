#include "base/SettingsStore.h"

#include "base/RegistryFileFormat.h"

#include <QMetaType>

namespace {

// A subkey with no values is remembered through this marker, since QSettings has no
// notion of an empty group.
const QString kKeyMarker = QStringLiteral(".key");

bool isIntegerType(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

QString joinKey(const QString &a, const QString &b)
{
    if (a.isEmpty())
        return b;
    if (b.isEmpty())
        return a;
    return a + QLatin1Char('/') + b;
}

QString normalisedKey(QString key)
{
    key.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (key.startsWith(QLatin1Char('/')))
        key.remove(0, 1);
    while (key.endsWith(QLatin1Char('/')))
        key.chop(1);
    return key;
}

} // namespace

SettingsStore::SettingsStore(QSettings &settings)
    : m_settings(settings)
{
}

std::unique_ptr<QSettings> SettingsStore::openProgramSettings()
{
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QStringLiteral("Brenmark"), QStringLiteral("Dorvalen"));
#else
    auto settings = std::make_unique<QSettings>(RegistryFileFormat::format(), QSettings::UserScope,
                                                QStringLiteral("Brenmark"), QStringLiteral("Dorvalen"));
    settings->setFallbacksEnabled(false);
    return settings;
#endif
}

std::unique_ptr<QSettings> SettingsStore::openFile(const QString &path)
{
    return std::make_unique<QSettings>(path, RegistryFileFormat::format());
}

bool SettingsStore::keyExists(const QString &key) const
{
    const QString k = normalisedKey(key);
    if (k.isEmpty())
        return true;
    const qsizetype slash = k.lastIndexOf(QLatin1Char('/'));
    m_settings.beginGroup(slash < 0 ? QString() : k.left(slash));
    const bool found = m_settings.childGroups().contains(k.mid(slash + 1));
    m_settings.endGroup();
    return found;
}

bool SettingsStore::openKey(const QString &key, bool canCreate)
{
    const QString k = normalisedKey(key);
    if (!keyExists(k)) {
        if (!canCreate)
            return false;
        m_settings.setValue(joinKey(k, kKeyMarker), 1);
    }
    m_currentKey = k;
    return true;
}

void SettingsStore::closeKey()
{
    m_currentKey.clear();
}

bool SettingsStore::deleteKey(const QString &key)
{
    const QString k = normalisedKey(key);
    if (k.isEmpty() || !keyExists(k))
        return false;
    m_settings.remove(k);
    if (m_currentKey.compare(k, Qt::CaseInsensitive) == 0
        || m_currentKey.startsWith(k + QLatin1Char('/'), Qt::CaseInsensitive))
        m_currentKey.clear();
    return true;
}

QStringList SettingsStore::subKeys() const
{
    m_settings.beginGroup(m_currentKey);
    const QStringList groups = m_settings.childGroups();
    m_settings.endGroup();
    return groups;
}

QString SettingsStore::path(const QString &name) const
{
    return joinKey(m_currentKey, name);
}

QVariant SettingsStore::stored(const QString &name) const
{
    if (name == kKeyMarker)
        return {};
    return m_settings.value(path(name));
}

bool SettingsStore::valueExists(const QString &name) const
{
    return stored(name).isValid();
}

std::optional<int> SettingsStore::readInteger(const QString &name) const
{
    const QVariant v = stored(name);
    if (!isIntegerType(v))
        return std::nullopt;
    return v.toInt();
}

std::optional<QString> SettingsStore::readString(const QString &name) const
{
    const QVariant v = stored(name);
    if (v.metaType().id() != QMetaType::QString)
        return std::nullopt;
    return v.toString();
}

std::optional<bool> SettingsStore::readBool(const QString &name) const
{
    // Booleans live as integers, as the registry keeps them.
    const std::optional<int> v = readInteger(name);
    if (!v)
        return std::nullopt;
    return *v != 0;
}

void SettingsStore::writeInteger(const QString &name, int value)
{
    m_settings.setValue(path(name), value);
}

void SettingsStore::writeString(const QString &name, const QString &value)
{
    m_settings.setValue(path(name), value);
}

void SettingsStore::writeBool(const QString &name, bool value)
{
    writeInteger(name, value ? 1 : 0);
}

bool SettingsStore::deleteValue(const QString &name)
{
    if (!valueExists(name))
        return false;
    m_settings.remove(path(name));
    return true;
}

void SettingsStore::sync()
{
    m_settings.sync();
}
