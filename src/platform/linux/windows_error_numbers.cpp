#include "platform/linux/windows_error_numbers.h"

#include <netdb.h>

#include <cerrno>

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

std::uint32_t WindowsSystemError(int errnoValue) {
    switch (errnoValue) {
        case 0:
            return 0;  // NO_ERROR
        case ENODEV:
        case ENXIO:
        case ENOENT:
            return 2;  // ERROR_FILE_NOT_FOUND: no such interface
        case EPERM:
            return 5;  // ERROR_ACCESS_DENIED: changing the neighbour table needs CAP_NET_ADMIN
        case EACCES:
            return 65;  // ERROR_NETWORK_ACCESS_DENIED: a prohibiting route
        case ENOMEM:
        case ENOBUFS:
            return 8;  // ERROR_NOT_ENOUGH_MEMORY
        case EAFNOSUPPORT:
        case EPROTONOSUPPORT:
        case EOPNOTSUPP:
            return 50;  // ERROR_NOT_SUPPORTED
        case EINVAL:
            return WINDOWS_ERROR_INVALID_PARAMETER;
        case ENAMETOOLONG:
            return WINDOWS_ERROR_BUFFER_OVERFLOW;
        case ENETDOWN:
            return 1231;   // ERROR_NETWORK_UNREACHABLE: the link is down
        case ENETUNREACH:  // no route: what the IP Helper calls report then
        case EHOSTUNREACH:
            return 1232;  // ERROR_HOST_UNREACHABLE
        default:
            return 31;  // ERROR_GEN_FAILURE
    }
}

}  // namespace platform::linux_backend
