#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <poll.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <stdexcept>
#include <string>
#include <thread>

#include "lab.h"

namespace lab {

namespace {

// Opens the packet socket on its own thread: entering a namespace changes only the calling
// thread, and the socket stays bound to the namespace it was made in.
int OpenPacketSocketIn(const std::string& namespaceName, const std::string& link) {
    int result = -1;
    std::string failure;
    std::thread opener([&] {
        const int target = ::open(("/var/run/netns/" + namespaceName).c_str(), O_RDONLY);
        if (target < 0 || ::setns(target, CLONE_NEWNET) != 0) {
            failure = "cannot enter namespace " + namespaceName;
            if (target >= 0) ::close(target);
            return;
        }
        ::close(target);
        const int packet = ::socket(AF_PACKET, SOCK_RAW | SOCK_NONBLOCK, htons(ETH_P_ALL));
        const unsigned index = ::if_nametoindex(link.c_str());
        sockaddr_ll address{};
        address.sll_family = AF_PACKET;
        address.sll_protocol = htons(ETH_P_ALL);
        address.sll_ifindex = static_cast<int>(index);
        if (packet < 0 || index == 0 ||
            ::bind(packet, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            failure = "cannot capture on " + link + " in " + namespaceName;
            if (packet >= 0) ::close(packet);
            return;
        }
        result = packet;
    });
    opener.join();
    if (result < 0) throw std::runtime_error(failure);
    return result;
}

}  // namespace

FrameCapture::FrameCapture(const std::string& namespaceName, const std::string& link)
    : socket_(OpenPacketSocketIn(namespaceName, link)) {}

FrameCapture::~FrameCapture() { ::close(socket_); }

std::vector<std::vector<std::uint8_t>> FrameCapture::Collect(std::chrono::milliseconds quiet) {
    std::vector<std::vector<std::uint8_t>> frames;
    std::array<std::uint8_t, 65536> buffer{};
    for (;;) {
        pollfd ready{socket_, POLLIN, 0};
        if (::poll(&ready, 1, static_cast<int>(quiet.count())) <= 0) return frames;
        sockaddr_ll from{};
        socklen_t fromLength = sizeof from;
        const ssize_t n = ::recvfrom(socket_, buffer.data(), buffer.size(), 0,
                                     reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (n > 0) frames.emplace_back(buffer.begin(), buffer.begin() + n);
    }
}

}  // namespace lab
