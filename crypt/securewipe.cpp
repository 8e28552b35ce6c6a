#include "crypt/securewipe.h"

#include <cstring>

namespace cipher {

void secureWipe(void* data, std::size_t size) {
    if (data && size > 0) {
        explicit_bzero(data, size);
    }
}

}  // namespace cipher
