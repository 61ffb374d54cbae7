#pragma once

namespace fake {

// Puts every part of the double back to its defaults: all calls succeed, nothing recorded.
void Reset();

}  // namespace fake
