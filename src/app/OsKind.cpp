#include "app/OsKind.h"

namespace app {

int OsKindFor(platform::OsFamily family, int major, int minor)
{
    switch (family) {
    case platform::OsFamily::WindowsNt:
        if (major == 4)
            return 2;
        if (major == 5 && minor == 0)
            return 3;
        if (major == 5 && minor == 1)
            return 4;
        if (major == 5 && minor == 2)
            return 5;
        if (major == 6 && minor == 0)
            return 6;
        return 1;
    case platform::OsFamily::Windows9x:
        if (major < 4)
            return 7;
        if (major == 4 && minor == 10)
            return 9;
        if (major == 4 && minor == 90)
            return 10;
        return 8;
    case platform::OsFamily::Other:
        break;
    }
    return OsKindOwnMixer;
}

} // namespace app
