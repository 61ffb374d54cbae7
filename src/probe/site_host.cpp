#include "probe/site_host.h"

// Set by the build (the SITE_HOST cache variable) for this file alone, so that building for
// another service's site recompiles nothing else.
const char SITE_HOST[] = NETRISE_SITE_HOST;
