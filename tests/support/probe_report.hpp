// Runs the built program with the probe preloaded, and reads the report that the probe writes when
// the program terminates the windowing library. QUORVEL_PROBE is the probe's path.
#pragma once

#include "tests/support/process.hpp"

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using probe_report = std::map<std::string, std::vector<long>>;

inline probe_report read_probe_report(const std::string& path)
{
    probe_report report;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string key;
        fields >> key;
        long value = 0;
        while (fields >> value)
            report[key].push_back(value);
    }
    return report;
}

// The probe goes in front of whatever the test run itself preloads.
inline environment_change with_probe(const std::string& report_path, std::map<std::string, std::string> extra = {})
{
    environment_change env;
    env.set = std::move(extra);
    const char* preloaded = std::getenv("LD_PRELOAD");
    env.set["LD_PRELOAD"] = std::string(QUORVEL_PROBE) + (preloaded != nullptr ? std::string(" ") + preloaded : "");
    env.set["QUORVEL_PROBE_REPORT"] = report_path;
    return env;
}
