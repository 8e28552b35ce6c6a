#include "image/filedialog.h"
#include "image/compressiondlg.h"
#include "image/fileinfodlg.h"
#include "image/formats.h"
#include "image/imageoptionsdlg.h"
#include "imaging/imagefile.h"
#include "platform/testing/scriptedprompt.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QFileSystemModel>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class OpenDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        imaging::ImageHandle image;
        imaging::createImage(&image, 30, 20, 24);
        ASSERT_EQ(imaging::saveFile(path("a.png"), image, 75, 24), 1);
        ASSERT_EQ(imaging::saveFile(path("b.bmp"), image, 6, 24), 1);
        QFile text(path("notes.txt"));
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write("not a picture\n");
    }

    QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }

    /// Selects the files in the dialog's list, as clicks would.
    void select(CFpicFileDialog& dialog, const QStringList& names) {
        auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
        ASSERT_NE(view, nullptr);
        auto* model = qobject_cast<QFileSystemModel*>(view->model());
        ASSERT_NE(model, nullptr);
        view->selectionModel()->clearSelection();
        for (const QString& name : names) {
            view->selectionModel()->select(model->index(folder.filePath(name)),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    QTemporaryDir folder;
    ScriptedPrompt prompt;
};

TEST_F(OpenDialog, FileInfoNeedsExactlyOneFile) {
    image::OpenRequest request{QStringLiteral("Open"), folder.path(), 8};
    CFpicFileDialog dialog(prompt, request);
    EXPECT_EQ(dialog.selectedNameFilter(), image::openFilters()[7].label);
    QPushButton* info = dialog.extraButton();
    EXPECT_EQ(info->text(), QStringLiteral("File Info"));
    EXPECT_FALSE(info->isEnabled());

    select(dialog, {QStringLiteral("a.png")});
    EXPECT_TRUE(info->isEnabled());
    select(dialog, {QStringLiteral("a.png"), QStringLiteral("b.bmp")});
    EXPECT_FALSE(info->isEnabled());
    EXPECT_EQ(dialog.showFileInfo(), nullptr);
    EXPECT_TRUE(prompt.records().isEmpty());

    // The filter chosen is remembered.
    Q_EMIT dialog.filterSelected(image::openNameFilters()[29]);
    EXPECT_EQ(dialog.openChoice().filterIndex, 30);
    EXPECT_FALSE(dialog.openChoice().accepted);
}

TEST_F(OpenDialog, FileInfoShowsThePictureOrSaysThereIsNone) {
    CFpicFileDialog dialog(prompt, image::OpenRequest{QString(), folder.path(), 1});
    imaging::FileOptions options = imaging::defaultFileOptions();
    options.pageLimit = 3;
    imaging::setDefaultFileOptions(options);

    select(dialog, {QStringLiteral("notes.txt")});
    EXPECT_EQ(dialog.showFileInfo(), nullptr);
    EXPECT_EQ(prompt.texts(),
              QStringList(QStringLiteral("File Information not available for this file")));
    EXPECT_EQ(imaging::defaultFileOptions(), options);

    select(dialog, {QStringLiteral("b.bmp")});
    QPointer<QDialog> shown = dialog.showFileInfo();
    auto* info = qobject_cast<CFileInfoDlg*>(shown.data());
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->windowTitle(), QStringLiteral("File Information"));
    const QStringList values = info->valueTexts();
    EXPECT_EQ(values[0], QStringLiteral("b.bmp"));
    EXPECT_EQ(values[1], QStringLiteral("Windows BMP"));
    EXPECT_EQ(values.mid(2, 3), QStringList({"30", "20", "24"}));
    EXPECT_EQ(values[6], QStringLiteral("1800"));
    EXPECT_EQ(imaging::defaultFileOptions(), options);
    EXPECT_EQ(prompt.records().size(), 1);
    info->accept();
    imaging::setDefaultFileOptions({});
}

class SaveDialog : public OpenDialog {
protected:
    image::SaveRequest request(int typeIndex) {
        image::SaveRequest save;
        save.folder = folder.path();
        save.proposedName = QStringLiteral("holiday");
        save.typeIndex = typeIndex;
        save.image = &image;
        return save;
    }

    imaging::ImageHandle image = [] {
        imaging::ImageHandle handle;
        imaging::createImage(&handle, 60, 40, 8);
        return handle;
    }();
};

TEST_F(SaveDialog, FilterChangesApplyTheSaveType) {
    CFpicFileDialog dialog(prompt, request(0));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Save As"));
    EXPECT_EQ(dialog.extraButton()->text(), QStringLiteral("&Options"));
    EXPECT_EQ(dialog.selectedNameFilter(), image::saveTypes()[0].label);
    EXPECT_EQ(dialog.saveState().options().bitsPerPixel, 8);  // the image's own
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("bmp"));

    for (int index = 1; index <= 31; ++index) {
        Q_EMIT dialog.filterSelected(image::saveNameFilters()[index - 1]);
        EXPECT_EQ(dialog.typeIndex(), index);
        EXPECT_EQ(dialog.extraButton()->isEnabled(), image::saveType(index).options) << index;
        EXPECT_EQ(dialog.defaultSuffix(), image::saveType(index).extension);
        // Every enabled button opens a dialog.
        if (dialog.extraButton()->isEnabled()) {
            QPointer<QDialog> shown = dialog.showOptions();
            ASSERT_NE(shown, nullptr) << index;
            shown->reject();
        }
    }
}

