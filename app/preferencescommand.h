#pragma once

#include <functional>

class CFpicApp;
class CPrefSheet;
class QWidget;

/// The Preferences command: the sheet filled from the application's values;
/// OK takes the values back into the application, stores them, hands the
/// PhotoCD resolution to the imaging library and redraws the views when
/// dithering or the palette changed. Cancel changes nothing. `runner`
/// replaces exec() (tests) and returns whether OK was pressed; `help`
/// receives the sheet's help requests. Returns whether OK was pressed.
/// Interface thread only.
bool runPreferences(CFpicApp& app, QWidget* parent,
                    const std::function<bool(CPrefSheet&)>& runner = {},
                    const std::function<void(int topic)>& help = {});
