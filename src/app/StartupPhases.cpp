#include "app/StartupPhases.h"

#include <cctype>
#include <chrono>
#include <cstdio>

namespace app {

namespace {

bool on = false;

bool enabled()
{
    return on;
}

long long nowMicroseconds()
{
    return static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(
                                      std::chrono::system_clock::now().time_since_epoch())
                                      .count());
}

} // namespace

void StartupPhases::setEnabled(bool enabled)
{
    on = enabled;
}

void StartupPhases::mark(const char* name)
{
    if (!enabled())
        return;
    std::printf("phase %s %lld\n", name, nowMicroseconds());
    std::fflush(stdout);
}

void StartupPhases::markPart(const char* step, const char* typeName)
{
    if (!enabled())
        return;
    // typeid names of classes at namespace scope read "<length><name>".
    while (*typeName && std::isdigit(static_cast<unsigned char>(*typeName)))
        ++typeName;
    std::printf("phase %s:%s %lld\n", step, typeName, nowMicroseconds());
    std::fflush(stdout);
}

} // namespace app
