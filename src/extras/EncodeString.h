#pragma once
// The string unscrambler: keeps short texts (the home page address) out of plain sight in the
// program file. Each character is looked up in one table of the 95 printable ASCII characters
// and replaced by the character at the mirrored place of a second table. A character outside
// the first table counts as its first place. The result has the length of the input.
#include <QString>

namespace extras {

class EncodeString {
public:
    static QString unscramble(const QString& text);
    // The inverse, for making the stored form of a new text.
    static QString scramble(const QString& text);

    static constexpr int TableSize = 95;
};

} // namespace extras
