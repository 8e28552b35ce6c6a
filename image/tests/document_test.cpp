#include "app/fpicapp.h"
#include "app/recentfiles.h"
#include "app/settingsstore.h"
#include "crypt/encryptedimage.h"
#include "crypt/encryptionpassword.h"
#include "image/documentcommands.h"
#include "image/documentmanager.h"
#include "image/filechooser.h"
#include "image/flashpixdlg.h"
#include "image/fpicdoc.h"
#include "image/sizedlg.h"
#include "imaging/errors.h"
#include "imaging/formatcodes.h"
#include "imaging/imagefile.h"
#include "platform/testing/scriptedprompt.h"
#include "image/tests/workspace.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QPainter>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>
#include <csignal>
#include <deque>

namespace {

TEST_F(Documents, OpeningByNameFindsImagesSlideShowsAndEverythingElse) {
    const QString png = picture("a.png");
    CFpicDoc* document = image::openDocumentEntry(*app, *documents, png);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->formatCode(), imaging::format::kPng);
    EXPECT_EQ(document->title(), QStringLiteral("a.png"));
    EXPECT_EQ(document->image().image.size(), QSize(64, 48));
    EXPECT_EQ(app->openFiles().paths(), QStringList{png});
    EXPECT_EQ(app->recentFiles().paths().first(), png);
    // Opening it again brings the same document forward.
    EXPECT_EQ(image::openDocumentEntry(*app, *documents, png), document);
    EXPECT_EQ(documents->documents().size(), 1);

    QFile show(file("trip.sld"));
    ASSERT_TRUE(show.open(QIODevice::WriteOnly));
    show.write("\x14starbloom slide file");
    show.close();
    EXPECT_EQ(image::openDocumentEntry(*app, *documents, file("trip.sld")), nullptr);
    EXPECT_EQ(slideShowsOpened, QStringList{file("trip.sld")});
    EXPECT_EQ(app->currentSlideShowFile(), kEmptyFileName);

    QFile convert(file("batch.con"));
    ASSERT_TRUE(convert.open(QIODevice::WriteOnly));
    convert.close();
    EXPECT_EQ(image::openDocumentEntry(*app, *documents, file("batch.con")), nullptr);
    EXPECT_EQ(app->recentFiles().paths().first(), file("batch.con"));

