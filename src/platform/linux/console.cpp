#include "platform/console.h"

namespace platform {

std::string ConsoleText(WideText text) { return EncodeUtf8(text); }

}  // namespace platform
