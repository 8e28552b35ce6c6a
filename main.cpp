// Pixoria: the application object over the subsystem libraries.
#include "app/fpicapp.h"
#include "app/mainframe.h"
#include "image/filecheck.h"
#include "imaging/photocd.h"
#include "platform/prompt.h"
#include "search/findcommand.h"
#include "slideshow/slideshowcommand.h"
#include "wizard/wizardcommand.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Zelvik Technologies"));
    QApplication::setApplicationName(QStringLiteral("Pixoria"));
    QApplication::setDesktopFileName(QStringLiteral("pixoria"));

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();

    QtPromptService prompt;
    CFpicApp app({QApplication::applicationDirPath(), QString(), arguments}, prompt);
    SubsystemEntryPoints& entry = app.entryPoints();
    entry.fileCheck = image::fileCheck;
    entry.openSlideShowDialog = [&app] { slideshow::openSlideShowDialog(app); };
    entry.runFind = [&app] { search::runFind(app); };
    entry.startWizard = [&app] { wizard::startWizard(app); };
    entry.setPhotoCdResolution = imaging::setPhotoCdResolution;
    entry.openScannerConnection = [&app] { return app.scanner().openConnection(); };

    if (!app.initInstance()) {
        return 1;
    }
    prompt.setParentWindow(app.mainFrame());
    return app.exitInstance(QApplication::exec());
}
