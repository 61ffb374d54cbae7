#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "case_name.h"
#include "lab.h"
#include "platform/iphlpapi.h"
#include "platform/kernel.h"
#include "routed_lab.h"

// The Linux backend's IP Helper and kernel calls against the real kernel, asked from inside the
// routed lab's computer: the Windows contract (results, out-parameters, error numbers) spoken
// from rtnetlink.
namespace {

using lab::RoutedLab;

// Moves this thread into a namespace for the guard's lifetime. Only the kernel's tables are
// read from there: nothing is sent.
class InsideNamespace {
  public:
    explicit InsideNamespace(const std::string& name)
        : home_(::open("/proc/self/ns/net", O_RDONLY)) {
        const int target = ::open(("/var/run/netns/" + name).c_str(), O_RDONLY);
        const bool entered = target >= 0 && ::setns(target, CLONE_NEWNET) == 0;
        if (target >= 0) ::close(target);
        if (home_ < 0 || !entered) {
            if (home_ >= 0) ::close(home_);
            throw std::runtime_error("cannot enter namespace " + name);
        }
    }
    ~InsideNamespace() {
        ::setns(home_, CLONE_NEWNET);
        ::close(home_);
    }
    InsideNamespace(const InsideNamespace&) = delete;
    InsideNamespace& operator=(const InsideNamespace&) = delete;

  private:
    int home_;
};

Ipv4Address Address(const char* text) { return ::inet_addr(text); }

class LinuxIpHelperTest : public testing::Test {
  protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "network namespaces need root";
        lab_ = std::make_unique<lab::Lab>("nrpl");
        RoutedLab::Build(*lab_, "site.lab");
        eth0_ = static_cast<std::uint32_t>(lab::IndexOf(*lab_, RoutedLab::kComputer, "eth0"));
    }

    std::unique_ptr<InsideNamespace> EnterComputer() const {
        return std::make_unique<InsideNamespace>(lab_->Namespace(RoutedLab::kComputer));
    }

    std::unique_ptr<lab::Lab> lab_;
    std::uint32_t eth0_ = 0;
};

TEST_F(LinuxIpHelperTest, AddressTableTakesTwoCallsAndMarksSecondaryAddresses) {
    const auto inside = EnterComputer();
    std::uint32_t size = 4;
    std::vector<std::uint8_t> buffer(size);
    ASSERT_EQ(platform::GetIpAddrTable(reinterpret_cast<platform::MibIpAddrTable*>(buffer.data()),
                                       &size, false),
              platform::ERROR_INSUFFICIENT_BUFFER_RESULT);
    EXPECT_EQ(size, platform::IpAddrTableSize(3));

    buffer.resize(size);
    const auto* table = reinterpret_cast<const platform::MibIpAddrTable*>(buffer.data());
    ASSERT_EQ(platform::GetIpAddrTable(reinterpret_cast<platform::MibIpAddrTable*>(buffer.data()),
                                       &size, false),
              platform::NO_ERROR_RESULT);
    ASSERT_EQ(table->dwNumEntries, 3u);
    struct Expected {
        const char* address;
        std::uint32_t index;
        const char* mask;
        std::uint16_t type;
    };
    const Expected expected[] = {
        {"127.0.0.1", 1, "255.0.0.0", platform::MIB_IPADDR_PRIMARY_BIT},
        {RoutedLab::kComputerAddress, eth0_, RoutedLab::kComputerMask,
         platform::MIB_IPADDR_PRIMARY_BIT},
        {RoutedLab::kComputerSecondaryAddress, eth0_, RoutedLab::kComputerMask, 0}};
    for (std::uint32_t i = 0; i < 3; ++i) {
        const platform::MibIpAddrRow& row = table->table[i];
        EXPECT_EQ(row.dwAddr, Address(expected[i].address)) << "row " << i;
        EXPECT_EQ(row.dwIndex, expected[i].index) << "row " << i;
        EXPECT_EQ(row.dwMask, Address(expected[i].mask)) << "row " << i;
        EXPECT_EQ(row.wType & platform::MIB_IPADDR_PRIMARY_BIT, expected[i].type) << "row " << i;
    }
}

TEST_F(LinuxIpHelperTest, SortedAddressTableIsInAddressOrder) {
    lab_->Shell(RoutedLab::kComputer, "ip addr add 10.88.1.5/24 dev eth0");
    const auto inside = EnterComputer();
    std::uint32_t size = platform::IpAddrTableSize(8);
    std::vector<std::uint8_t> buffer(size);
    const auto* table = reinterpret_cast<const platform::MibIpAddrTable*>(buffer.data());
    ASSERT_EQ(platform::GetIpAddrTable(reinterpret_cast<platform::MibIpAddrTable*>(buffer.data()),
                                       &size, true),
              platform::NO_ERROR_RESULT);
    std::vector<Ipv4Address> actual;
    for (std::uint32_t i = 0; i < table->dwNumEntries; ++i)
        actual.push_back(table->table[i].dwAddr);
    EXPECT_EQ(actual, (std::vector<Ipv4Address>{Address("10.88.1.5"), Address("10.88.1.20"),
                                                Address("10.88.1.21"), Address("127.0.0.1")}));
}

struct LinkCase {
    const char* name;
    const char* link;  // empty: an index no link has
    std::uint32_t result;
    std::uint32_t length;
};

void PrintTo(const LinkCase& testCase, std::ostream* stream) { *stream << testCase.name; }

