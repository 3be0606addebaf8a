#include "MemoTitle.h"

#include "EmoticonManager.h"

namespace parley::MemoTitle {

QString titleFromMessage(const QString &message, const EmoticonManager *catalogue)
{
    if (message.isEmpty())
        return QString(QLatin1String(""));
    // A CR before the LF stays part of the line.
    const QString line = message.section(QLatin1Char('\n'), 0, 0);
    if (line.size() <= 19)
        return line;
    const EmoticonManager &emoticons = catalogue ? *catalogue : EmoticonManager::sharedManager();
    QString title;
    for (const QString &run : EmoticonManager::emoticonParsingWithString(line, &emoticons)) {
        for (const QString &word : run.split(QLatin1Char(' '))) {
            if (!emoticons.emoticonFileNameForEmoticon(word).isNull()) {
                title += word + QLatin1Char(' ');
            } else if (title.size() + word.size() > 20) {
                title += word.left(20 - title.size());
            } else {
                title += word + QLatin1Char(' ');
            }
            if (title.size() > 19)
                return title;
        }
    }
    return title;
}

} // namespace parley::MemoTitle
