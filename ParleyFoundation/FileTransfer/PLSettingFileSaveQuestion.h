#pragma once

// Answers the save questions from the setting "FileTransferExistingFile":
// "overwrite", "refuse", or anything else (the default) to save under a new,
// numbered name ("name (1).ext") in the same folder. Never overwrites unless
// told to.

#include "PLFileSaveQuestion.h"

namespace parley {

class UserDefaults;

class PLSettingFileSaveQuestion : public PLFileSaveQuestion
{
public:
    static constexpr char kSettingKey[] = "FileTransferExistingFile";

    // Reads the setting at each question, so a change applies at once.
    explicit PLSettingFileSaveQuestion(UserDefaults &defaults);

    Answer askOverwrite(const QString &path) override;
    QString askSavePath(const QString &folder, const QString &proposedName) override;

    // The first "name (n).ext" in the folder that names nothing yet.
    static QString numberedFreeName(const QString &folder, const QString &name);

private:
    UserDefaults &mDefaults;
};

} // namespace parley
