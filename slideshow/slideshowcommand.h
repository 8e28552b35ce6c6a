#pragma once

class CFpicApp;

namespace slideshow {

/// The slide show dialog, on the application's current slide show file.
void openSlideShowDialog(CFpicApp& app);

}  // namespace slideshow
