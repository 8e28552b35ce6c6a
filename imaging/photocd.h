#pragma once

namespace imaging {

/// The resolution PhotoCD images load at: 1 (128 by 192) to 5 (2048 by
/// 3072). Values outside that range are clamped. Safe from any thread.
void setPhotoCdResolution(int resolution);
int photoCdResolution();

}  // namespace imaging
