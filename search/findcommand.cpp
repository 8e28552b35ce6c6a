#include "search/findcommand.h"

namespace search {

void runFind(CFpicApp& /*app*/) {
    // TODO: the image search and its thumbnail windows; until it is built the entry point does
    // nothing.
}

}  // namespace search
