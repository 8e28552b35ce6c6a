#include "imaging/acquire.h"

#include "imaging/errors.h"

namespace imaging {

int acquireImage(Scanner& scanner, ImageHandle* handle) {
    QImage picture;
    int bitsPerPixel = 0;
    if (const int status = scanner.acquire(&picture, &bitsPerPixel); status != kSuccess) {
        return status;
    }
    return handleFromQImage(picture, handle, bitsPerPixel);
}

}  // namespace imaging
