#include "wizard/wizardcommand.h"

namespace wizard {

void startWizard(CFpicApp& /*app*/) {
    // TODO: the wizard; until it is built the entry point does nothing.
}

}  // namespace wizard
