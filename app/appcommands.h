#pragma once

class CFpicApp;

/// Puts the application's own commands into its command map: preferences,
/// about, the recent files, and the tools of the other subsystems through
/// their entry points (a tool whose entry point is not wired in stays
/// disabled). The image documents' commands are added by their library.
void installApplicationCommands(CFpicApp& app);
