#pragma once

#include "base/SettingsStore.h"

#include <QTemporaryDir>

#include <memory>

// A settings file of its own in a temporary folder, removed with the object.
class TempSettings
{
public:
    TempSettings();

    QSettings &settings() { return *m_settings; }
    QString fileName() const { return m_settings->fileName(); }
    // Writes to disk and reads the file again, as a new start of the program would.
    void reload();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> m_settings;
};
