#include "slideshow/slideshowfile.h"
#include "tools/tests/toolrun.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using tooltesting::runTool;
using tooltesting::ToolRun;

TEST(PixoriaTool, HelpListsTheCommands) {
    const ToolRun run = runTool({QStringLiteral("--help")});
    EXPECT_EQ(run.code, 0);
    EXPECT_TRUE(run.out.contains("settings-file dump FILE"));
    EXPECT_EQ(runTool({}).code, 2);
    EXPECT_EQ(runTool({QStringLiteral("frobnicate")}).code, 2);
}

TEST(PixoriaTool, SettingsFileMadeAndDumped) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pzset.pzs"));
    const ToolRun made =
        runTool({"settings-file", "make", path, "--face", "Sans!", "--height", "-20", "--weight",
                 "700", "--italic", "--background-colour", "#336699"});
    ASSERT_EQ(made.code, 0) << made.err.constData();
    EXPECT_EQ(QFileInfo(path).size(), 118);

    const ToolRun dumped = runTool({"settings-file", "dump", path});
    ASSERT_EQ(dumped.code, 0) << dumped.err.constData();
    const QJsonObject root = QJsonDocument::fromJson(dumped.out).object();
    EXPECT_EQ(root.value("size").toInt(), 118);
    const QJsonObject font = root.value("font").toObject();
    EXPECT_EQ(font.value("faceName").toString(), QStringLiteral("Sans!"));
    EXPECT_EQ(font.value("height").toInt(), -20);
    EXPECT_EQ(font.value("weight").toInt(), 700);
    EXPECT_EQ(font.value("italic").toInt(), 1);
    EXPECT_EQ(root.value("backgroundColour").toString(), QStringLiteral("#336699"));
    EXPECT_EQ(root.value("fillColour").toString(), QStringLiteral("#ffffff"));
}

TEST(PixoriaTool, SettingsFileErrorsAreReported) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("short.pzs"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x01\x02\x03");
    file.close();
    const ToolRun run = runTool({"settings-file", "dump", path});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains("past the end")) << run.err.constData();
    EXPECT_EQ(runTool({"settings-file", "make", path}).code, 2);
    EXPECT_EQ(runTool({"settings-file", "make", path, "--face", "A", "--fill-colour", "nope"}).code,
              2);
}

}  // namespace

namespace {

TEST(PixoriaTool, ConvertsAndDescribesImages) {
    QTemporaryDir dir;
    QImage picture(40, 30, QImage::Format_RGB888);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            picture.setPixel(x, y, qRgb(x * 6, y * 8, 90));
        }
    }
    const QString source = dir.filePath(QStringLiteral("source.png"));
    ASSERT_TRUE(picture.save(source));

    const QString gif = dir.filePath(QStringLiteral("out.gif"));
    const ToolRun converted = runTool({"convert", source, gif, "--type", "2"});
    ASSERT_EQ(converted.code, 0) << converted.err.constData();
    EXPECT_TRUE(converted.out.contains("GIF File, 8 bits per pixel"));

    const ToolRun described = runTool({"info", gif});
    ASSERT_EQ(described.code, 0) << described.err.constData();
    EXPECT_TRUE(described.out.contains("Format: 2 GIF"));
    EXPECT_TRUE(described.out.contains("Width: 40"));
    EXPECT_TRUE(described.out.contains("Bits per pixel: 8"));
    EXPECT_TRUE(described.out.contains("Library: giflib"));

    // The second library's formats are described by its own codes.
    const QString iff = dir.filePath(QStringLiteral("out.iff"));
    ASSERT_EQ(runTool({"convert", gif, iff, "--type", "13"}).code, 0);
    EXPECT_TRUE(runTool({"info", iff}).out.contains("18 IFF Amiga (second library)"));

    const QString jpeg = dir.filePath(QStringLiteral("out.jpg"));
    ASSERT_EQ(runTool({"convert", source, jpeg, "--type", "3", "--quality", "2"}).code, 0);
    EXPECT_TRUE(runTool({"info", jpeg}).out.contains("Format: 10 JPEG"));
}

