#include "image/filechooser.h"

#include "image/filedialog.h"

namespace image {

OpenChoice DialogFileChooser::chooseToOpen(const OpenRequest& request) {
    CFpicFileDialog dialog(m_prompt, request, m_parent);
    dialog.exec();
    return dialog.openChoice();
}

SaveChoice DialogFileChooser::chooseToSave(const SaveRequest& request) {
    CFpicFileDialog dialog(m_prompt, request, m_parent);
    dialog.exec();
    return dialog.saveChoice();
}

}  // namespace image
