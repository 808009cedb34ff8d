// Reads the report that the preloaded probe writes when the program terminates the windowing library.
#pragma once

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
