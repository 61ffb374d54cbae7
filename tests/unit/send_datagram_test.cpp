#include "wake/send_datagram.h"

#include <gtest/gtest.h>

#include "call_log.h"
#include "case_name.h"
#include "fake_winsock.h"
#include "platform/winsock.h"
#include "reset.h"

#include <deque>
#include <string>
#include <vector>

namespace {

constexpr Ipv4Address kAddress = 0x1401A8C0;  // 192.168.1.20
constexpr int kNetworkUnreachable = 10051;

struct DatagramCase {
    const char* name;
    bool broadcast;
    std::deque<bool> socketSucceeds;
    std::deque<bool> sendtoSucceeds;
    std::vector<std::string> expectedCalls;
    bool expectedAccepted;
};

class SendDatagramTest : public testing::TestWithParam<DatagramCase> {
  protected:
    void SetUp() override {
        fake::Reset();
        fake::winsock.socketSucceeds = GetParam().socketSucceeds;
        fake::winsock.sendtoSucceeds = GetParam().sendtoSucceeds;
        fake::winsock.lastError = kNetworkUnreachable;
    }
};

TEST_P(SendDatagramTest, CallsInOrderAndReportsTheOutcome) {
    const std::uint8_t data[3] = {1, 2, 3};
    const DatagramOutcome outcome = SendDatagram(kAddress, GetParam().broadcast, data, 3);

    EXPECT_EQ(fake::calls, GetParam().expectedCalls);
    EXPECT_EQ(outcome.accepted, GetParam().expectedAccepted);
    EXPECT_EQ(outcome.error, GetParam().expectedAccepted ? 0 : kNetworkUnreachable);
    EXPECT_TRUE(fake::winsock.openSockets.empty()) << "every socket is closed again";
}

const std::string kSocket = "socket(2, SOCK_DGRAM, 0)";
const std::string kSendto = "sendto(100, 3 bytes, 0, 192.168.1.20:34125, 16)";
const std::string kClose = "closesocket(100)";
const std::vector<std::string> kBroadcastSettings = {
    "setsockopt(100, SOL_SOCKET, SO_BROADCAST, 1, 4)",
    "setsockopt(100, IPPROTO_IP, IP_MULTICAST_TTL, 2, 4)",
    "setsockopt(100, IPPROTO_IP, IP_TTL, 2, 4)",
};

std::vector<std::string> BroadcastCalls() {
    std::vector<std::string> calls = {kSocket};
    calls.insert(calls.end(), kBroadcastSettings.begin(), kBroadcastSettings.end());
    calls.push_back(kSendto);
    calls.push_back(kClose);
    return calls;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Datagrams, SendDatagramTest, testing::Values(
    DatagramCase{"DirectNeedsNoSettings", false, {}, {}, {kSocket, kSendto, kClose}, true},
    DatagramCase{"BroadcastAllowedWithHopLimitTwo", true, {}, {}, BroadcastCalls(), true},
    DatagramCase{"RefusedSendIsReportedAndSocketClosed", false, {}, {false}, {kSocket, kSendto, kClose}, false},
    DatagramCase{"RefusedBroadcastIsReported", true, {}, {false}, BroadcastCalls(), false},
    DatagramCase{"NoSocketSendsNothing", true, {false}, {}, {kSocket}, false}),
    CaseName());
// clang-format on

TEST(SendDatagramBytesTest, WholeBufferToWakePortWithItsBroadcastSetting) {
    fake::Reset();
    const std::uint8_t data[4] = {0xDE, 0xAD, 0xBE, 0xEF};
    SendDatagram(kAddress, true, data, 4);
    SendDatagram(kAddress, false, data, 2);

    ASSERT_EQ(fake::winsock.sent.size(), 2u);
    EXPECT_EQ(fake::winsock.sent[0].port, WAKE_PORT);
    EXPECT_EQ(fake::winsock.sent[0].address, kAddress);
    EXPECT_TRUE(fake::winsock.sent[0].broadcast);
    EXPECT_EQ(fake::winsock.sent[0].bytes, (std::vector<std::uint8_t>{0xDE, 0xAD, 0xBE, 0xEF}));
    EXPECT_FALSE(fake::winsock.sent[1].broadcast) << "each datagram has a socket of its own";
    EXPECT_EQ(fake::winsock.sent[1].bytes, (std::vector<std::uint8_t>{0xDE, 0xAD}));
}

}  // namespace
