#pragma once

// Misbehaviour on request, so that tests can watch the client cope with a
// server that drops the line, trickles its bytes, talks rubbish or goes quiet.
//
// A plan is built from rules such as "drop:LIN4", "silent:CONF",
// "garbage:GLST", "oversize:CONF" and "trickle"; the word names the client
// command at which the fault strikes.

#include <QSet>
#include <QString>
#include <QStringList>

namespace localservice {

class FaultPlan {
public:
    enum class Action {
        None,
        Drop,     // close the connection instead of answering
        Silent,   // from this command on, read everything and answer nothing
        Garbage,  // send undecodable lines before the answer
        Oversize, // announce a body far beyond any sane length
    };

    // Adds one rule, or several separated by commas. Answers an error text
    // (empty on success); a bad rule leaves the plan unchanged.
    QString add(const QString &rules);

    // What to do when the client sends `word` (first matching fault wins in the
    // order Drop, Silent, Garbage, Oversize).
    Action actionFor(const QString &word) const;
    // Every written byte goes out on its own.
    bool trickle() const { return mTrickle; }
    bool isEmpty() const;

    // The commands whose answers carry a body, the only ones "oversize" fits.
    static const QStringList &bodyReplyWords();
    // Lines that no client can decode: bytes that are not UTF-8, an unknown
    // word, an empty line, a lower-case word, a word without a tid.
    static QByteArray garbageLines();
    // The body length announced by an oversized answer.
    static constexpr qint64 kOversizeLength = 2147483647;

private:
    QSet<QString> mDrop;
    QSet<QString> mSilent;
    QSet<QString> mGarbage;
    QSet<QString> mOversize;
    bool mTrickle = false;
};

} // namespace localservice
