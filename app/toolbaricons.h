#pragma once

#include <QIcon>

/// The picture of a command for the toolbar and the menus, with 16- and
/// 32-pixel pixmaps so it stays sharp on HiDPI screens; an empty icon for a
/// command that has none.
QIcon commandIcon(int commandId);
