#pragma once
// A language file written into a test's folder and opened, as the reader meets it on disk.
#include "i18n/LanguageFile.h"
#include "support/audio_files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace testsupport {

inline i18n::LanguageFile languageFile(const QTemporaryDir& dir, const QByteArray& text,
                                       const QString& name = QStringLiteral("t.ini"))
{
    const QString path = dir.filePath(name);
    EXPECT_TRUE(writeFile(path, text)) << path.toStdString();
    return i18n::LanguageFile(path);
}

} // namespace testsupport
