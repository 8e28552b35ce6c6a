#include "app/appcommands.h"

#include "app/aboutdlg.h"
#include "app/commandids.h"
#include "app/fpicapp.h"
#include "app/mainframe.h"
#include "app/preferencescommand.h"
#include "app/recentfiles.h"

#include <QFileInfo>

#include <functional>

namespace {

/// A command that runs an entry point with the given arguments, enabled
/// while the entry point is wired in and `allowed` (when given) says yes.
template <typename Entry, typename... Args>
void addEntry(CommandMap& map, int id, const Entry& entry, std::function<bool()> allowed,
              Args... args) {
    map.add(
        id,
        [&entry, args...] {
            if (entry) {
                entry(args...);
            }
        },
        [&entry, allowed = std::move(allowed)](CommandState* state) {
            state->enabled = static_cast<bool>(entry) && (!allowed || allowed());
        });
}

}  // namespace

void installApplicationCommands(CFpicApp& app) {
    CommandMap& map = app.commands();
    SubsystemEntryPoints& entry = app.entryPoints();
    using namespace command;

    map.add(kPreferences, [&app] {
        runPreferences(app, app.mainFrame(), {}, [&app](int topic) {
            if (app.mainFrame()) {
                app.mainFrame()->showHelp(topic);
            }
        });
    });
    map.add(kAbout, [&app] {
        CAboutDlg dialog(app.mainFrame());
        dialog.exec();
    });

    // The tools of the other subsystems. The "Instant" ones work on the open
    // documents that have a file.
    const auto severalFiles = [&app] { return app.openFiles().withFileCount() > 1; };
    const auto someFile = [&app] { return app.openFiles().withFileCount() >= 1; };
    addEntry(map, kSlideShow, entry.slideShow, {}, false);
    addEntry(map, kInstantSlideShow, entry.slideShow, severalFiles, true);
    addEntry(map, kCreateRuntime, entry.createRuntime, {}, false);
    addEntry(map, kInstantPlayer, entry.createRuntime, someFile, true);
    addEntry(map, kPlayRuntime, entry.playRuntime, {});
    addEntry(map, kWizard, entry.startWizard, {});
    addEntry(map, kNewAlbum, entry.newAlbum, {});
    addEntry(map, kEditAlbum, entry.editAlbum, {});
    addEntry(map, kViewAlbum, entry.viewAlbum, {});
    addEntry(map, kFind, entry.runFind, {});

    // The recent files open through the open-document entry; one that no
    // longer opens leaves the list.
    for (int id = kFileMruFirst; id <= kFileMruLast; ++id) {
        const int index = id - kFileMruFirst;
        map.add(id, [&app, index] {
            const QStringList paths = app.recentFiles().paths();
            if (index >= paths.size()) {
                return;
            }
            const bool opened = app.entryPoints().openDocumentFile &&
                                app.entryPoints().openDocumentFile(paths[index]);
            if (!opened && !QFileInfo::exists(paths[index])) {
                app.recentFiles().remove(index);
            }
        });
    }
}
