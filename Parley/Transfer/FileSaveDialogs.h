#pragma once

// The questions of a download whose file name is taken, as the user's
// dialogs: the overwrite question (Replace, Save As..., Cancel) through the
// kit's alerts, and a save panel for the other name.

#include "FileTransfer/PLFileSaveQuestion.h"

namespace parley {

class FileSaveDialogs final : public PLFileSaveQuestion
{
public:
    static constexpr char kAlertKey[] = "FileExistsTitle";

    Answer askOverwrite(const QString &path) override;
    QString askSavePath(const QString &folder, const QString &proposedName) override;
};

} // namespace parley