TEST_F(SaveDialog, OptionsOkTakesTheChoiceAndCancelKeepsTheOld) {
    CFpicFileDialog dialog(prompt, request(26));
    EXPECT_EQ(dialog.saveState().options().format, 3);

    auto* tif = qobject_cast<CImageOptionsDlg*>(dialog.showOptions());
    ASSERT_NE(tif, nullptr);
    EXPECT_EQ(tif->windowTitle(), QStringLiteral("TIF Image Options"));
    tif->button(QStringLiteral("&PackBits Compression"))->click();
    tif->button(QStringLiteral("&3"))->click();
    tif->accept();
    EXPECT_EQ(dialog.saveState().options().format, 87);
    EXPECT_EQ(dialog.saveState().options().bitsPerPixel, 3);

    auto* again = qobject_cast<CImageOptionsDlg*>(dialog.showOptions());
    ASSERT_NE(again, nullptr);
    again->button(QStringLiteral("&PackBits Compression"))->click();
    again->button(QStringLiteral("&24"))->click();
    again->reject();
    EXPECT_EQ(dialog.saveState().options().format, 87);
    EXPECT_EQ(dialog.saveState().options().bitsPerPixel, 3);

    Q_EMIT dialog.filterSelected(image::saveNameFilters()[2]);
    auto* jpeg = qobject_cast<CCompressionDlg*>(dialog.showOptions());
    ASSERT_NE(jpeg, nullptr);
    jpeg->slider()->setValue(100);
    jpeg->progressive()->setChecked(true);
    jpeg->finished()->click();
    EXPECT_EQ(dialog.saveState().options().qualityFactor, 100);
    EXPECT_TRUE(dialog.saveState().options().progressive);
    EXPECT_EQ(dialog.saveState().options().format, 10);
}

TEST_F(SaveDialog, AcceptedNameGetsTheTypesExtension) {
    CFpicFileDialog dialog(prompt, request(2));
    auto* gif = qobject_cast<CImageOptionsDlg*>(dialog.showOptions());
    ASSERT_NE(gif, nullptr);
    gif->button(QStringLiteral("&6"))->click();
    gif->button(QStringLiteral("&Interlaced"))->click();
    gif->accept();
    dialog.selectFile(folder.filePath(QStringLiteral("holiday")));
    // As the Save button does.
    QMetaObject::invokeMethod(&dialog, "accept");
    const image::SaveChoice choice = dialog.saveChoice();
    ASSERT_TRUE(choice.accepted);
    EXPECT_EQ(choice.path, folder.filePath(QStringLiteral("holiday.gif")));
    EXPECT_EQ(choice.format, 2);
    EXPECT_EQ(choice.bitsPerPixel, 8);  // 6 bits are saved at 8
    EXPECT_TRUE(choice.interlaced);
    EXPECT_TRUE(prompt.records().isEmpty());
}

}  // namespace
