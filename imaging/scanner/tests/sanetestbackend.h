#pragma once

#include <QString>

/// A private SANE configuration for tests: dll.conf names only SANE's `test`
/// backend (or nothing), test.conf fixes its start values, and
/// SANE_CONFIG_DIR points at it. Make it before SANE starts. SANE remembers
/// the folder for the whole process, so every test of a process shares one
/// folder and this only rewrites the files in it. One thread.
class SaneTestBackend {
public:
    explicit SaneTestBackend(bool withTestBackend = true);

    bool isValid() const { return !m_folder.isEmpty(); }

private:
    QString m_folder;
};
