#include "slideshow/slideshowcommand.h"

namespace slideshow {

void openSlideShowDialog(CFpicApp& /*app*/) {
    // TODO: the slide show editor; until it is built the entry point does nothing.
}

}  // namespace slideshow
