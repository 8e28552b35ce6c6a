#pragma once

#include <cstddef>

namespace cipher {

/// Overwrites memory that held keys or plain text before it is given back,
/// in a way the compiler may not leave out.
void secureWipe(void* data, std::size_t size);

}  // namespace cipher
