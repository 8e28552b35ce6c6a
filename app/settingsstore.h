#pragma once

#include "app/settingskeys.h"

#include <QSettings>
#include <QString>

#include <memory>

/// The per-user settings: one group per section of an INI file, integers as
/// integers and strings as strings; a value that is absent (or not of its
/// type) reads as its default. Values are written one at a time by the
/// operation that changes them and reach the disk at once. Interface thread
/// only.
class SettingsStore {
public:
    /// The user's store, "$XDG_CONFIG_HOME/Zelvik Technologies/Pixoria.conf".
    SettingsStore();
    /// A store in the given file (tests, tools).
    explicit SettingsStore(const QString& filePath);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    /// The folders that string defaults are made of; both end in "/".
    void setDefaultFolders(const QString& programFolder, const QString& windowsFolder);

    int read(const IntSetting& setting) const;
    QString read(const StringSetting& setting) const;
    void write(const IntSetting& setting, int value);
    void write(const StringSetting& setting, const QString& value);
    QString defaultValue(const StringSetting& setting) const;

    /// Values whose names are made at run time (the "tn" keys).
    int readInt(const QString& section, const QString& key, int fallback) const;
    void writeInt(const QString& section, const QString& key, int value);
    QString readString(const QString& section, const QString& key, const QString& fallback) const;
    void writeString(const QString& section, const QString& key, const QString& value);

    bool contains(const QString& section, const QString& key) const;
    /// "section/key" of every value present, for checks of what was written.
    QStringList storedKeys() const;
    QString filePath() const;

    /// The backing store, for the recent-file list's own group.
    QSettings& backend() { return *m_settings; }

private:
    std::unique_ptr<QSettings> m_settings;
    QString m_programFolder;
    QString m_windowsFolder;
};
