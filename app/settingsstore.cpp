#include "app/settingsstore.h"

namespace {

QString keyPath(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

}  // namespace

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("Zelvik Technologies"),
                                             QStringLiteral("Pixoria"))) {}

SettingsStore::SettingsStore(const QString& filePath)
    : m_settings(std::make_unique<QSettings>(filePath, QSettings::NativeFormat)) {}

SettingsStore::~SettingsStore() = default;

void SettingsStore::setDefaultFolders(const QString& programFolder, const QString& windowsFolder) {
    m_programFolder = programFolder;
    m_windowsFolder = windowsFolder;
}

int SettingsStore::readInt(const QString& section, const QString& key, int fallback) const {
    const QVariant value = m_settings->value(keyPath(section, key));
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok ? number : fallback;
}

void SettingsStore::writeInt(const QString& section, const QString& key, int value) {
    m_settings->setValue(keyPath(section, key), value);
    m_settings->sync();
}

QString SettingsStore::readString(const QString& section, const QString& key,
                                  const QString& fallback) const {
    const QVariant value = m_settings->value(keyPath(section, key));
    // A list (an unquoted value with commas, written by hand) is not a string.
    if (!value.isValid() || value.typeId() == QMetaType::QStringList) {
        return fallback;
    }
    return value.toString();
}

void SettingsStore::writeString(const QString& section, const QString& key, const QString& value) {
    m_settings->setValue(keyPath(section, key), value);
    m_settings->sync();
}

int SettingsStore::read(const IntSetting& setting) const {
    return readInt(QLatin1String(setting.section), QLatin1String(setting.key), setting.fallback);
}

QString SettingsStore::read(const StringSetting& setting) const {
    return readString(QLatin1String(setting.section), QLatin1String(setting.key),
                      defaultValue(setting));
}

void SettingsStore::write(const IntSetting& setting, int value) {
    writeInt(QLatin1String(setting.section), QLatin1String(setting.key), value);
}

void SettingsStore::write(const StringSetting& setting, const QString& value) {
    writeString(QLatin1String(setting.section), QLatin1String(setting.key), value);
}

QString SettingsStore::defaultValue(const StringSetting& setting) const {
    const QString text = QString::fromUtf8(setting.text);
    switch (setting.kind) {
        case StringSetting::Default::ProgramFolder:
            return m_programFolder + text;
        case StringSetting::Default::WindowsFolder:
            return m_windowsFolder + text;
        case StringSetting::Default::Text:
            break;
    }
    return text;
}

bool SettingsStore::contains(const QString& section, const QString& key) const {
    return m_settings->contains(keyPath(section, key));
}

QStringList SettingsStore::storedKeys() const {
    return m_settings->allKeys();
}

QString SettingsStore::filePath() const {
    return m_settings->fileName();
}