class LinuxIfEntryTest : public LinuxIpHelperTest, public testing::WithParamInterface<LinkCase> {};

TEST_P(LinuxIfEntryTest, ReportsTheHardwareAddressLength) {
    lab_->Shell(RoutedLab::kComputer, "ip tuntap add mode tun name tun0");
    platform::MibIfRow row;
    row.dwIndex = *GetParam().link == '\0' ? 999
                                           : static_cast<std::uint32_t>(lab::IndexOf(
                                                 *lab_, RoutedLab::kComputer, GetParam().link));
    const auto inside = EnterComputer();
    EXPECT_EQ(platform::GetIfEntry(&row), GetParam().result);
    EXPECT_EQ(row.dwPhysAddrLen, GetParam().length);
    if (GetParam().length == 6) {
        EXPECT_EQ(std::vector<std::uint8_t>(row.bPhysAddr, row.bPhysAddr + 6),
                  lab::MacBytes(RoutedLab::kComputerMac));
    }
}

INSTANTIATE_TEST_SUITE_P(Links, LinuxIfEntryTest,
                         testing::Values(LinkCase{"Ethernet", "eth0", platform::NO_ERROR_RESULT, 6},
                                         LinkCase{"Loopback", "lo", platform::NO_ERROR_RESULT, 0},
                                         LinkCase{"Tun", "tun0", platform::NO_ERROR_RESULT, 0},
                                         LinkCase{"NoSuchIndex", "", 2, 0}),
                         CaseName());

TEST_F(LinuxIpHelperTest, BestRouteNamesTheGatewayOrAnOnLinkDestinationItself) {
    const auto inside = EnterComputer();
    struct Case {
        const char* destination;
        const char* nextHop;
    };
    for (const Case& c : {Case{RoutedLab::kSiteAddress, RoutedLab::kGatewayAddress},
                          Case{"10.88.1.99", "10.88.1.99"}}) {
        std::uint32_t index = 0;
        EXPECT_EQ(platform::GetBestInterface(Address(c.destination), &index),
                  platform::NO_ERROR_RESULT);
        EXPECT_EQ(index, eth0_) << c.destination;
        platform::MibIpForwardRow route;
        EXPECT_EQ(platform::GetBestRoute(Address(c.destination), 0, &route),
                  platform::NO_ERROR_RESULT);
        EXPECT_EQ(route.dwForwardNextHop, Address(c.nextHop)) << c.destination;
        EXPECT_EQ(route.dwForwardIfIndex, eth0_) << c.destination;
    }
}

TEST_F(LinuxIpHelperTest, NoRouteIsHostUnreachable) {
    lab_->Shell(RoutedLab::kComputer, "ip route del default");
    const auto inside = EnterComputer();
    std::uint32_t index = 12345;
    EXPECT_EQ(platform::GetBestInterface(Address(RoutedLab::kSiteAddress), &index), 1232u);
    EXPECT_EQ(index, 12345u);
    platform::MibIpForwardRow route;
    EXPECT_EQ(platform::GetBestRoute(Address(RoutedLab::kSiteAddress), 0, &route), 1232u);
}

struct NameCase {
    const char* name;
    const char* hostName;
    const char* computerName;
};

void PrintTo(const NameCase& testCase, std::ostream* stream) { *stream << testCase.name; }

// Each case sets the host name in a UTS namespace of this process's own.
class LinuxComputerNameTest : public testing::TestWithParam<NameCase> {
  protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "a host name of our own needs root";
        ASSERT_EQ(::unshare(CLONE_NEWUTS), 0);
        ASSERT_EQ(::sethostname(GetParam().hostName, std::strlen(GetParam().hostName)), 0);
    }
};

TEST_P(LinuxComputerNameTest, IsTheFirstLabelInUpperCaseCutTo15Characters) {
    char buffer[16] = {};
    std::uint32_t size = sizeof buffer;
    EXPECT_NE(platform::GetComputerNameA(buffer, &size), 0);
    EXPECT_STREQ(buffer, GetParam().computerName);
    EXPECT_EQ(size, std::strlen(GetParam().computerName));
}

TEST_P(LinuxComputerNameTest, TooSmallBufferAsksForTheNeededSize) {
    char buffer[2] = {};
    std::uint32_t size = sizeof buffer;
    platform::SetLastError(0);
    EXPECT_EQ(platform::GetComputerNameA(buffer, &size), 0);
    EXPECT_EQ(size, std::strlen(GetParam().computerName) + 1);
    EXPECT_EQ(platform::GetLastError(), 111u);  // ERROR_BUFFER_OVERFLOW
}

INSTANTIATE_TEST_SUITE_P(HostNames, LinuxComputerNameTest,
                         testing::Values(NameCase{"Short", "pc7", "PC7"},
                                         NameCase{"FullyQualified", "office.example.lan", "OFFICE"},
                                         NameCase{"Long", "probe-computer-one", "PROBE-COMPUTER-"}),
                         CaseName());

TEST(LinuxLastErrorTest, BelongsToTheThread) {
    platform::SetLastError(5);
    std::uint32_t seenByOtherThread = 1;
    std::thread other([&] {
        seenByOtherThread = platform::GetLastError();
        platform::SetLastError(7);
    });
    other.join();
    EXPECT_EQ(seenByOtherThread, 0u);
    EXPECT_EQ(platform::GetLastError(), 5u);
}

}  // namespace
