#pragma once

// The workspace the document and view tests run in: an application with its
// main frame, scripted prompts and choosers, and a document manager.

#include "app/fpicapp.h"
#include "image/documentmanager.h"
#include "image/filechooser.h"
#include "image/fpicdoc.h"
#include "imaging/errors.h"
#include "imaging/formatcodes.h"
#include "imaging/imagefile.h"
#include "platform/testing/scriptedprompt.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

using image::DocumentManager;

/// Answers the open and save dialogs from a script, and records the requests.
class ScriptedChooser : public image::FileChooser {
public:
    std::deque<image::OpenChoice> opens;
    std::deque<image::SaveChoice> saves;
    QList<image::OpenRequest> openRequests;
    QList<image::SaveRequest> saveRequests;

    image::OpenChoice chooseToOpen(const image::OpenRequest& request) override {
        openRequests << request;
        if (opens.empty()) {
            return {};
        }
        image::OpenChoice choice = opens.front();
        opens.pop_front();
        return choice;
    }
    image::SaveChoice chooseToSave(const image::SaveRequest& request) override {
        saveRequests << request;
        if (saves.empty()) {
            return {};
        }
        image::SaveChoice choice = saves.front();
        saves.pop_front();
        return choice;
    }
};

inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class Documents : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        QDir().mkpath(root.filePath(QStringLiteral("bin")));
        app = std::make_unique<CFpicApp>(
            CFpicApp::Environment{root.filePath(QStringLiteral("bin")),
                                  root.filePath(QStringLiteral("Pixoria.conf")),
                                  {}},
            prompt);
        app->setSplashRunner([] {});
        app->entryPoints().openSlideShowDialog = [this] {
            slideShowsOpened << app->currentSlideShowFile();
        };
        ASSERT_TRUE(app->initInstance());
        prompt.clear();
        services = std::make_unique<DocumentServices>(DocumentServices(*app, chooser));
        services->setPassword = [this] {
            if (!passwords.isEmpty()) {
                const QString answer = passwords.takeFirst();
                if (!answer.isEmpty()) {
                    app->encryptionPassword().setPassword(answer);
                }
            }
        };
        documents = std::make_unique<DocumentManager>(*app, *services);
    }

    QString file(const char* name) const { return root.filePath(QLatin1String(name)); }

    /// A picture saved as `format`.
    QString picture(const char* name, int format = imaging::format::kPng, QSize size = {64, 48},
                    int depth = 24) {
        QImage image(size, QImage::Format_RGB888);
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                image.setPixel(x, y, qRgb(x * 255 / size.width(), y * 255 / size.height(), 128));
            }
        }
        imaging::ImageHandle handle;
        imaging::handleFromQImage(image, &handle);
        const QString path = file(name);
        EXPECT_EQ(imaging::saveFile(path, handle, format, depth), imaging::kSuccess);
        return path;
    }

    image::SaveChoice saveChoice(const QString& path, int format, int depth, int typeIndex = 1) {
        image::SaveChoice choice;
        choice.accepted = true;
        choice.path = path;
        choice.folder = QFileInfo(path).absolutePath();
        choice.format = format;
        choice.bitsPerPixel = depth;
        choice.typeIndex = typeIndex;
        return choice;
    }

    QTemporaryDir root;
    ScriptedPrompt prompt;
    ScriptedChooser chooser;
    QStringList passwords;
    QStringList slideShowsOpened;
    std::unique_ptr<CFpicApp> app;
    std::unique_ptr<DocumentServices> services;
    std::unique_ptr<DocumentManager> documents;
};
