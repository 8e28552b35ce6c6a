#pragma once

#include "image/fpicdoc.h"

#include <QList>
#include <QObject>

class CChildFrame;
class CFpicView;
class QMdiArea;

namespace image {

/// The open documents, each in its child frame with its view: opening
/// (an open document is brought forward instead of loaded again), new
/// documents, closing with the offer to save. Interface thread only.
class DocumentManager : public QObject {
    Q_OBJECT

public:
    DocumentManager(CFpicApp& app, DocumentServices& services, QObject* parent = nullptr);
    ~DocumentManager() override;

    /// Opens the path as a document, or activates the one already open.
    /// Null when no document results.
    CFpicDoc* openDocument(const QString& path);
    /// A new document of a kind; null when none results.
    CFpicDoc* newDocument(CFpicDoc::Kind kind, const NewDocumentArguments& arguments = {});
    /// Offers to save, then closes; false when the user kept the document.
    bool closeDocument(CFpicDoc* document);
    /// Closes every document once all may be saved; false if any was kept.
    bool closeAll();
    /// Offers to save every modified document (before the program ends).
    bool saveAllModified();

    QList<CFpicDoc*> documents() const;
    CFpicDoc* activeDocument() const;
    CFpicView* viewOf(const CFpicDoc* document) const;
    CChildFrame* frameOf(const CFpicDoc* document) const;

Q_SIGNALS:
    void documentOpened(CFpicDoc* document);
    void documentClosed();

private:
    struct Entry {
        CFpicDoc* document;
        CChildFrame* frame;
        CFpicView* view;
    };

    CFpicDoc* present(CFpicDoc* document);
    void watchActivation(QMdiArea* area);
    void discard(CFpicDoc* document);
    const Entry* entryOf(const CFpicDoc* document) const;

    CFpicApp& m_app;
    DocumentServices& m_services;
    QList<Entry> m_entries;
    int m_untitledCount = 0;
    bool m_watching = false;
};

}  // namespace image
