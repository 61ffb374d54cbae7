#include "wine.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

namespace lab {

namespace {

// A fresh path of its own, so build trees testing side by side never share a prefix.
std::string NewPrefixPath(const std::string& namespaceName) {
    std::string pattern = "/tmp/" + namespaceName + "-wine-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    return pattern;
}

}  // namespace

bool WineAvailable() { return Run({"sh", "-c", "command -v wine"}).status == 0; }

WineRunner::WineRunner(const Lab& lab, std::string host, std::string templatePrefix)
    : lab_(lab), host_(std::move(host)), prefix_(NewPrefixPath(lab.Namespace(host_))) {
    if (!std::filesystem::exists(templatePrefix + "/system.reg")) {
        const RunResult boot = lab_.RunIn(
            host_, {"env", "WINEDEBUG=-all", "WINEPREFIX=" + templatePrefix, "wineboot", "-i"});
        // The server writes the registry only when it shuts down by itself; waiting for that
        // leaves a complete template to copy.
        lab_.RunIn(host_, {"env", "WINEPREFIX=" + templatePrefix, "wineserver", "-w"});
        if (boot.status != 0) throw std::runtime_error("wineboot failed: " + boot.errors);
    }
    std::filesystem::copy(
        templatePrefix, prefix_,
        std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks);
}

WineRunner::~WineRunner() {
    lab_.RunIn(host_, {"env", "WINEPREFIX=" + prefix_, "wineserver", "-k"});
    lab_.RunIn(host_, {"env", "WINEPREFIX=" + prefix_, "wineserver", "-w"});
    std::error_code ignored;
    std::filesystem::remove_all(prefix_, ignored);
}

RunResult WineRunner::Run(const std::string& exe, const std::vector<std::string>& arguments) const {
    std::vector<std::string> argv = {"env", "WINEDEBUG=-all", "WINEPREFIX=" + prefix_, "wine", exe};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return lab_.RunIn(host_, argv);
}

}  // namespace lab
