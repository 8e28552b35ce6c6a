#include "app/preferencescommand.h"

#include "app/fpicapp.h"
#include "app/prefpage1.h"
#include "app/prefpage2.h"
#include "app/prefpage3.h"
#include "app/prefsheet.h"
#include "app/settingsstore.h"

bool runPreferences(CFpicApp& app, QWidget* parent, const std::function<bool(CPrefSheet&)>& runner,
                    const std::function<void(int topic)>& help) {
    using namespace prefs::general;
    DisplayValues& display = app.display();
    SettingsStore& settings = app.settings();

    CPrefSheet sheet(help, parent);
    CPrefPage1& main = sheet.page1();
    CPrefPage2& photoCd = sheet.page2();
    CPrefPage3& general = sheet.page3();
    main.orderedDither = display.orderedDither;
    main.autoPalette = display.autoPalette;
    photoCd.pcdResolution = display.pcdResolution;
    // The application keeps only this run's splash decision; the page shows
    // what is stored for the next start.
    main.splash = settings.read(kSplash);
    general.fpxLoad = display.fpxLoad;
    general.fitFlag = display.fitFlag;
    general.fitToPage = display.fitToPage;
    main.thumb = settings.read(kThumb);

    const bool accepted = runner ? runner(sheet) : sheet.exec() == QDialog::Accepted;
    if (!accepted) {
        return false;
    }

    const DisplayValues before = display;
    display.orderedDither = main.orderedDither;
    display.autoPalette = main.autoPalette;
    display.pcdResolution = photoCd.pcdResolution;
    display.fpxLoad = general.fpxLoad;
    display.fitFlag = general.fitFlag;
    display.fitToPage = general.fitToPage;

    settings.write(kOrderedDither, display.orderedDither);
    settings.write(kAutoPalette, display.autoPalette);
    settings.write(kPcdResolution, display.pcdResolution);
    settings.write(kFpxLoad, display.fpxLoad);
    settings.write(kFitFlag, display.fitFlag);
    settings.write(kFitToPage, display.fitToPage);
    settings.write(kSplash, main.splash);
    settings.write(kThumb, main.thumb);
    if (app.entryPoints().setPhotoCdResolution) {
        app.entryPoints().setPhotoCdResolution(display.pcdResolution);
    }

    if (display.orderedDither != before.orderedDither) {
        app.updateAllViews(0);
    }
    if (display.autoPalette != before.autoPalette) {
        app.updateAllViews(1);
    }
    return true;
}
