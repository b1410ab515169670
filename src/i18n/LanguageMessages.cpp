#include "i18n/LanguageMessages.h"

#include "i18n/LanguageFile.h"
#include "platform/MessageSink.h"

namespace i18n {

void LanguageMessages::Inform(platform::MessageSink& sink, const LanguageFile& ini,
                              const QString& stringKey, bool withOwner)
{
    platform::Message message;
    message.text = ini.readString(QStringLiteral("Strings"), stringKey);
    message.caption = ini.readString(QStringLiteral("Common"), QStringLiteral("Message"));
    message.icon = platform::MessageIcon::Information;
    message.withOwner = withOwner;
    sink.show(message);
}

bool LanguageMessages::Confirm(platform::MessageSink& sink, const LanguageFile& ini,
                               const QString& stringKey)
{
    return sink.confirm(ini.readString(QStringLiteral("Strings"), stringKey), QString());
}

} // namespace i18n
