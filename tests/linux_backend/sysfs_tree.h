#pragma once

#include <filesystem>
#include <map>
#include <string>

// A sysfs tree of the test's own in a fresh temporary directory, removed again when the test
// ends. Trees that a crashed run left behind are removed when the next one is made.
class SysfsTree {
  public:
    SysfsTree();
    ~SysfsTree();
    SysfsTree(const SysfsTree&) = delete;
    SysfsTree& operator=(const SysfsTree&) = delete;

    // Makes devices/<devicePath> on bus `bus`, with the given files below it, and the link's
    // class/net/<link>/device pointing at it.
    void AddDevice(const std::string& link, const std::string& bus, const std::string& devicePath,
                   const std::map<std::string, std::string>& files);
    std::string Read(const std::string& relativePath) const;
    void Write(const std::string& relativePath, const std::string& text) const;
    const std::filesystem::path& Root() const { return root_; }

  private:
    std::filesystem::path root_;
};
