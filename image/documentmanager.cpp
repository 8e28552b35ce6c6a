#include "image/documentmanager.h"

#include "app/childframe.h"
#include "app/commandids.h"
#include "app/fpicapp.h"
#include "app/mainframe.h"
#include "image/fpicview.h"

#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace image {

namespace {

/// The title a new document gets: the document type's name and a number.
QString untitledTitle(int number) {
    return QStringLiteral("BMP%1").arg(number);
}

bool samePath(const QString& a, const QString& b) {
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

}  // namespace

DocumentManager::DocumentManager(CFpicApp& app, DocumentServices& services, QObject* parent)
    : QObject(parent), m_app(app), m_services(services) {
    m_services.closeDocument = [this](CFpicDoc* document) {
        if (entryOf(document)) {
            document->onCloseDocument();
            discard(document);
        }
    };
}

DocumentManager::~DocumentManager() {
    m_services.closeDocument = {};
    // Deleting the frames activates others; nothing may answer that now.
    const QList<Entry> entries = std::exchange(m_entries, {});
    for (const Entry& entry : entries) {
        delete entry.frame;
        delete entry.document;
    }
}

void DocumentManager::watchActivation(QMdiArea* area) {
    if (m_watching) {
        return;
    }
    m_watching = true;
    connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* active) {
        // The view losing the focus blanks the read-outs before the new one fills them.
        for (const Entry& entry : m_entries) {
            if (entry.frame != active) {
                entry.view->setActive(false);
            }
        }
        for (const Entry& entry : m_entries) {
            if (entry.frame == active) {
                entry.view->setActive(true);
            }
        }
    });
}

CFpicDoc* DocumentManager::present(CFpicDoc* document) {
    auto* frame = new CChildFrame;
    auto* view = new CFpicView(*document, frame);
    frame->setWidget(view);
    frame->setWindowTitle(document->title());
    frame->setWindowIcon(QIcon(QStringLiteral(":/pixoria/pixoria.svg")));
    if (m_app.modes().slideShow) {
        // The slide show shows its pictures without frames or scroll bars.
        frame->setWindowFlags(Qt::FramelessWindowHint);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    connect(document, &CFpicDoc::titleChanged, frame,
            [frame, document] { frame->setWindowTitle(document->title()); });
    connect(frame, &CChildFrame::closeRequested, this, [this, document](bool* allowed) {
        *allowed = document->saveModified();
        if (*allowed) {
            document->onCloseDocument();
            discard(document);
        }
    });
    document->commands().add(command::kFileClose, [this, document] { closeDocument(document); });
    m_entries.append({document, frame, view});
    if (CMainFrame* main = m_app.mainFrame()) {
        watchActivation(main->mdiArea());
        main->mdiArea()->addSubWindow(frame);
    }
    frame->show();
    view->initialUpdate();
    Q_EMIT documentOpened(document);
    return document;
}

void DocumentManager::discard(CFpicDoc* document) {
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].document == document) {
            const Entry entry = m_entries.takeAt(i);
            entry.view->setActive(false);
            entry.frame->deleteLater();
            entry.document->deleteLater();
            Q_EMIT documentClosed();
            return;
        }
    }
}

CFpicDoc* DocumentManager::openDocument(const QString& path) {
    for (const Entry& entry : m_entries) {
        if (entry.document->hasFile() && samePath(entry.document->pathName(), path)) {
            if (CMainFrame* main = m_app.mainFrame()) {
                main->mdiArea()->setActiveSubWindow(entry.frame);
            }
            return entry.document;
        }
    }
    auto* document = new CFpicDoc(m_services);
    if (!document->onOpenDocument(QFileInfo(path).absoluteFilePath())) {
        delete document;
        return nullptr;
    }
    m_app.addToRecentFileList(QFileInfo(path).absoluteFilePath());
    return present(document);
}

CFpicDoc* DocumentManager::newDocument(CFpicDoc::Kind kind, const NewDocumentArguments& arguments) {
    auto* document = new CFpicDoc(m_services);
    if (!document->onNewDocument(kind, arguments)) {
        delete document;
        return nullptr;
    }
    document->setUntitledTitle(untitledTitle(++m_untitledCount));
    return present(document);
}

bool DocumentManager::closeDocument(CFpicDoc* document) {
    const Entry* entry = entryOf(document);
    if (!entry) {
        return false;
    }
    if (!document->saveModified()) {
        return false;
    }
    document->onCloseDocument();
    discard(document);
    return true;
}

bool DocumentManager::saveAllModified() {
    for (const Entry& entry : m_entries) {
        if (!entry.document->saveModified()) {
            return false;
        }
    }
    return true;
}

bool DocumentManager::closeAll() {
    if (!saveAllModified()) {
        return false;
    }
    const QList<Entry> entries = m_entries;
    for (const Entry& entry : entries) {
        entry.document->onCloseDocument();
        discard(entry.document);
    }
    m_app.openFiles().clear();
    return true;
}

QList<CFpicDoc*> DocumentManager::documents() const {
    QList<CFpicDoc*> documents;
    for (const Entry& entry : m_entries) {
        documents << entry.document;
    }
    return documents;
}

CFpicDoc* DocumentManager::activeDocument() const {
    CMainFrame* main = m_app.mainFrame();
    if (!main) {
        return m_entries.isEmpty() ? nullptr : m_entries.last().document;
    }
    // The current window stays current while a dialog or another program has the focus.
    const QMdiSubWindow* active = main->mdiArea()->currentSubWindow();
    for (const Entry& entry : m_entries) {
        if (entry.frame == active) {
            return entry.document;
        }
    }
    return nullptr;
}

const DocumentManager::Entry* DocumentManager::entryOf(const CFpicDoc* document) const {
    for (const Entry& entry : m_entries) {
        if (entry.document == document) {
            return &entry;
        }
    }
    return nullptr;
}

CFpicView* DocumentManager::viewOf(const CFpicDoc* document) const {
    const Entry* entry = entryOf(document);
    return entry ? entry->view : nullptr;
}

CChildFrame* DocumentManager::frameOf(const CFpicDoc* document) const {
    const Entry* entry = entryOf(document);
    return entry ? entry->frame : nullptr;
}

}  // namespace image
