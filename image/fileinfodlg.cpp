#include "image/fileinfodlg.h"

#include "image/formats.h"
#include "imaging/fileinfo.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace image {

FileInfoValues FileInfoValues::fromFileInfo(const QString& path, const imaging::FileInfo& info) {
    FileInfoValues values;
    values.name = QFileInfo(path).fileName();
    values.formatName = image::formatName(info.format);
    values.width = info.width;
    values.height = info.height;
    values.bitsPerPixel = info.bitsPerPixel;
    values.sizeOnDisk = info.sizeDisk;
    values.sizeInMemory = imageSizeInMemory(info.width, info.height, info.bitsPerPixel);
    values.compression = info.compression;
    values.pages = info.pages;
    return values;
}

qint64 imageSizeInMemory(int width, int height, int bitsPerPixel) {
    const qint64 pixels = qint64(width) * height;
    if (bitsPerPixel >= 1 && bitsPerPixel <= 7) {
        return pixels * bitsPerPixel / 8;
    }
    switch (bitsPerPixel) {
        case 8:
            return pixels;
        case 16:
            return pixels * 2;
        case 24:
            return pixels * 3;
        case 32:
            return pixels * 4;
        default:
            return 0;
    }
}

}  // namespace image

CFileInfoDlg::CFileInfoDlg(const image::FileInfoValues& values, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CFileInfoDlg"));
    setWindowTitle(QStringLiteral("File Information"));
    auto* form = new QFormLayout;
    const auto add = [&](const char* label, const QString& value) {
        auto* field = new QLabel(value, this);
        field->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(QString::fromLatin1(label), field);
        m_values << field;
    };
    add("File Name:", values.name);
    add("Format:", values.formatName);
    add("Width:", QString::number(values.width));
    add("Height:", QString::number(values.height));
    add("Bits Per Pixel:", QString::number(values.bitsPerPixel));
    add("Size On Disk:", QString::number(values.sizeOnDisk));
    add("Size In Memory:", QString::number(values.sizeInMemory));
    add("Compression:", values.compression);
    add("Pages:", QString::number(values.pages));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QStringList CFileInfoDlg::valueTexts() const {
    QStringList texts;
    for (const QLabel* field : m_values) {
        texts << field->text();
    }
    return texts;
}
