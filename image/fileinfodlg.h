#pragma once

#include <QDialog>
#include <QString>

namespace imaging {
struct FileInfo;
}

namespace image {

/// What the "File Information" dialog shows of one file.
struct FileInfoValues {
    QString name;
    QString formatName;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    qint64 sizeOnDisk = 0;
    qint64 sizeInMemory = 0;
    QString compression;
    int pages = 0;

    /// The values of a file's information, the memory size by imageSizeInMemory().
    static FileInfoValues fromFileInfo(const QString& path, const imaging::FileInfo& info);
};

/// The bytes the picture takes in memory, unpadded: width x height x bits / 8
/// below 8 bits, one to four bytes a pixel at 8, 16, 24 and 32 bits; 0 for
/// other depths.
qint64 imageSizeInMemory(int width, int height, int bitsPerPixel);

}  // namespace image

class QLabel;

/// "File Information": the values of one file, read only, with an OK button.
/// Interface thread only.
class CFileInfoDlg : public QDialog {
    Q_OBJECT

public:
    explicit CFileInfoDlg(const image::FileInfoValues& values, QWidget* parent = nullptr);

    /// The value texts in the order shown, for tests.
    QStringList valueTexts() const;

private:
    QList<QLabel*> m_values;
};
