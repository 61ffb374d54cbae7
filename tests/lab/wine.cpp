#include "wine.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

namespace lab {

namespace {

// A fresh folder of its own, so build trees testing side by side never share a prefix.
std::string NewRunnerFolder(const std::string& namespaceName) {
    std::string pattern = "/tmp/" + namespaceName + "-wine-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    std::filesystem::create_directory(pattern + "/tmp");
    return pattern;
}

}  // namespace

bool WineAvailable() { return Run({"sh", "-c", "command -v wine"}).status == 0; }

WineRunner::WineRunner(const Lab& lab, std::string host, std::string templatePrefix)
    : lab_(lab), host_(std::move(host)), folder_(NewRunnerFolder(lab.Namespace(host_))) {
    if (!std::filesystem::exists(templatePrefix + "/system.reg")) {
        const RunResult boot = Wine(templatePrefix, {"wineboot", "-i"});
        // The server writes the registry only when it shuts down by itself; waiting for that
        // leaves a complete template to copy.
        Wine(templatePrefix, {"wineserver", "-w"});
        if (boot.status != 0) throw std::runtime_error("wineboot failed: " + boot.errors);
    }
    std::filesystem::copy(
        templatePrefix, Prefix(),
        std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks);
}

WineRunner::~WineRunner() {
    Wine(Prefix(), {"wineserver", "-k"});
    Wine(Prefix(), {"wineserver", "-w"});
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

RunResult WineRunner::Run(const std::string& exe, const std::vector<std::string>& arguments) const {
    std::vector<std::string> command = {"wine", exe};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return Wine(Prefix(), command);
}

std::string WineRunner::Prefix() const { return folder_ + "/prefix"; }

// Wine keeps its server's socket folder under TMPDIR: pointing that into the runner's folder
// removes it together with the prefix.
RunResult WineRunner::Wine(const std::string& prefix,
                           const std::vector<std::string>& command) const {
    std::vector<std::string> argv = {"env", "WINEDEBUG=-all", "WINEPREFIX=" + prefix,
                                     "TMPDIR=" + folder_ + "/tmp"};
    argv.insert(argv.end(), command.begin(), command.end());
    return lab_.RunIn(host_, argv);
}

}  // namespace lab
