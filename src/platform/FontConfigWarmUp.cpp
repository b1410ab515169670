#include "platform/FontConfigWarmUp.h"

#ifdef VEXA_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

#include <system_error>

namespace platform {

FontConfigWarmUp::FontConfigWarmUp()
{
#ifdef VEXA_HAVE_FONTCONFIG
    try {
        // The current configuration, shared with everyone in the process that asks for it.
        thread_ = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread to be had: the toolkit reads the configuration itself, as without us.
    }
#endif
}

FontConfigWarmUp::~FontConfigWarmUp()
{
    wait();
}

void FontConfigWarmUp::wait()
{
    if (thread_.joinable())
        thread_.join();
}

bool FontConfigWarmUp::available()
{
#ifdef VEXA_HAVE_FONTCONFIG
    return true;
#else
    return false;
#endif
}

} // namespace platform
