#pragma once

#include <string>
#include <vector>

#include "lab.h"

namespace lab {

bool WineAvailable();

// Runs Windows programs under Wine inside one lab host. Wine's wineserver owns the sockets and
// answers network queries from the namespace it started in, so every host gets a prefix of its
// own: a copy of a shared, already initialised template (made on first use, inside this host), so
// only the first run anywhere pays Wine's start-up of about 15 s.
class WineRunner {
  public:
    // The template defaults to one shared by every test of this build tree.
    WineRunner(const Lab& lab, std::string host,
               std::string templatePrefix = NETRISE_WINE_TEMPLATE);
    ~WineRunner();
    WineRunner(const WineRunner&) = delete;
    WineRunner& operator=(const WineRunner&) = delete;

    RunResult Run(const std::string& exe, const std::vector<std::string>& arguments) const;

  private:
    void StopServer(const std::string& prefix) const;

    const Lab& lab_;
    std::string host_;
    std::string prefix_;
};

}  // namespace lab
