#pragma once

#include "slideshow/slidelist.h"
#include "slideshow/slideshowsettings.h"

/// A whole slide show: its slides and its show-wide values, as the editor,
/// the advanced options and the player share it and a .sld file holds it.
struct SlideShow {
    SlideList slides;
    SlideShowSettings settings;

    bool operator==(const SlideShow&) const = default;
};
