#include "call_log.h"

namespace fake {

std::vector<std::string> calls;

void Record(std::string call) { calls.push_back(std::move(call)); }

std::vector<std::string> CallsNamed(const std::string& name) {
    std::vector<std::string> named;
    for (const std::string& call : calls) {
        if (call.compare(0, name.size(), name) == 0 && call.size() > name.size() &&
            call[name.size()] == '(') {
            named.push_back(call);
        }
    }
    return named;
}

}  // namespace fake
