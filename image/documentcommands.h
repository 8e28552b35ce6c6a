#pragma once

#include <QList>
#include <QString>

class CFpicApp;
class CFpicDoc;
class CommandTarget;
struct DocumentServices;

namespace image {

class DocumentManager;
class FileChooser;

/// The file check, remembering its flags in the application object for the
/// open that follows: 1 when the path is an image the program opens.
int runFileCheck(CFpicApp& app, const QString& path);

/// Every open by name goes through here (File Open, recent files, dropped
/// files, the command line): images open as documents, slide show files
/// open the slide show, convert files only enter the recent-file list.
CFpicDoc* openDocumentEntry(CFpicApp& app, DocumentManager& documents, const QString& path);

/// The File Open command: opens the chosen files, or collects them into the
/// slide show's or the runtime player's list while those tools run.
void fileOpenCommand(CFpicApp& app, DocumentManager& documents, FileChooser& chooser);

/// A new document of a kind (0 size dialog, 1 capture, 2 paste, 4 acquire).
CFpicDoc* newDocumentCommand(CFpicApp& app, DocumentManager& documents, int kind);

/// The targets a command is offered to, in order: the active view, its
/// document, the main frame, the application.
QList<CommandTarget*> commandChain(CFpicApp& app, const DocumentManager& documents);

/// Puts the commands that make, open and close documents (and the scanner's
/// and printer's) into the application's command map.
void installDocumentCommands(CFpicApp& app, DocumentManager& documents, FileChooser& chooser,
                             DocumentServices& services);

}  // namespace image
