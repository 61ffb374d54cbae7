#include "sysfs_tree.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

const std::string kPrefix = "nra-sysfs-";

// Trees are named nra-sysfs-<pid>-<random>; a tree whose process is gone is a leftover.
void RemoveLeftovers() {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::temp_directory_path(), error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(kPrefix, 0) != 0) continue;
        const long pid = std::strtol(name.c_str() + kPrefix.size(), nullptr, 10);
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            fs::remove_all(entry.path(), error);
        }
    }
}

}  // namespace

SysfsTree::SysfsTree() {
    RemoveLeftovers();
    std::string pattern =
        (fs::temp_directory_path() / (kPrefix + std::to_string(::getpid()) + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    // Readable by every user, so a test can also look at it without privilege.
    fs::permissions(root_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
}

SysfsTree::~SysfsTree() {
    std::error_code error;
    fs::remove_all(root_, error);
}

void SysfsTree::AddDevice(const std::string& link, const std::string& bus,
                          const std::string& devicePath,
                          const std::map<std::string, std::string>& files) {
    const fs::path device = root_ / "devices" / devicePath;
    fs::create_directories(device);
    fs::create_directories(root_ / "bus" / bus);
    fs::create_directory_symlink(root_ / "bus" / bus, device / "subsystem");
    for (const auto& [name, text] : files) {
        fs::create_directories((device / name).parent_path());
        Write((device / name).lexically_relative(root_).string(), text);
    }
    fs::create_directories(root_ / "class" / "net" / link);
    fs::create_directory_symlink(device, root_ / "class" / "net" / link / "device");
}

std::string SysfsTree::Read(const std::string& relativePath) const {
    std::ifstream in(root_ / relativePath);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void SysfsTree::Write(const std::string& relativePath, const std::string& text) const {
    std::ofstream(root_ / relativePath) << text;
}
