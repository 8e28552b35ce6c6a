#pragma once

#include <QByteArrayView>
#include <QString>

/// Writes `data` to a temporary file beside `path` and renames it over
/// `path` only when every byte is on disk, so a failed or interrupted write
/// leaves the previous file as it was. Returns false (with the reason in
/// `error` when given) on any failure; nothing is left behind then.
bool writeFileAtomically(const QString& path, QByteArrayView data, QString* error = nullptr);
