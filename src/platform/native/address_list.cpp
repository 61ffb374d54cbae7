#include "platform/native/address_list.h"

namespace platform {

void freeaddrinfo(AddrInfo* list) {
    while (list != nullptr) {
        AddrInfo* next = list->next;
        delete list;
        list = next;
    }
}

}  // namespace platform
