#include "lab.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace lab {

namespace {

const std::filesystem::path kNetnsEtc = "/etc/netns";

std::vector<std::string> Words(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
}

}  // namespace

Lab::Lab(std::string prefix)
    : prefix_(std::move(prefix)), runPrefix_(prefix_ + "-" + std::to_string(::getpid())) {
    RemoveLeftovers();
}

Lab::~Lab() {
    for (auto host = hosts_.rbegin(); host != hosts_.rend(); ++host) {
        const std::string name = Namespace(*host);
        Run({"ip", "netns", "del", name});
        std::error_code ignored;
        std::filesystem::remove_all(kNetnsEtc / name, ignored);
    }
}

std::string Lab::Namespace(const std::string& host) const { return runPrefix_ + "-" + host; }

// Names are "<prefix>-<process id>-<host>": a lab whose process is gone was left behind by a run
// that died, while the labs of runs still going on (another build tree testing at the same time)
// are theirs to remove.
bool Lab::IsLeftover(const std::string& name) const {
    const std::string mine = prefix_ + "-";
    if (name.rfind(mine, 0) != 0) return false;
    const std::size_t end = name.find('-', mine.size());
    if (end == std::string::npos || end == mine.size()) return false;
    const std::string digits = name.substr(mine.size(), end - mine.size());
    if (digits.find_first_not_of("0123456789") != std::string::npos) return false;
    const auto owner = static_cast<pid_t>(std::stol(digits));
    return owner != ::getpid() && ::kill(owner, 0) != 0 && errno == ESRCH;
}

void Lab::RemoveLeftovers() const {
    for (const std::string& name : Words(Run({"ip", "netns", "list"}).output)) {
        if (IsLeftover(name)) Run({"ip", "netns", "del", name});
    }
    std::error_code ignored;
    if (!std::filesystem::exists(kNetnsEtc, ignored)) return;
    for (const auto& entry : std::filesystem::directory_iterator(kNetnsEtc, ignored)) {
        if (IsLeftover(entry.path().filename().string())) {
            std::filesystem::remove_all(entry.path(), ignored);
        }
    }
}

void Lab::AddHost(const std::string& host,
                  const std::vector<std::pair<std::string, std::string>>& hostsEntries) {
    const std::string name = Namespace(host);
    RunChecked({"ip", "netns", "add", name});
    hosts_.push_back(host);
    WriteEtcFiles(host, hostsEntries);
    RunChecked({"ip", "-n", name, "link", "set", "lo", "up"});
}

void Lab::SetHostsEntries(const std::string& host,
                          const std::vector<std::pair<std::string, std::string>>& hostsEntries) {
    WriteEtcFiles(host, hostsEntries);
}

void Lab::WriteEtcFiles(
    const std::string& host,
    const std::vector<std::pair<std::string, std::string>>& hostsEntries) const {
    const std::filesystem::path directory = kNetnsEtc / Namespace(host);
    std::filesystem::create_directories(directory);
    std::ofstream hosts(directory / "hosts", std::ios::trunc);
    hosts << "127.0.0.1 localhost\n";
    for (const auto& [name, address] : hostsEntries) hosts << address << ' ' << name << '\n';
    std::ofstream nsswitch(directory / "nsswitch.conf", std::ios::trunc);
    nsswitch << "hosts: files\n";
}

void Lab::AddBridge(const std::string& host, const std::string& bridge) {
    const std::string name = Namespace(host);
    RunChecked({"ip", "-n", name, "link", "add", bridge, "type", "bridge"});
    RunChecked({"ip", "-n", name, "link", "set", bridge, "up"});
}

void Lab::AddVeth(const std::string& hostA, const std::string& linkA, const std::string& addressA,
                  const std::string& hostB, const std::string& linkB, const std::string& addressB,
                  const std::string& macA, const std::string& macB) {
    std::vector<std::string> add = {"ip", "link", "add", linkA, "netns", Namespace(hostA)};
    if (!macA.empty()) add.insert(add.end(), {"address", macA});
    add.insert(add.end(), {"type", "veth", "peer", "name", linkB, "netns", Namespace(hostB)});
    if (!macB.empty()) add.insert(add.end(), {"address", macB});
    RunChecked(add);
    for (const auto& [host, link, address] :
         {std::tuple{hostA, linkA, addressA}, std::tuple{hostB, linkB, addressB}}) {
        if (!address.empty()) {
            RunChecked({"ip", "-n", Namespace(host), "addr", "add", address, "dev", link});
        }
        RunChecked({"ip", "-n", Namespace(host), "link", "set", link, "up"});
    }
}

void Lab::ConnectToBridge(const std::string& host, const std::string& link,
                          const std::string& address, const std::string& mac,
                          const std::string& bridgeHost, const std::string& bridge) {
    const std::string port = host + "-" + link;
    AddVeth(host, link, address, bridgeHost, port.substr(0, 15), "", mac, "");
    RunChecked(
        {"ip", "-n", Namespace(bridgeHost), "link", "set", port.substr(0, 15), "master", bridge});
}

void Lab::Shell(const std::string& host, const std::string& command) const {
    RunChecked({"ip", "netns", "exec", Namespace(host), "bash", "-c", command});
}

RunResult Lab::RunIn(const std::string& host, const std::vector<std::string>& argv) const {
    std::vector<std::string> full = {"ip", "netns", "exec", Namespace(host)};
    full.insert(full.end(), argv.begin(), argv.end());
    return Run(full);
}

std::string Lab::MacOf(const std::string& host, const std::string& link) const {
    const RunResult result = RunIn(host, {"cat", "/sys/class/net/" + link + "/address"});
    if (result.status != 0) throw std::runtime_error("no link " + link + " in " + host);
    return Words(result.output).at(0);
}

std::vector<std::uint8_t> MacBytes(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 3) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

}  // namespace lab
