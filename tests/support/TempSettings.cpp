#include "tests/support/TempSettings.h"

TempSettings::TempSettings()
    : m_settings(SettingsStore::openFile(m_dir.filePath(QStringLiteral("settings.reg"))))
{
}

void TempSettings::reload()
{
    const QString path = m_settings->fileName();
    m_settings->sync();
    m_settings = SettingsStore::openFile(path);
}