TEST(PixoriaTool, ConvertRefusesWhatItCannotDo) {
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("notes.bmp"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("no picture here");
    file.close();
    const ToolRun bad =
        runTool({"convert", text, dir.filePath(QStringLiteral("x.png")), "--type", "23"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_TRUE(bad.err.contains("Error: Invalid file format"));
    EXPECT_EQ(runTool({"info", text}).code, 1);
    EXPECT_EQ(runTool({"convert", text, "x", "--type", "0"}).code, 2);
    EXPECT_EQ(runTool({"convert", text, "x", "--type"}).code, 2);

    QImage picture(8, 8, QImage::Format_RGB888);
    picture.fill(Qt::red);
    const QString source = dir.filePath(QStringLiteral("s.png"));
    ASSERT_TRUE(picture.save(source));
    const QString fpx = dir.filePath(QStringLiteral("x.fpx"));
    EXPECT_EQ(runTool({"convert", source, fpx, "--type", "9"}).code, 1);
    EXPECT_FALSE(QFile::exists(fpx));
}

TEST(PixoriaTool, FormatsAnswersForEveryFilterAndSaveType) {
    const ToolRun run = runTool({"formats"});
    ASSERT_EQ(run.code, 0);
    // Two sections of numbered lines: the open filters, then the save types.
    QList<QList<QByteArray>> sections;
    for (const QByteArray& line : run.out.split('\n')) {
        if (line.endsWith(':')) {
            sections.append(QList<QByteArray>());
        } else if (!line.trimmed().isEmpty() && !sections.isEmpty()) {
            sections.last().append(line.simplified());
        }
    }
    ASSERT_EQ(sections.size(), 2);
    EXPECT_EQ(sections[0].size(), 41);
    EXPECT_EQ(sections[1].size(), 31);
    EXPECT_TRUE(sections[1][8].endsWith("code 80 no")) << sections[1][8].constData();
    EXPECT_TRUE(sections[1][2].endsWith("code 10 yes libjpeg-turbo")) << sections[1][2].constData();
    EXPECT_TRUE(run.out.contains("PNG Files (*.png)"));
}

}  // namespace

namespace {

TEST(PixoriaTool, EnciphersImagesThatOpenOnlyUnderTheirPassword) {
    QTemporaryDir dir;
    QImage picture(24, 16, QImage::Format_RGB888);
    picture.fill(QColor(10, 200, 30));
    const QString source = dir.filePath(QStringLiteral("s.png"));
    ASSERT_TRUE(picture.save(source));
    const QString enciphered = dir.filePath(QStringLiteral("s.enc"));
    const ToolRun made = runTool({"encipher", source, enciphered, "--password", "swordfish"});
    ASSERT_EQ(made.code, 0) << made.err.constData();
    EXPECT_TRUE(QFile(enciphered).open(QIODevice::ReadOnly));

    const ToolRun right = runTool({"info", enciphered, "--password", "swordfish"});
    ASSERT_EQ(right.code, 0) << right.err.constData();
    EXPECT_TRUE(right.out.contains("Enciphered: File"));
    EXPECT_TRUE(right.out.contains("Format: 75 Portable Network Graphic"));
    EXPECT_TRUE(right.out.contains("Width: 24"));
    EXPECT_EQ(runTool({"info", enciphered, "--password", "sword"}).code, 1);
    EXPECT_EQ(runTool({"info", enciphered}).code, 1) << "not a picture without deciphering";
    EXPECT_EQ(runTool({"encipher", source, enciphered, "--password", "x"}).code, 2);
    EXPECT_EQ(runTool({"info", source, "--password", "swordfish"}).code, 1);
}

}  // namespace

namespace {

TEST(PixoriaTool, ConvertModeNamesTheCopyByTheTargetExtension) {
    QTemporaryDir dir;
    QImage picture(10, 10, QImage::Format_RGB888);
    picture.fill(Qt::blue);
    const QString jpeg = dir.filePath(QStringLiteral("holiday.jpg"));
    ASSERT_TRUE(picture.save(jpeg, "JPG"));
    const ToolRun run = runTool({"convert", jpeg, "--convert", "--convert-format", "png"});
    ASSERT_EQ(run.code, 0) << run.err.constData();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("holiday.png"))));
    EXPECT_TRUE(runTool({"info", dir.filePath(QStringLiteral("holiday.png"))}).out.contains("Format: 75"));
    EXPECT_EQ(runTool({"convert", jpeg, "--convert", "--convert-format", "xyz"}).code, 2);
}

}  // namespace

namespace {

TEST(PixoriaTool, SlideShowFilesDumpedAsJson) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("show.sld"));
    SlideShow show;
    show.slides.append(SlideEntry{QStringLiteral("/p/a.jpg"), QStringLiteral("/s/a.wav"), 14});
    show.settings.individual = 1;
    show.settings.soundMode = SoundMode::VariousSounds;
    ASSERT_TRUE(saveSlideShowFile(path, show, SlideShowWriter::AdvancedOptions));

    const ToolRun run = runTool({"sld", "dump", path});
    ASSERT_EQ(run.code, 0) << run.err.constData();
    const QJsonObject root = QJsonDocument::fromJson(run.out).object();
    EXPECT_EQ(root.value(QStringLiteral("transitionsField")).toInt(), 2);
    EXPECT_EQ(root.value(QStringLiteral("soundMode")).toInt(), 3);
    EXPECT_EQ(root.value(QStringLiteral("transitionModeAfterCodes")).toInt(), 0);
    const QJsonObject slide = root.value(QStringLiteral("slides")).toArray().at(0).toObject();
    EXPECT_EQ(slide.value(QStringLiteral("soundPath")).toString(), QStringLiteral("/s/a.wav"));
    EXPECT_EQ(slide.value(QStringLiteral("transitionCode")).toInt(), 14);

    QFile file(path);
    ASSERT_TRUE(file.resize(40));
    const ToolRun cut = runTool({"sld", "dump", path});
    EXPECT_EQ(cut.code, 1);
    EXPECT_TRUE(cut.err.startsWith("Not a valid slide show file: "));
    EXPECT_EQ(runTool({"sld", "dump"}).code, 2);
}

}  // namespace
