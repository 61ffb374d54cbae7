#include "platform/linux/windows_error_numbers.h"

#include <netdb.h>

namespace platform::linux_backend {

int WindowsResolverError(int eaiCode) {
    switch (eaiCode) {
        case 0:
            return 0;
        case EAI_NONAME:
            return 11001;  // WSAHOST_NOT_FOUND
        case EAI_AGAIN:
            return 11002;  // WSATRY_AGAIN
        case EAI_FAIL:
            return 11003;  // WSANO_RECOVERY
#ifdef EAI_NODATA
        case EAI_NODATA:
            return 11004;  // WSANO_DATA
#endif
#ifdef EAI_ADDRFAMILY
        case EAI_ADDRFAMILY:
            return 11004;  // WSANO_DATA
#endif
        case EAI_MEMORY:
            return 8;  // WSA_NOT_ENOUGH_MEMORY
        case EAI_FAMILY:
            return 10047;  // WSAEAFNOSUPPORT
        case EAI_SOCKTYPE:
            return 10044;  // WSAESOCKTNOSUPPORT
        case EAI_SERVICE:
            return 10109;  // WSATYPE_NOT_FOUND
        case EAI_BADFLAGS:
            return 10022;  // WSAEINVAL
        default:
            return 11003;  // WSANO_RECOVERY
    }
}

}  // namespace platform::linux_backend
