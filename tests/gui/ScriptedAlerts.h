#pragma once

// Answers the kit's alerts from a script and records every alert shown.
// Installed for its lifetime. Answers are taken in order; when the script is
// empty every alert gets `fallback` (the first button, unchecked).

#include "KCAlertPresenter.h"

#include <deque>
#include <vector>

namespace parley::test {

class ScriptedAlerts final : public KCAlertPresenter
{
public:
    ScriptedAlerts() { KCSetAlertPresenter(this); }
    ~ScriptedAlerts() override { KCSetAlertPresenter(nullptr); }
    ScriptedAlerts(const ScriptedAlerts &) = delete;
    ScriptedAlerts &operator=(const ScriptedAlerts &) = delete;

    // Queues the answer of the next alert.
    void answer(int button, bool checked = false) { mScript.push_back({button, checked, {}}); }
    // Queues the answer of the next alert with a text field.
    void answerText(int button, const QString &text) { mScript.push_back({button, false, text}); }

    KCAlertAnswer ask(const KCAlertRequest &request) override
    {
        shown.push_back(request);
        return next();
    }
    void show(const KCAlertRequest &request, std::function<void(const KCAlertAnswer &)> done) override
    {
        shown.push_back(request);
        const KCAlertAnswer a = next();
        if (done)
            done(a);
    }

    // The keys of the alerts shown, in order.
    QStringList keys() const
    {
        QStringList out;
        for (const KCAlertRequest &r : shown)
            out << r.key;
        return out;
    }

    std::vector<KCAlertRequest> shown;
    KCAlertAnswer fallback{0, false, {}};

private:
    KCAlertAnswer next()
    {
        if (mScript.empty())
            return fallback;
        const KCAlertAnswer a = mScript.front();
        mScript.pop_front();
        return a;
    }
    std::deque<KCAlertAnswer> mScript;
};

} // namespace parley::test
