#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// The registry as the program knows it: keys (groups) below the program's own key,
// values that are either integers or texts, and reads that fail on a missing value or
// on a value of the other type. The QSettings comes from the caller, so tests use a
// temporary file and the program uses its own key.
class SettingsStore
{
public:
    explicit SettingsStore(QSettings &settings);

    // The program's own settings: HKCU\Software\Brenmark\Dorvalen on Windows, a typed
    // file in the user's config folder elsewhere.
    static std::unique_ptr<QSettings> openProgramSettings();
    // A typed settings file at an explicit path (tests, the demo profile).
    static std::unique_ptr<QSettings> openFile(const QString &path);

    // Keys are paths below the program's key, "" being the program's key itself,
    // "DataBase" or "Device1" a subkey.
    bool keyExists(const QString &key) const;
    // Makes key the current key. Without canCreate a missing key is not created and
    // the call fails; with it the key exists from now on.
    bool openKey(const QString &key, bool canCreate);
    void closeKey();
    QString currentKey() const { return m_currentKey; }
    bool deleteKey(const QString &key);
    QStringList subKeys() const;

    // Values of the current key.
    bool valueExists(const QString &name) const;
    std::optional<int> readInteger(const QString &name) const;
    std::optional<QString> readString(const QString &name) const;
    std::optional<bool> readBool(const QString &name) const;
    void writeInteger(const QString &name, int value);
    void writeString(const QString &name, const QString &value);
    void writeBool(const QString &name, bool value);
    bool deleteValue(const QString &name);

    void sync();

private:
    QString path(const QString &name) const;
    QVariant stored(const QString &name) const;

    QSettings &m_settings;
    QString m_currentKey;
};
