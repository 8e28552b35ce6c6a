#pragma once

class CFpicApp;

namespace wizard {

/// The start-up wizard.
void startWizard(CFpicApp& app);

}  // namespace wizard
