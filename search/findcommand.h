#pragma once

class CFpicApp;

namespace search {

/// The thumbnail search of the stored folder and mask.
void runFind(CFpicApp& app);

}  // namespace search
