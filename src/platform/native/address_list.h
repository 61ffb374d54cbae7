#pragma once

#include <new>

#include "platform/winsock.h"

// Code the Linux and Windows backends share: both hand the system resolver's answers to the
// program as a list of AddrInfo that the program's freeaddrinfo releases.
namespace platform::native {

// The Windows Sockets number for a resolver that ran out of memory.
inline constexpr int NOT_ENOUGH_MEMORY_RESULT = 8;

// Copies the system's answer list (any type linked through `ai_next`) into the program's form,
// one entry at a time through `answerOf`. Returns 0, or NOT_ENOUGH_MEMORY_RESULT with nothing
// left to release. The system's list stays the caller's to free.
template <class SystemAnswer, class AnswerOf>
int CopyAddressList(const SystemAnswer* answers, AnswerOf answerOf, AddrInfo** result) {
    AddrInfo* head = nullptr;
    AddrInfo** tail = &head;
    for (const SystemAnswer* answer = answers; answer != nullptr; answer = answer->ai_next) {
        auto* copy = new (std::nothrow) AddrInfo(answerOf(*answer));
        if (copy == nullptr) {
            freeaddrinfo(head);
            return NOT_ENOUGH_MEMORY_RESULT;
        }
        *tail = copy;
        tail = &copy->next;
    }
    *result = head;
    return 0;
}

}  // namespace platform::native
