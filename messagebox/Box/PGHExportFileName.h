#pragma once

// The file name an export proposes: the memo's subject made safe to be one
// file name ("/" and NUL removed, no leading dots, not longer than a file
// name may be), with ".txt".

#include <QString>

namespace pigeonhole {

class PGHExportFileName
{
public:
    static QString fromSubject(const QString &subject);
    // The chosen path with ".txt" when it has no suffix.
    static QString withTextSuffix(const QString &path);
};

} // namespace pigeonhole
