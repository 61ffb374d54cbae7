#include "adapter/adapter_wake_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adapter_world.h"
#include "call_log.h"
#include "case_name.h"

namespace {

// What the record holds after an operation.
struct Record {
    std::int32_t index;
    std::int32_t isEthernet;
    std::u16string pnpDeviceId;
    std::int32_t powerManagementEnabled;
    std::int32_t wakeEnabled;
    std::int32_t wakeRestricted;
};

const Record kInitial{-1, 0, u"", 0, 0, 0};

void ExpectRecord(const AdapterWakeSettings& settings, const Record& expected) {
    EXPECT_EQ(settings.index, expected.index);
    EXPECT_EQ(settings.isEthernet, expected.isEthernet);
    EXPECT_EQ(settings.PnpDeviceIdText(), expected.pnpDeviceId);
    EXPECT_EQ(settings.powerManagementEnabled, expected.powerManagementEnabled);
    EXPECT_EQ(settings.wakeEnabled, expected.wakeEnabled);
    EXPECT_EQ(settings.wakeRestricted, expected.wakeRestricted);
}

bool AnyWrite() {
    return !fake::CallsNamed("Put").empty() || !fake::CallsNamed("PutInstance").empty();
}

struct QueryCase {
    const char* name;
    std::u16string mac;
    void (*edit)();  // changes the world before the query
    std::vector<fake::ScriptedFailure> failures;
    int result;
    Record record;
};

class QueryTest : public testing::TestWithParam<QueryCase> {
  protected:
    void SetUp() override { BuildAdapterWorld(); }
};

TEST_P(QueryTest, ReadsOrLeavesRecord) {
    const QueryCase& c = GetParam();
    if (c.edit != nullptr) c.edit();
    fake::wmi.failures = c.failures;
    AdapterWakeSettings settings;

    EXPECT_EQ(settings.Query(c.mac), c.result);

    ExpectRecord(settings, c.record);
    EXPECT_FALSE(AnyWrite());
    ExpectEverythingReleased();
}

void NoEdit() {}

fake::Properties& EthernetAdapter() {
    return fake::wmi.namespaces[u"ROOT\\CIMV2"][u"Win32_NetworkAdapter"][1];
}

std::vector<fake::Properties>& PowerClass(const std::u16string& className) {
    return fake::wmi.namespaces[u"ROOT\\WMI"][className];
}

const Record kEthernetRead{7, 1, kEthernetPnp, -1, -1, -1};
const Record kEthernetIdentity{7, 1, kEthernetPnp, 0, 0, 0};
const std::u16string kEthernet(kEthernetMac);

// clang-format off
INSTANTIATE_TEST_SUITE_P(MacMatching, QueryTest, testing::Values(
    QueryCase{"SameText", kEthernet, NoEdit, {}, 1, kEthernetRead},
    QueryCase{"LetterCaseIgnored", u"00:1a:2b:3c:4d:5e", NoEdit, {}, 1, kEthernetRead},
    QueryCase{"SecondAdapterFalseSettingsReadAsZero", std::u16string(kWirelessMac), NoEdit, {}, 1,
              Record{9, 0, kWirelessPnp, -1, 0, -1}},
    QueryCase{"DashesNeverMatch", u"00-1A-2B-3C-4D-5E", NoEdit, {}, 0, kInitial},
    QueryCase{"NoSeparatorsNeverMatch", u"001A2B3C4D5E", NoEdit, {}, 0, kInitial},
    QueryCase{"PrefixOfMacDoesNotMatch", u"00:1A:2B:3C:4D:5", NoEdit, {}, 0, kInitial},
    QueryCase{"NoAdapterKeepsInitialRecord", u"00:00:00:00:00:01", NoEdit, {}, 0, kInitial},
    QueryCase{"MacThatIsNotTextIsSkipped", kEthernet,
              [] { EthernetAdapter()[u"MACAddress"] = fake::Null(); }, {}, 0, kInitial},
    QueryCase{"OnlyFirstOfTwoSameMacsIsExamined", kEthernet, [] {
                  auto& adapters = fake::wmi.namespaces[u"ROOT\\CIMV2"][u"Win32_NetworkAdapter"];
                  adapters.insert(adapters.begin(),
                                  Adapter(fake::Text(u"00:1a:2b:3c:4d:5e"), fake::Int32(12),
                                          fake::Int32(0), fake::Text(u"ROOT\\VMS_MP\\0000")));
              }, {}, 0, Record{12, 1, u"ROOT\\VMS_MP\\0000", 0, 0, 0}}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(AdapterProperties, QueryTest, testing::Values(
    QueryCase{"IndexNotInteger", kEthernet,
              [] { EthernetAdapter()[u"Index"] = fake::Text(u"7"); }, {}, 0, kInitial},
    QueryCase{"IndexMissing", kEthernet, [] { EthernetAdapter().erase(u"Index"); }, {}, 0,
              kInitial},
    QueryCase{"AdapterTypeNull", kEthernet,
              [] { EthernetAdapter()[u"AdapterTypeID"] = fake::Null(); }, {}, 0,
              Record{7, 0, u"", 0, 0, 0}},
    QueryCase{"NonEthernetType", kEthernet,
              [] { EthernetAdapter()[u"AdapterTypeID"] = fake::Int32(9); }, {}, 1,
              Record{7, 0, kEthernetPnp, -1, -1, -1}},
    QueryCase{"PnpNull", kEthernet,
              [] { EthernetAdapter()[u"PNPDeviceID"] = fake::Null(); }, {}, 0,
              Record{7, 1, u"", 0, 0, 0}},
    QueryCase{"EmptyPnpMatchesNoInstance", kEthernet,
              [] { EthernetAdapter()[u"PNPDeviceID"] = fake::Text(u""); }, {}, 0,
              Record{7, 1, u"", 0, 0, 0}},
    QueryCase{"LongPnpIsCutTo255ForTheRecordOnly", kEthernet, [] {
                  const std::u16string longId = kEthernetPnp + std::u16string(300, u'X');
                  EthernetAdapter()[u"PNPDeviceID"] = fake::Text(longId);
                  for (const auto* name : {&kPowerEnable, &kWakeEnable, &kMagicOnly}) {
                      PowerClass(*name)[1][u"InstanceName"] = fake::Text(longId + u"_0");
                  }
              }, {}, 1,
              Record{7, 1, (kEthernetPnp + std::u16string(300, u'X')).substr(0, 255), -1, -1,
                     -1}}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(PowerInstances, QueryTest, testing::Values(
    QueryCase{"NoInstanceForDeviceInSecondClass", kEthernet,
              [] { PowerClass(kWakeEnable).pop_back(); }, {}, 0,
              Record{7, 1, kEthernetPnp, -1, 0, 0}},
    QueryCase{"ThirdClassAbsent", kEthernet,
              [] { fake::wmi.namespaces[u"ROOT\\WMI"].erase(kMagicOnly); }, {}, 0,
              Record{7, 1, kEthernetPnp, -1, -1, 0}},
    QueryCase{"InstanceNameNotTextIsSkipped", kEthernet,
              [] { PowerClass(kPowerEnable)[0][u"InstanceName"] = fake::Null(); }, {}, 1,
              kEthernetRead},
    QueryCase{"PropertyNotBoolean", kEthernet,
              [] { PowerClass(kPowerEnable)[1][u"Enable"] = fake::Int32(1); }, {}, 0,
              kEthernetIdentity},
    QueryCase{"PropertyMissing", kEthernet,
              [] { PowerClass(kWakeEnable)[1].erase(u"Enable"); }, {}, 0,
              Record{7, 1, kEthernetPnp, -1, 0, 0}},
    QueryCase{"FirstMatchingInstanceIsTaken", kEthernet, [] {
                  auto& instances = PowerClass(kPowerEnable);
                  instances.push_back(PowerInstance(kEthernetPnp + u"_1", u"Enable", false));
                  std::swap(instances[1], instances[2]);
              }, {}, 1, Record{7, 1, kEthernetPnp, 0, -1, -1}}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(FailingCalls, QueryTest, testing::Values(
    QueryCase{"CreateLocator", kEthernet, NoEdit, {{"CoCreateInstance("}}, 0, kInitial},
    QueryCase{"ConnectCimv2", kEthernet, NoEdit, {{"ConnectServer(ROOT\\CIMV2"}}, 0, kInitial},
    QueryCase{"BlanketCimv2", kEthernet, NoEdit, {{"CoSetProxyBlanket(ROOT\\CIMV2"}}, 0,
              kInitial},
    QueryCase{"ConnectWmi", kEthernet, NoEdit, {{"ConnectServer(ROOT\\WMI"}}, 0, kInitial},
    QueryCase{"BlanketWmi", kEthernet, NoEdit, {{"CoSetProxyBlanket(ROOT\\WMI"}}, 0, kInitial},
    QueryCase{"AdapterQuery", kEthernet, NoEdit,
              {{"ExecQuery(ROOT\\CIMV2"}}, 0, kInitial},
    QueryCase{"AdapterNext", kEthernet, NoEdit, {{"Next(Win32_NetworkAdapter"}}, 0, kInitial},
    QueryCase{"MacRead", kEthernet, NoEdit, {{"Get(Win32_NetworkAdapter#1, MACAddress"}}, 0,
              kInitial},
    QueryCase{"IndexRead", kEthernet, NoEdit, {{"Get(Win32_NetworkAdapter#1, Index"}}, 0,
              kInitial},
    QueryCase{"PnpRead", kEthernet, NoEdit, {{"Get(Win32_NetworkAdapter#1, PNPDeviceID"}}, 0,
              Record{7, 1, u"", 0, 0, 0}},
    QueryCase{"SettingQuery", kEthernet, NoEdit,
              {{"ExecQuery(ROOT\\WMI, WQL, SELECT * FROM MSPower_DeviceWakeEnable"}}, 0,
              Record{7, 1, kEthernetPnp, -1, 0, 0}},
    QueryCase{"SettingNext", kEthernet, NoEdit, {{"Next(MSNdis_DeviceWakeOnMagicPacketOnly"}}, 0,
              Record{7, 1, kEthernetPnp, -1, -1, 0}},
    QueryCase{"InstanceNameRead", kEthernet, NoEdit, {{"Get(MSPower_DeviceEnable#1, InstanceName"}},
              0, kEthernetIdentity},
    QueryCase{"SettingRead", kEthernet, NoEdit, {{"Get(MSPower_DeviceEnable#1, Enable"}}, 0,
              kEthernetIdentity}),
    CaseName());
// clang-format on

struct UpdateCase {
    const char* name;
    int enable;
    std::vector<fake::ScriptedFailure> failures;
    int result;
    std::vector<std::int32_t> record;  // the three settings, in order
    std::vector<std::int16_t> stored;  // what the three instances hold afterwards
    std::vector<std::string> classesQueried;
};

class UpdateTest : public testing::TestWithParam<UpdateCase> {
  protected:
    void SetUp() override { BuildAdapterWorld(); }
};

TEST_P(UpdateTest, WritesUntilFirstFailure) {
    const UpdateCase& c = GetParam();
    fake::wmi.failures = c.failures;
    AdapterWakeSettings settings;

    EXPECT_EQ(settings.Update(kEthernetMac, c.enable), c.result);

    EXPECT_EQ((std::vector<std::int32_t>{settings.powerManagementEnabled, settings.wakeEnabled,
                                         settings.wakeRestricted}),
              c.record);
    EXPECT_EQ((std::vector<std::int16_t>{StoredEthernetSetting(kPowerEnable),
                                         StoredEthernetSetting(kWakeEnable),
                                         StoredEthernetSetting(kMagicOnly)}),
              c.stored);
    std::vector<std::string> queried;
    for (const std::string& call : fake::CallsNamed("ExecQuery")) {
        const auto from = call.find("FROM ");
        queried.push_back(call.substr(from + 5, call.find(',', from) - from - 5));
    }
    EXPECT_EQ(queried, c.classesQueried);
    ExpectEverythingReleased();
}

const std::vector<std::string> kAllClasses = {"Win32_NetworkAdapter", "MSPower_DeviceEnable",
                                              "MSPower_DeviceWakeEnable",
                                              "MSNdis_DeviceWakeOnMagicPacketOnly"};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Update, UpdateTest, testing::Values(
    UpdateCase{"SetWritesOneEverywhere", 1, {}, 1, {1, 1, 1}, {1, 1, 1}, kAllClasses},
    UpdateCase{"ClearWritesZeroEverywhere", 0, {}, 1, {0, 0, 0}, {0, 0, 0}, kAllClasses},
    UpdateCase{"PutInstanceFailsAtSetting1", 1, {{"PutInstance(ROOT\\WMI, MSPower_DeviceEnable"}},
               0, {-1, 0, 0}, {-1, -1, -1}, {"Win32_NetworkAdapter", "MSPower_DeviceEnable"}},
    UpdateCase{"PutInstanceFailsAtSetting2", 1,
               {{"PutInstance(ROOT\\WMI, MSPower_DeviceWakeEnable"}}, 0, {1, -1, 0}, {1, -1, -1},
               {"Win32_NetworkAdapter", "MSPower_DeviceEnable", "MSPower_DeviceWakeEnable"}},
    UpdateCase{"PutInstanceFailsAtSetting3", 1,
               {{"PutInstance(ROOT\\WMI, MSNdis_DeviceWakeOnMagicPacketOnly"}}, 0, {1, 1, -1},
               {1, 1, -1}, kAllClasses},
    UpdateCase{"PutFailsAtSetting2", 0, {{"Put(MSPower_DeviceWakeEnable"}}, 0, {0, -1, 0},
               {0, -1, -1},
               {"Win32_NetworkAdapter", "MSPower_DeviceEnable", "MSPower_DeviceWakeEnable"}}),
    CaseName());
// clang-format on

TEST_F(UpdateTest, PutFailureSkipsPutInstance) {
    fake::wmi.failures = {{"Put(MSPower_DeviceEnable"}};
    AdapterWakeSettings settings;
    EXPECT_EQ(settings.Update(kEthernetMac, 1), 0);
    EXPECT_TRUE(fake::CallsNamed("PutInstance").empty());
    ExpectEverythingReleased();
}

TEST_F(UpdateTest, EmptyDeviceIdentifierWritesNothing) {
    fake::wmi.namespaces[u"ROOT\\CIMV2"][u"Win32_NetworkAdapter"][1][u"PNPDeviceID"] =
        fake::Text(u"");
    AdapterWakeSettings settings;
    EXPECT_EQ(settings.Update(kEthernetMac, 0), 0);
    EXPECT_FALSE(AnyWrite());
    EXPECT_EQ(StoredEthernetSetting(kPowerEnable), -1);
    EXPECT_EQ(PowerClass(kPowerEnable)[0].at(u"Enable").boolean, -1);
    ExpectEverythingReleased();
}

// The whole conversation of a successful "-set", argument for argument.
TEST_F(UpdateTest, SetMakesExactlyTheseCalls) {
    AdapterWakeSettings settings;
    ASSERT_EQ(settings.Update(kEthernetMac, 1), 1);

    std::vector<std::string> expected = {
        "CoCreateInstance(CLSID_WbemLocator, null, CLSCTX_INPROC_SERVER, IID_IWbemLocator)",
        "ConnectServer(ROOT\\CIMV2, null, null, null, 0, null, null)",
        "CoSetProxyBlanket(ROOT\\CIMV2, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, null, "
        "RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, null, EOAC_NONE)",
        "ConnectServer(ROOT\\WMI, null, null, null, 0, null, null)",
        "CoSetProxyBlanket(ROOT\\WMI, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, null, "
        "RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, null, EOAC_NONE)",
        "ExecQuery(ROOT\\CIMV2, WQL, SELECT * FROM Win32_NetworkAdapter, 48, null)",
        "Next(Win32_NetworkAdapter enumerator, -1, 1)",
        "Get(Win32_NetworkAdapter#0, MACAddress, 0, null, null)",
        "Release(Win32_NetworkAdapter#0)",
        "Next(Win32_NetworkAdapter enumerator, -1, 1)",
        "Get(Win32_NetworkAdapter#1, MACAddress, 0, null, null)",
        "Get(Win32_NetworkAdapter#1, Index, 0, null, null)",
        "Get(Win32_NetworkAdapter#1, AdapterTypeID, 0, null, null)",
        "Get(Win32_NetworkAdapter#1, PNPDeviceID, 0, null, null)",
    };
    const std::vector<std::pair<std::string, std::string>> settingsVisited = {
        {"MSPower_DeviceEnable", "Enable"},
        {"MSPower_DeviceWakeEnable", "Enable"},
        {"MSNdis_DeviceWakeOnMagicPacketOnly", "EnableWakeOnMagicPacketOnly"}};
    for (const auto& [className, property] : settingsVisited) {
        const std::string first = className + "#0";
        const std::string second = className + "#1";
        const std::string enumerator = className + " enumerator";
        expected.insert(expected.end(),
                        {
                            "ExecQuery(ROOT\\WMI, WQL, SELECT * FROM " + className + ", 48, null)",
                            "Next(" + enumerator + ", -1, 1)",
                            "Get(" + first + ", InstanceName, 0, null, null)",
                            "Release(" + first + ")",
                            "Next(" + enumerator + ", -1, 1)",
                            "Get(" + second + ", InstanceName, 0, null, null)",
                            "Get(" + second + ", " + property + ", 0, null, null)",
                            "Put(" + second + ", " + property + ", 0, VT_BOOL 1, 0)",
                            "PutInstance(ROOT\\WMI, " + second + ", 1, null, null)",
                            "Release(" + second + ")",
                            "Release(" + enumerator + ")",
                        });
    }
    expected.insert(expected.end(), {"Release(Win32_NetworkAdapter#1)", "Release(ROOT\\WMI)",
                                     "Release(ROOT\\CIMV2)", "Release(locator)",
                                     "Release(Win32_NetworkAdapter enumerator)"});
    EXPECT_EQ(fake::calls, expected);
}

}  // namespace
