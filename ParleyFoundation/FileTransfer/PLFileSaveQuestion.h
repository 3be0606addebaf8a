#pragma once

// The questions a download asks the user when its file name is taken: the
// overwrite question and the save panel. The application answers them with
// its dialogs; headless runs and tests answer from a setting.

#include <QString>

namespace parley {

class PLFileSaveQuestion
{
public:
    enum class Answer { Overwrite, SaveAs, Cancel };

    virtual ~PLFileSaveQuestion() = default;

    // A file already exists at `path`.
    virtual Answer askOverwrite(const QString &path) = 0;
    // The path to save under instead (in any folder the user picks); a null
    // string when the user gave up.
    virtual QString askSavePath(const QString &folder, const QString &proposedName) = 0;
};

} // namespace parley
