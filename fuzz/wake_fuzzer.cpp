#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "call_log.h"
#include "fake_console.h"
#include "fake_winsock.h"
#include "fuzz_check.h"
#include "fuzz_text.h"
#include "reset.h"
#include "wake/send_wake.h"

namespace {

constexpr std::uint16_t kWakePort = 34125;
constexpr std::size_t kMacTextLength = 17;

// Scripts the resolver's answer for the computer name, as the lookup will ask for it, and
// returns the address that answer makes the target, if any.
std::optional<Ipv4Address> ScriptResolver(FuzzedDataProvider& input,
                                          const std::u16string& computer) {
    const std::optional<std::string> name = SingleBytes(computer);
    if (computer.empty() || !name || !input.ConsumeBool()) return std::nullopt;
    fake::Resolution answer;
    answer.result = input.ConsumeBool() ? 0 : input.PickValueInArray({11001, 11002, 10093});
    answer.family = input.ConsumeBool() ? platform::FAMILY_INET : platform::FAMILY_INET6;
    answer.address = input.ConsumeIntegral<Ipv4Address>();
    fake::winsock.names[name->c_str()] = answer;
    if (answer.result != 0 || answer.family != platform::FAMILY_INET) return std::nullopt;
    return answer.address;
}

void ScriptSockets(FuzzedDataProvider& input) {
    for (std::deque<bool>* script :
         {&fake::winsock.socketSucceeds, &fake::winsock.sendtoSucceeds}) {
        const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(0, 3);
        for (std::size_t i = 0; i < count; ++i) script->push_back(input.ConsumeBool());
    }
    fake::winsock.lastError = input.ConsumeIntegral<int>();
}

std::vector<std::string> Lines(const std::string& console) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < console.size()) {
        const std::size_t end = console.find('\n', start);
        FUZZ_CHECK(end != std::string::npos);  // every line is complete
        lines.push_back(console.substr(start, end - start + 1));
        start = end + 1;
    }
    return lines;
}

// Takes the next line when it is `line`.
bool Take(const std::vector<std::string>& lines, std::size_t& next, const std::string& line) {
    if (next < lines.size() && lines[next] == line) {
        ++next;
        return true;
    }
    return false;
}

// Takes the line that reports sending one kind of packet, whichever way it went.
bool TakeSendLine(const std::vector<std::string>& lines, std::size_t& next,
                  const std::string& kind) {
    return Take(lines, next, "Sent a " + kind + " packet.\n") ||
           Take(lines, next,
                "Cannot send " + kind + " packet, return code " +
                    std::to_string(fake::winsock.lastError) + "\n");
}

bool IsMagicPacket(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() != 102) return false;
    for (std::size_t i = 0; i < 6; ++i) {
        if (bytes[i] != 0xFF) return false;
    }
    for (std::size_t i = 12; i < bytes.size(); ++i) {
        if (bytes[i] != bytes[i - 6]) return false;
    }
    return true;
}

bool IsDirectPacket(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() != 32) return false;
    for (std::uint8_t byte : bytes) {
        if (byte != 0) return false;
    }
    return true;
}

}  // namespace

// The input holds the mac, ip, subnet and computer texts on four lines, an empty line being an
// option not given; the bytes after them script the resolver and the sockets.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::u16string mac = WideFromBytes(TakeLine(rest));
    const std::u16string ip = WideFromBytes(TakeLine(rest));
    const std::u16string subnet = WideFromBytes(TakeLine(rest));
    const std::u16string computer = WideFromBytes(TakeLine(rest));
    FuzzedDataProvider input(reinterpret_cast<const std::uint8_t*>(rest.data()), rest.size());
    fake::Reset();
    const std::optional<Ipv4Address> resolved = ScriptResolver(input, computer);
    ScriptSockets(input);

    SendWake(mac, ip, subnet, computer);

    const Ipv4Address mask = ExpectedIpv4(subnet);
    const Ipv4Address target = ExpectedIpv4(ip);
    const bool magicDue = mac.size() == kMacTextLength && mask != IPV4_NONE && target != IPV4_NONE;
    const bool lookupDue = !computer.empty() && SingleBytes(computer).has_value();

    // The lines: an optional magic-packet line, then the lookup line, then an ARP line that is
    // always followed by a direct-packet line, and nothing else.
    const std::vector<std::string> lines = Lines(fake::console);
    std::size_t next = 0;
    FUZZ_CHECK(TakeSendLine(lines, next, "magic") == magicDue);
    FUZZ_CHECK(Take(lines, next, "Broadcast NetBIOS lookup.\n") == lookupDue);
    const bool direct = Take(lines, next, "Sent ARP request.\n");
    if (direct) FUZZ_CHECK(TakeSendLine(lines, next, "direct"));
    FUZZ_CHECK(next == lines.size());
    // The direct traffic goes to the address given with the option, else to the one the lookup
    // found, and never to a network address under the given mask.
    Ipv4Address directTarget = target;
    bool directDue = false;
    if (target != IPV4_NONE) {
        directDue = mask == IPV4_NONE || (target & ~mask) != 0;
    } else if (lookupDue && resolved) {
        directTarget = *resolved;
        directDue = directTarget != IPV4_NONE;
    }
    FUZZ_CHECK(direct == directDue);

    std::size_t magicCount = 0;
    std::size_t directCount = 0;
    std::size_t accepted = 0;
    for (const fake::Datagram& datagram : fake::winsock.sent) {
        FUZZ_CHECK(datagram.port == kWakePort);
        if (datagram.accepted) ++accepted;
        if (IsMagicPacket(datagram.bytes)) {
            FUZZ_CHECK(datagram.broadcast);
            FUZZ_CHECK(magicDue && magicCount == 0 && directCount == 0);
            FUZZ_CHECK(datagram.address == (~mask | target));
            for (std::size_t i = 0; i < 6; ++i) {
                const std::uint8_t expected =
                    static_cast<std::uint8_t>(AsciiHexDigit(mac[i * 3]).value_or(0) * 16 +
                                              AsciiHexDigit(mac[i * 3 + 1]).value_or(0));
                FUZZ_CHECK(datagram.bytes[6 + i] == expected);
            }
            ++magicCount;
        } else {
            FUZZ_CHECK(IsDirectPacket(datagram.bytes));
            FUZZ_CHECK(!datagram.broadcast);
            FUZZ_CHECK(directDue && directCount == 0);
            FUZZ_CHECK(datagram.address == directTarget);
            ++directCount;
        }
    }
    std::size_t sentLines = 0;
    for (const std::string& line : lines) {
        if (line.starts_with("Sent a ")) ++sentLines;
    }
    FUZZ_CHECK(sentLines == accepted);
    const std::vector<std::string> arpRequests = fake::CallsNamed("SendARP");
    FUZZ_CHECK(arpRequests.size() == (direct ? 1u : 0u));
    if (direct) {
        FUZZ_CHECK(arpRequests[0] ==
                   std::string("SendARP(") + platform::inet_ntoa(directTarget) + ", 0.0.0.0, 8)");
    }

    FUZZ_CHECK(fake::winsock.openSockets.empty());
    FUZZ_CHECK(fake::winsock.openAddressLists == 0);
    return 0;
}
