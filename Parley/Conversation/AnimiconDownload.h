#pragma once

// One GET of an animicon catalogue file, thumbnail or item image, handed back
// on the main thread: the body, or nothing for a failure, an empty reply or
// a body over the limit (the catalogue's files and thumbnails are small).

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class QNetworkAccessManager;
class QObject;

namespace AnimiconDownload {

inline constexpr qint64 kLargestBody = 512 * 1024;
inline constexpr int kTimeoutMilliseconds = 30000;

// `done` runs once, unless `context` is destroyed first.
void get(QNetworkAccessManager &network, const QString &url, QObject *context,
         std::function<void(std::optional<QByteArray>)> done);

} // namespace AnimiconDownload
