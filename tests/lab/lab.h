#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A network lab of namespaces that a test builds and removes itself. Nothing it creates is visible
// in the machine's own namespace: links are created straight inside their namespaces, host names
// resolve only through each namespace's own hosts file, and the destructor removes every
// namespace and file again. Leftovers of an earlier, aborted run with the same prefix are removed
// when the lab is constructed; the labs of runs still going on are left alone.
namespace lab {

struct RunResult {
    int status = -1;  // exit status, or 128 + signal number
    std::string output;
    std::string errors;
    std::chrono::duration<double> elapsed{};
};

// Runs a program (no shell) and collects what it writes. Throws when it cannot be started.
RunResult Run(const std::vector<std::string>& argv);

// Runs a program and throws, with its error output, unless it exits 0.
void RunChecked(const std::vector<std::string>& argv);

class Lab {
  public:
    // `prefix` and this process's id name every namespace of this lab
    // ("<prefix>-<process id>-<host>"); give each suite its own prefix.
    explicit Lab(std::string prefix);
    ~Lab();
    Lab(const Lab&) = delete;
    Lab& operator=(const Lab&) = delete;

    // The full namespace name of a lab host.
    std::string Namespace(const std::string& host) const;

    // Creates a host: its namespace with loopback up, a hosts file holding localhost and the given
    // entries (name, address), and an nsswitch.conf that resolves host names from files only.
    void AddHost(const std::string& host,
                 const std::vector<std::pair<std::string, std::string>>& hostsEntries = {});

    // Rewrites a host's hosts file (localhost is always kept).
    void SetHostsEntries(const std::string& host,
                         const std::vector<std::pair<std::string, std::string>>& hostsEntries);

    // A bridge named `bridge`, up, inside `host`.
    void AddBridge(const std::string& host, const std::string& bridge);

    // A veth pair between two hosts, both ends up. `addressA`/`addressB` are CIDR texts or empty;
    // `macA`/`macB` fixed hardware addresses or empty for the kernel's choice.
    void AddVeth(const std::string& hostA, const std::string& linkA, const std::string& addressA,
                 const std::string& hostB, const std::string& linkB, const std::string& addressB,
                 const std::string& macA = "", const std::string& macB = "");

    // Connects a host to a bridge through a veth pair: `link` in the host (with the given CIDR
    // address and MAC), its peer enslaved to `bridge` in `bridgeHost`.
    void ConnectToBridge(const std::string& host, const std::string& link,
                         const std::string& address, const std::string& mac,
                         const std::string& bridgeHost, const std::string& bridge);

    // Runs a bash command inside a host and throws unless it exits 0.
    void Shell(const std::string& host, const std::string& command) const;

    // Runs a program inside a host (through `ip netns exec`, so the host's /etc files apply).
    RunResult RunIn(const std::string& host, const std::vector<std::string>& argv) const;

    // The hardware address of a link, as "aa:bb:cc:dd:ee:ff".
    std::string MacOf(const std::string& host, const std::string& link) const;

  private:
    bool IsLeftover(const std::string& name) const;
    void RemoveLeftovers() const;
    void WriteEtcFiles(const std::string& host,
                       const std::vector<std::pair<std::string, std::string>>& hostsEntries) const;

    std::string prefix_;
    std::string runPrefix_;
    std::vector<std::string> hosts_;
};

// Captures every frame that crosses one link of a lab host, from construction on, through a
// packet socket opened inside that host's namespace.
class FrameCapture {
  public:
    FrameCapture(const std::string& namespaceName, const std::string& link);
    ~FrameCapture();
    FrameCapture(const FrameCapture&) = delete;
    FrameCapture& operator=(const FrameCapture&) = delete;

    // Returns the frames received so far and those that arrive until none has come for `quiet`.
    std::vector<std::vector<std::uint8_t>> Collect(
        std::chrono::milliseconds quiet = std::chrono::milliseconds(200));

  private:
    int socket_ = -1;
};

// Hardware address text ("aa:bb:...") as bytes.
std::vector<std::uint8_t> MacBytes(const std::string& text);

}  // namespace lab
