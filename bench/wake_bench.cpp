#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "lab.h"
#include "wake_lan.h"

// Times `netrise -wake` against etherwake and wakeonlan, all waking the same awake computer in a
// namespace LAN built for the purpose, and times netrise against a sleeping computer.
namespace {

struct Timing {
    double median = 0;
    double maximum = 0;
};

std::vector<Timing> ReadTimings(const std::filesystem::path& json) {
    std::ifstream file(json);
    std::stringstream text;
    text << file.rdbuf();
    const std::string all = text.str();
    const std::regex median("\"median\":\\s*([0-9.eE+-]+)");
    const std::regex maximum("\"max\":\\s*([0-9.eE+-]+)");
    std::vector<Timing> timings;
    for (auto m = std::sregex_iterator(all.begin(), all.end(), median); m != std::sregex_iterator();
         ++m) {
        timings.push_back({std::stod((*m)[1]), 0});
    }
    std::size_t i = 0;
    for (auto m = std::sregex_iterator(all.begin(), all.end(), maximum);
         m != std::sregex_iterator() && i < timings.size(); ++m) {
        timings[i++].maximum = std::stod((*m)[1]);
    }
    return timings;
}

// Runs hyperfine inside the pc, without a shell between it and the commands.
std::vector<Timing> Hyperfine(const WakeLan& lan, std::vector<std::string> options,
                              const std::vector<std::string>& commands) {
    const std::filesystem::path json =
        std::filesystem::temp_directory_path() / ("nrwb-" + std::to_string(::getpid()) + ".json");
    std::vector<std::string> argv = {"hyperfine",     "-N",         "--style", "none",
                                     "--export-json", json.string()};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.insert(argv.end(), commands.begin(), commands.end());
    const lab::RunResult result = lan.lab->RunIn("pc", argv);
    std::vector<Timing> timings = ReadTimings(json);
    std::filesystem::remove(json);
    if (result.status != 0 || timings.size() != commands.size()) {
        throw std::runtime_error("hyperfine failed: " + result.errors);
    }
    return timings;
}

double Milliseconds(double seconds) { return seconds * 1000; }

}  // namespace

int main(int argc, char** argv) {
    const std::string runs = argc > 1 ? argv[1] : "300";
    const std::string sleeperRuns = argc > 2 ? argv[2] : "3";
    const std::string netrise = NETRISE_BINARY;
    try {
        const WakeLan lan("nrwb");
        const std::string mac = WakeLan::AWAKE_MAC;
        const std::vector<Timing> awake =
            Hyperfine(lan, {"--warmup", "20", "--runs", runs},
                      {netrise + " -wake -mac " + mac + " -ip " + WakeLan::AWAKE_ADDRESS +
                           " -subnet " + WakeLan::SUBNET_MASK,
                       std::string("etherwake -b -i ") + WakeLan::LINK + " " + mac,
                       std::string("wakeonlan -i ") + WakeLan::SUBNET_BROADCAST + " " + mac});
        const std::vector<Timing> asleep =
            Hyperfine(lan,
                      {"--runs", sleeperRuns, "--prepare",
                       std::string("ip neigh flush dev ") + WakeLan::LINK},
                      {netrise + " -wake -mac " + std::string(WakeLan::SLEEPER_MAC) + " -ip " +
                       WakeLan::SLEEPER_ADDRESS + " -subnet " + WakeLan::SUBNET_MASK});

        std::printf("Awake target, median of %s runs each:\n", runs.c_str());
        std::printf("  netrise -wake  %8.3f ms\n", Milliseconds(awake[0].median));
        std::printf("  etherwake      %8.3f ms\n", Milliseconds(awake[1].median));
        std::printf("  wakeonlan      %8.3f ms\n", Milliseconds(awake[2].median));
        std::printf("  netrise / etherwake  %6.3f (goal: at most 1.5)\n",
                    awake[0].median / awake[1].median);
        std::printf("  netrise / wakeonlan  %6.3f (goal: under 0.1)\n",
                    awake[0].median / awake[2].median);
        std::printf(
            "Sleeping target, %s runs: median %.3f s, longest %.3f s (goal: within 3.5 s)\n",
            sleeperRuns.c_str(), asleep[0].median, asleep[0].maximum);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "benchmark failed: %s\n", failure.what());
        return 1;
    }
    return 0;
}
