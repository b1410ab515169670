#pragma once
// The benchmarks' reading of their own resident memory.
#include <fstream>
#include <string>

// Resident memory of this process in KiB (VmRSS), -1 when it cannot be read.
inline long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}
