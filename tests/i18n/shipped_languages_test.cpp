// ctest-label: unit
// The language files shipped with the program (and copied beside it by the build) carry every
// section and key the program reads, each with a text, in valid UTF-8; the names differ; the
// rights line has its year placeholder.
#include "i18n/LanguageFile.h"
#include "i18n/LanguageKeys.h"
#include "i18n/LanguageMessages.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

namespace {

const QStringList Shipped = {"English.ini", "ChineseGB.ini", "ChineseBig5.ini"};

QString folder(const char* variable, const char* sub)
{
    return QDir(qEnvironmentVariable(variable)).filePath(QString::fromLatin1(sub));
}

TEST(ShippedLanguagesTest, EveryKeyHasATextInEveryFile)
{
    const QString languages = folder("VEXA_SOURCE_DIR", "languages");
    ASSERT_TRUE(QDir(languages).exists()) << languages.toStdString();
    EXPECT_EQ(QDir(languages).entryList({"*.ini"}, QDir::Files, QDir::Name).size(), Shipped.size());
    QSet<QString> names;
    for (const QString& file : Shipped) {
        SCOPED_TRACE(file.toStdString());
        QFile raw(QDir(languages).filePath(file));
        ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
        const QByteArray bytes = raw.readAll();
        EXPECT_EQ(QString::fromUtf8(bytes).toUtf8(), bytes) << "not valid UTF-8";

        const i18n::LanguageFile ini(raw.fileName());
        for (const i18n::LanguageSection& section : i18n::LanguageKeys()) {
            for (const QString& key : section.keys) {
                const QString text = ini.readString(section.name, key, "\x01missing");
                EXPECT_NE(text, QStringLiteral("\x01missing")) << "[" << section.name.toStdString() << "] " << key.toStdString();
                EXPECT_FALSE(text.isEmpty()) << "[" << section.name.toStdString() << "] " << key.toStdString();
            }
        }
        EXPECT_TRUE(ini.readString("AboutForm", "Copyright").contains("[xxx]"));
        // The companion tools' message names the program and its folder.
        EXPECT_TRUE(ini.readString("Strings", "ToolNotFound").contains("%1"));
        EXPECT_TRUE(ini.readString("Strings", "ToolNotFound").contains("%2"));
        bool ok = false;
        ini.readString("LanguageProperty", "FontSize").toInt(&ok);
        EXPECT_TRUE(ok);
        ini.readString("LanguageProperty", "CharSet").toInt(&ok);
        EXPECT_TRUE(ok);
        names.insert(ini.readString("LanguageProperty", "Name"));
    }
    EXPECT_EQ(names.size(), Shipped.size());
}

TEST(ShippedLanguagesTest, BuiltInMessageTextsAreTheEnglishFilesOwn)
{
    const i18n::LanguageFile english(folder("VEXA_SOURCE_DIR", "languages/English.ini"));
    ASSERT_TRUE(english.isOpen());
    for (const i18n::LanguageSection& section : i18n::LanguageKeys()) {
        for (const QString& key : section.keys) {
            const QString builtIn = i18n::LanguageMessages::builtIn(section.name, key);
            // Every message has a text of its own even without a language file.
            const bool message = section.name == QLatin1String("Strings")
                                 || (section.name == QLatin1String("Common") && key == QLatin1String("Message"));
            EXPECT_EQ(!builtIn.isEmpty(), message) << "[" << section.name.toStdString() << "] " << key.toStdString();
            if (!builtIn.isEmpty()) {
                EXPECT_EQ(builtIn, english.readString(section.name, key))
                    << "[" << section.name.toStdString() << "] " << key.toStdString();
            }
        }
    }
}

TEST(ShippedLanguagesTest, KeyListCoversTheTextSections)
{
    QStringList sections;
    int keys = 0;
    for (const auto& s : i18n::LanguageKeys()) {
        sections << s.name;
        keys += s.keys.size();
    }
    EXPECT_EQ(sections, (QStringList{"LanguageProperty", "Common", "Strings", "Menu", "Button",
                                     "RecordFormatForm", "PopMenu", "OpenDialog", "AboutForm",
                                     "SoundSourceForm", "EditorForm"}));
    // 4 + 4 + 29 [Strings] + 17 [Menu] + 28 [Button] + 9 [RecordFormatForm] + 3 + 1 + 3 + 3 + 4
    EXPECT_EQ(keys, 105);
}

TEST(ShippedLanguagesTest, TheBuildPutsThemBesideTheProgram)
{
    const QString source = folder("VEXA_SOURCE_DIR", "languages");
    const QString built = folder("VEXA_BINARY_DIR", "Languages");
    for (const QString& file : Shipped) {
        QFile a(QDir(source).filePath(file)), b(QDir(built).filePath(file));
        ASSERT_TRUE(a.open(QIODevice::ReadOnly));
        ASSERT_TRUE(b.open(QIODevice::ReadOnly)) << b.fileName().toStdString();
        EXPECT_EQ(a.readAll(), b.readAll()) << file.toStdString();
    }
}

} // namespace
