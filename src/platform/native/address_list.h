#pragma once

#include <cstring>
#include <new>

#include "platform/winsock.h"

// Code the Linux and Windows backends share: both hand the system resolver's answers to the
// program as a list of AddrInfo that the program's freeaddrinfo releases.
namespace platform::native {

// The Windows Sockets number for a resolver that ran out of memory.
inline constexpr int NOT_ENOUGH_MEMORY_RESULT = 8;

// Copies the system's answer list (addrinfo, with its sockaddr_in as `SystemInetAddress`) into
// the program's form; `familyOf` turns the system's address family into the Windows number.
// Returns 0, or NOT_ENOUGH_MEMORY_RESULT with nothing left to release. The system's list stays
// the caller's to free.
template <class SystemInetAddress, class SystemAnswer>
int CopyAddressList(const SystemAnswer* answers, int (*familyOf)(int systemFamily),
                    AddrInfo** result) {
    AddrInfo* head = nullptr;
    AddrInfo** tail = &head;
    for (const SystemAnswer* answer = answers; answer != nullptr; answer = answer->ai_next) {
        auto* copy = new (std::nothrow) AddrInfo{};
        if (copy == nullptr) {
            freeaddrinfo(head);
            return NOT_ENOUGH_MEMORY_RESULT;
        }
        copy->family = familyOf(answer->ai_family);
        if (copy->family == FAMILY_INET && answer->ai_addr != nullptr) {
            const auto* inet = reinterpret_cast<const SystemInetAddress*>(answer->ai_addr);
            static_assert(sizeof inet->sin_addr == sizeof copy->address);
            std::memcpy(&copy->address, &inet->sin_addr, sizeof copy->address);
        }
        *tail = copy;
        tail = &copy->next;
    }
    *result = head;
    return 0;
}

}  // namespace platform::native
