#include "wine.h"

#include <filesystem>
#include <stdexcept>

namespace lab {

bool WineAvailable() { return Run({"sh", "-c", "command -v wine"}).status == 0; }

WineRunner::WineRunner(const Lab& lab, std::string host, std::string templatePrefix)
    : lab_(lab), host_(std::move(host)), prefix_("/tmp/" + lab.Namespace(host_) + "-wineprefix") {
    std::filesystem::remove_all(prefix_);
    if (!std::filesystem::exists(templatePrefix + "/system.reg")) {
        const RunResult boot = lab_.RunIn(
            host_, {"env", "WINEDEBUG=-all", "WINEPREFIX=" + templatePrefix, "wineboot", "-i"});
        StopServer(templatePrefix);
        if (boot.status != 0) throw std::runtime_error("wineboot failed: " + boot.errors);
    }
    std::filesystem::copy(
        templatePrefix, prefix_,
        std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks);
}

WineRunner::~WineRunner() {
    StopServer(prefix_);
    std::error_code ignored;
    std::filesystem::remove_all(prefix_, ignored);
}

RunResult WineRunner::Run(const std::string& exe, const std::vector<std::string>& arguments) const {
    std::vector<std::string> argv = {"env", "WINEDEBUG=-all", "WINEPREFIX=" + prefix_, "wine", exe};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return lab_.RunIn(host_, argv);
}

void WineRunner::StopServer(const std::string& prefix) const {
    lab_.RunIn(host_, {"env", "WINEPREFIX=" + prefix, "wineserver", "-k"});
    lab_.RunIn(host_, {"env", "WINEPREFIX=" + prefix, "wineserver", "-w"});
}

}  // namespace lab