    QFile text(file("notes.bmp"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("no picture");
    text.close();
    EXPECT_EQ(image::openDocumentEntry(*app, *documents, file("notes.bmp")), nullptr);
    EXPECT_EQ(image::openDocumentEntry(*app, *documents, file("missing.png")), nullptr);
    EXPECT_EQ(prompt.texts(), (QStringList{"Invalid File Format: " + file("notes.bmp"),
                                           "File not Found: " + file("missing.png")}));
}

TEST_F(Documents, FileOpenReportsWhatDidNotOpenAndTheSlideShowOnlyAlone) {
    const QString png = picture("a.png");
    QFile show(file("trip.sld"));
    ASSERT_TRUE(show.open(QIODevice::WriteOnly));
    show.write("slides");
    show.close();
    QByteArray jpeg = readAll(picture("cut.jpg", imaging::format::kJpeg));
    QFile cut(file("cut.jpg"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(jpeg.left(jpeg.size() - 100));  // into the picture data
    cut.close();

    image::OpenChoice choice;
    choice.accepted = true;
    choice.paths = {png, file("trip.sld"), file("cut.jpg")};
    choice.folder = root.path();
    choice.filterIndex = 25;
    chooser.opens.push_back(choice);
    image::fileOpenCommand(*app, *documents, chooser);
    ASSERT_EQ(chooser.openRequests.size(), 1);
    EXPECT_EQ(chooser.openRequests[0].title, QStringLiteral("Open"));
    EXPECT_EQ(prompt.texts(),
              (QStringList{"Error: " + file("trip.sld") + ", Invalid File Format",
                           "Error reading file", "Error Loading File: " + file("cut.jpg")}));
    EXPECT_EQ(documents->documents().size(), 1) << "the broken picture's document was closed";
    EXPECT_TRUE(slideShowsOpened.isEmpty());
    EXPECT_EQ(app->settings().read(prefs::general::kLastExt), 25);
    EXPECT_EQ(app->settings().read(prefs::general::kLastOpenDir), root.path());

    choice.paths = {file("trip.sld")};
    chooser.opens.push_back(choice);
    prompt.clear();
    image::fileOpenCommand(*app, *documents, chooser);
    EXPECT_EQ(slideShowsOpened, QStringList{file("trip.sld")});
    EXPECT_TRUE(prompt.records().isEmpty());
}

TEST_F(Documents, WhileToolsCollectPicturesFileOpenOnlyGathersThem) {
    const QString a = picture("a.png");
    const QString b = picture("b.jpg", imaging::format::kJpeg);
    image::OpenChoice choice;
    choice.accepted = true;
    choice.paths = {a, b};
    choice.folder = root.path();

    app->modes().slideShow = true;
    chooser.opens.push_back(choice);
    image::fileOpenCommand(*app, *documents, chooser);
    EXPECT_EQ(app->slideShowImages().paths(), (QStringList{a, b}));
    EXPECT_EQ(app->settings().read(prefs::slideshow::kDirectory), root.path() + QLatin1Char('/'));
    app->modes().slideShow = false;

    app->modes().player = true;
    chooser.opens.push_back(choice);
    image::fileOpenCommand(*app, *documents, chooser);
    EXPECT_EQ(app->playerImages().paths(), (QStringList{a, b}));
    EXPECT_EQ(chooser.openRequests.last().folder, app->folders().program)
        << "the player's own folder, not the slide show's";
    EXPECT_EQ(app->settings().read(prefs::runtime::kDirectory), root.path() + QLatin1Char('/'));
    app->modes().player = false;
    EXPECT_TRUE(documents->documents().isEmpty());
    EXPECT_TRUE(prompt.records().isEmpty());
}

TEST_F(Documents, EncipheredImagesWithoutAPasswordCloseAgainAndWrongOnesKeepAPadlock) {
    const QByteArray png = readAll(picture("secret.png"));
    EncryptionPassword writer;
    writer.setPassword(QStringLiteral("tiger"));
    const QString path = file("secret.enc");
    ASSERT_EQ(cipher::writeEncipheredImage(path, png, writer, cipher::EncryptedKind::File),
              imaging::kSuccess);
    EXPECT_EQ(image::runFileCheck(*app, path), 1);
    EXPECT_TRUE(app->fileCheckFlags().encrypted);

    image::OpenChoice choice;
    choice.accepted = true;
    choice.paths = {path};
    choice.folder = root.path();
    chooser.opens.push_back(choice);
    passwords = {QString()};  // the dialog cancelled
    image::fileOpenCommand(*app, *documents, chooser);
    EXPECT_EQ(prompt.texts(),
              (QStringList{"Error: File is encrypted, cannot load without a password",
                           "Error Loading File: " + path}));
    EXPECT_TRUE(documents->documents().isEmpty());

    // Wrong twice: the padlock, the document stays, no library message.
    prompt.clear();
    passwords = {QStringLiteral("lion"), QStringLiteral("bear")};
    CFpicDoc* document = image::openDocumentEntry(*app, *documents, path);
    ASSERT_NE(document, nullptr);
    EXPECT_FALSE(document->loadFailed());
    EXPECT_EQ(document->image().image.size(), QSize(200, 150));
    EXPECT_TRUE(prompt.records().isEmpty());
    ASSERT_TRUE(documents->closeDocument(document));

    // Right: the picture, and a second open asks nothing more.
    passwords = {QStringLiteral("tiger")};
    document = image::openDocumentEntry(*app, *documents, path);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->image().image.size(), QSize(64, 48));
}

TEST_F(Documents, CursorAndIconSizesAreCheckedBeforeSaving) {
    CFpicDoc* document = documents->newDocument(CFpicDoc::Kind::Empty, {nullptr, 33, 32, 24});
    ASSERT_NE(document, nullptr);
    chooser.saves.push_back(saveChoice(file("a.cur"), imaging::format::kCursor, 1, 27));
    EXPECT_FALSE(document->saveAs());
    EXPECT_EQ(prompt.texts(), QStringList{"Windows Cursors must be 32x32 pixels."});
    EXPECT_EQ(prompt.records().first().icon, PromptService::Icon::Stop);
    EXPECT_FALSE(QFile::exists(file("a.cur")));

    for (const QSize& size : {QSize(255, 255), QSize(256, 10)}) {
        prompt.clear();
        CFpicDoc* icon = documents->newDocument(CFpicDoc::Kind::Empty,
                                                {nullptr, size.width(), size.height(), 8});
        const QString path = file(size.width() == 255 ? "ok.ico" : "wide.ico");
        chooser.saves.push_back(saveChoice(path, imaging::format::kIcon, 8, 28));
        EXPECT_EQ(icon->saveAs(), size.width() == 255);
        EXPECT_EQ(QFile::exists(path), size.width() == 255);
        if (size.width() == 256) {
            EXPECT_EQ(
                prompt.texts(),
                QStringList{"The Width and Height of a Windows Icons must not exceed 255 pixels."});
        }
    }
}

TEST_F(Documents, SavingAs8BitGifReloadsTheReducedColours) {
    CFpicDoc* document = image::openDocumentEntry(*app, *documents, picture("photo.png"));
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(document->image().bitsPerPixel, 24);
    const QString gif = file("photo.gif");
    chooser.saves.push_back(saveChoice(gif, imaging::format::kGif, 8, 2));
    ASSERT_TRUE(document->saveAs());
    ASSERT_EQ(chooser.saveRequests.size(), 1);
    EXPECT_EQ(chooser.saveRequests[0].proposedName, QStringLiteral("photo"));
    EXPECT_EQ(chooser.saveRequests[0].title, QStringLiteral("Save As"));
    EXPECT_TRUE(document->reloaded());
    EXPECT_EQ(document->image().bitsPerPixel, 8);
    EXPECT_EQ(document->formatCode(), imaging::format::kGif);
    EXPECT_EQ(document->title(), QStringLiteral("photo.gif"));
    EXPECT_EQ(app->openFiles().paths(), QStringList{gif});
    EXPECT_EQ(app->settings().read(prefs::general::kLastSaveExt), 2);
    EXPECT_EQ(app->settings().read(prefs::general::kLastSaveDir), root.path());
}

TEST_F(Documents, NewImagesAreUntitledUntilSavedAndLeaveNoTraceWhenClosed) {
    services->runSizeDialog = [](CSizeDlg& dialog) {
        dialog.widthBox()->setValue(40);
        dialog.heightBox()->setValue(30);
        return true;
    };
    const QStringList before = app->openFiles().paths();
    CFpicDoc* document = image::newDocumentCommand(*app, *documents, 0);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->title(), QStringLiteral("BMP1"));
    EXPECT_TRUE(document->isModified());
    EXPECT_EQ(document->image().image.size(), QSize(40, 30));
    EXPECT_EQ(document->image().image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(app->settings().read(prefs::general::kNewWidth), 40);
    EXPECT_EQ(app->openFiles().untitledCount(), 1);
    EXPECT_EQ(app->openFiles().withFileCount(), 0);

    prompt.scriptAnswer(PromptService::Answer::No);
    ASSERT_TRUE(documents->closeDocument(document));
    EXPECT_EQ(prompt.texts(), QStringList{"Save changes to BMP1?"});
    EXPECT_EQ(prompt.records().first().buttons, PromptService::Buttons::YesNoCancel);
    EXPECT_EQ(app->openFiles().paths(), before);
    EXPECT_EQ(app->openFiles().untitledCount(), 0);

    // Cancel keeps the document; saving it gives it a file.
    CFpicDoc* second = image::newDocumentCommand(*app, *documents, 0);
    EXPECT_EQ(second->title(), QStringLiteral("BMP2"));
    prompt.scriptAnswer(PromptService::Answer::Cancel);
    EXPECT_FALSE(documents->closeDocument(second));
    chooser.saves.push_back(saveChoice(file("new.bmp"), imaging::format::kBmp, 24));
    prompt.scriptAnswer(PromptService::Answer::Yes);
    ASSERT_TRUE(documents->closeDocument(second));
    EXPECT_TRUE(QFile::exists(file("new.bmp")));
    EXPECT_EQ(chooser.saveRequests.last().proposedName, QStringLiteral("BMP2"));
    EXPECT_EQ(app->openFiles().untitledCount(), 0);

    // The size dialog cancelled: no document.
    services->runSizeDialog = [](CSizeDlg&) { return false; };
    EXPECT_EQ(image::newDocumentCommand(*app, *documents, 0), nullptr);
}

TEST_F(Documents, OtherKindsOfNewImages) {
    QImage clip(12, 9, QImage::Format_RGB888);
    clip.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(clip);
    CFpicDoc* pasted = image::newDocumentCommand(*app, *documents, 2);
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(pasted->image().image.size(), QSize(12, 9));
    QGuiApplication::clipboard()->setText(QStringLiteral("words"));
    EXPECT_EQ(image::newDocumentCommand(*app, *documents, 2), nullptr);

    CFpicDoc* copy = documents->newDocument(CFpicDoc::Kind::Copy, {&pasted->image()});
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->image().image, pasted->image().image);

    CFpicDoc* empty = documents->newDocument(CFpicDoc::Kind::Empty, {nullptr, 7, 5, 4});
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->madeFromBitmap());
    EXPECT_TRUE(empty->isModified());
    EXPECT_EQ(empty->image().bitsPerPixel, 4);

    // No scanner connection: acquiring makes no document.
    EXPECT_EQ(image::newDocumentCommand(*app, *documents, 4), nullptr);
    EXPECT_EQ(documents->documents().size(), 3);
}

TEST_F(Documents, ConvertModeWritesCopiesUnderTheTargetExtension) {
    app->settings().write(prefs::convert::kConvertFormat, QStringLiteral("png"));
    app->convertSettings() = {true, imaging::format::kPng, 24, 20, false, false, {}};
    const struct {
        const char* source;
        int format;
        const char* converted;
    } cases[] = {
        {"holiday.jpg", imaging::format::kJpeg, "holiday.png"},  // the format's own extension goes
        {"holiday.JPG", imaging::format::kJpeg, "holiday.png"},
        {"odd.xyz", imaging::format::kJpeg, "odd.xyz.png"},  // a foreign one stays
        {"noext", imaging::format::kJpeg, "noext.png"},
        {"already.png", imaging::format::kPng, "already.png"},
    };
    for (const auto& c : cases) {
        const QString path = picture(c.source, c.format);
        CFpicDoc* document = documents->openDocument(path);
        ASSERT_NE(document, nullptr) << c.source;
        document->setModified(true);
        ASSERT_TRUE(document->save()) << c.source;
        EXPECT_EQ(app->convertSettings().lastConvertedFile, file(c.converted)) << c.source;
        imaging::FileInfo info;
        ASSERT_EQ(imaging::fileInfo(file(c.converted), &info), imaging::kSuccess) << c.source;
        EXPECT_EQ(info.format, imaging::format::kPng);
        EXPECT_FALSE(document->isModified());
    }
    // In convert mode the prompt offers no Cancel.
    CFpicDoc* document = documents->documents().first();
    document->setModified(true);
    prompt.scriptAnswer(PromptService::Answer::No);
    EXPECT_TRUE(document->saveModified());
    EXPECT_EQ(prompt.records().last().buttons, PromptService::Buttons::YesNo);
}

TEST_F(Documents, AFailedSaveReportsAndLeavesThePreviousFileAsItWas) {
    const QString path = picture("keep.png");
    const QByteArray before = readAll(path);
    CFpicDoc* document = documents->openDocument(path);
    ASSERT_NE(document, nullptr);
    imaging::fillImage(&document->image(), Qt::black);
    document->setModified(true);

    // A disk that fills up: writes beyond 40 bytes fail (for root too).
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 40;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    chooser.saves.push_back(
        saveChoice(path, imaging::format::kBmp, 24));  // Save As after the failure
    const bool saved = document->save();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(prompt.texts(), (QStringList{"Error writing file", "Error writing file"}));
    EXPECT_EQ(readAll(path), before);
    EXPECT_TRUE(document->isModified());
    EXPECT_FALSE(document->saveSucceeded());
    EXPECT_EQ(
        QDir(root.path()).entryList({QStringLiteral("keep.png*")}, QDir::Files | QDir::Hidden),
        QStringList{"keep.png"});
}

TEST_F(Documents, TheSecondLibrarysFormatsOpenAndSaveThroughIt) {
    const QString lzw = picture("lzw.tif", imaging::format::kTiffLzw);
    CFpicDoc* document = image::openDocumentEntry(*app, *documents, lzw);
    ASSERT_NE(document, nullptr);
    EXPECT_TRUE(document->loadedThroughSecondLibrary());

    chooser.saves.push_back(saveChoice(file("out.iff"), imaging::format::kIffSecond, 24, 13));
    ASSERT_TRUE(document->saveAs());
    EXPECT_TRUE(QFile::exists(file("out.iff")));
    EXPECT_TRUE(prompt.records().isEmpty());

    // A save that fails shows the second library's error list.
    chooser.saves.push_back(
        saveChoice(file("missing/out.iff"), imaging::format::kIffSecond, 24, 13));
    EXPECT_FALSE(document->saveAs());
    ASSERT_EQ(prompt.records().size(), 1);
    EXPECT_TRUE(prompt.records()[0].text.startsWith(
        QStringLiteral("Error -5 in Module secondlibrary.cpp at Line ")));
    EXPECT_EQ(prompt.records()[0].caption, QStringLiteral("Error"));
}

TEST(FlashPixChoice, TheLargestUnlessTheUserIsAsked) {
    const QList<QSize> sizes = {{64, 48}, {640, 480}, {2048, 1536}};
    int asked = 0;
    const auto ask = [&](const QList<QSize>&) {
        ++asked;
        return 1;
    };
    EXPECT_EQ(chooseFlashPixResolution(sizes, true, false, ask), 2);
    EXPECT_EQ(chooseFlashPixResolution(sizes, false, true, ask), 2);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(chooseFlashPixResolution(sizes, false, false, ask), 1);
    EXPECT_EQ(chooseFlashPixResolution({}, false, false, ask), -1);
}

}  // namespace

namespace {

TEST(ConvertedPath, ReplacesTheFormatsOwnExtensionElseAppends) {
    const struct {
        const char* path;
        int format;
        const char* target;
        const char* converted;
    } cases[] = {
        {"/p/holiday.jpg", 10, "bmp", "/p/holiday.bmp"}, {"/p/holiday.JPG", 10, "bmp", "/p/holiday.bmp"},
        {"/p/scan.tif", 87, "png", "/p/scan.png"},       {"/p/scan.tif", 10, "png", "/p/scan.tif.png"},
        {"/p/noext", 6, "bmp", "/p/noext.bmp"},          {"/p/photo.jpeg", 10, "bmp", "/p/photo.jpeg.bmp"},
        {"/p/same.bmp", 6, "bmp", "/p/same.bmp"},        {"/p/x.gif", 1000, "png", "/p/x.gif.png"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(convertedPath(QLatin1String(c.path), c.format, QLatin1String(c.target)),
                  QLatin1String(c.converted))
            << c.path;
    }
}

}  // namespace
