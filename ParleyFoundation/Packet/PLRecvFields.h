#pragma once

// A header line's fields and the names a decoder gives them. The fields are
// views of the line; a named field is copied, and unescaped, only when it is
// asked for, as most callers read only some of them. A line has a few dozen
// names at most, so a search over them beats hashing.

#include <QHash>
#include <QString>
#include <QStringView>
#include <QVarLengthArray>
#include <algorithm>
#include <initializer_list>
#include <limits>
#include <stdexcept>
#include <vector>

namespace parley {

// A decoder's names for consecutive fields, made once (a static of the
// decoder) so that a line names its fields without building a name per field.
class PLFieldNames
{
public:
    explicit PLFieldNames(std::initializer_list<QString> names);
    // Length, first and last character of a name: most names differ in it,
    // and keys kept apart from the names let a search run over a short array.
    static quint64 keyOf(const QString &name);
    qsizetype size() const { return mNames.size(); }
    const QString &at(qsizetype index) const { return mNames[index]; }
    quint64 keyAt(qsizetype index) const { return mKeys[index]; }
    // Whether no name repeats, which lets a run answer by position.
    bool namesAreUnique() const { return mUnique; }

private:
    QVarLengthArray<QString, 24> mNames;
    QVarLengthArray<quint64, 24> mKeys;
    bool mUnique = true;
};

// Thrown by a field read beyond the end of the line; caught by setParams().
class PLParseError : public std::out_of_range
{
public:
    using std::out_of_range::out_of_range;
};

class PLRecvFields
{
public:
    // Splits the line on every space; an empty field keeps its position and a
    // null line reads as one empty field. Names given before keep the values
    // they had.
    void split(const QString &line);
    // Forgets the line and every name, keeping the buffers for the next line.
    void clear();
    qsizetype count() const { return qsizetype(mFields.size()); }
    // The line as split; empty for a null line.
    const QString &line() const { return mLine; }
    // Field `index` as a view of the line; PLParseError beyond its end.
    QStringView at(qsizetype index) const
    {
        if (index < 0 || index >= count())
            throwBeyondTheLine(index);
        return mFields[index];
    }

    // Names field `index`, unescaped or as it came; PLParseError beyond the line.
    void name(const QString &name, qsizetype index, bool raw);
    // Names field `origin + i` by names.at(i) for i in [begin, end), as
    // name() would one by one: the fields the line has are named before
    // PLParseError for the first it lacks.
    void nameRun(const PLFieldNames &names, qsizetype origin, qsizetype begin, qsizetype end, bool raw);
    // value(names.at(index)), read by position when the last names given are
    // a run of `names` that reaches `index`.
    QString value(const PLFieldNames &names, qsizetype index) const;
    // value(names, index) stored in `into`, in its own buffer when `into` is
    // that buffer's only owner: for a value read once per line for a lookup
    // and dropped, which then costs no allocation.
    void valueInto(const PLFieldNames &names, qsizetype index, QString &into) const;
    // value(names, index) in `kept`, which is left as it is (and so stays
    // shared with whoever holds it) when it already reads the same: for a
    // value most lines repeat and that is stored per line.
    void valueKeptIfSame(const PLFieldNames &names, qsizetype index, QString &kept) const;
    qint32 intValue(const PLFieldNames &names, qsizetype index, qint32 absent) const;
    // Names a value of the decoder's own. A name given again replaces the
    // value it had.
    void set(const QString &name, const QString &value);
    // Replaces every named value.
    void setAll(const QHash<QString, QString> &values);

    // The named value; a null string for a name never given.
    QString value(const QString &name) const;
    // Its integer value; `absent` for a name never given.
    qint32 intValue(const QString &name, qint32 absent) const;
    // Every named value; built on first use.
    const QHash<QString, QString> &all() const;

private:
    struct Named {
        QString name;
        QString value;        // when field < 0
        qsizetype field = -1; // the field it names
        bool raw = false;     // the field as it came rather than unescaped
        // intValue() of it, once asked for: handlers ask for counts often.
        mutable bool hasInteger = false;
        mutable qint32 integer = 0;
        // A run of fields named from a decoder's table: run->at(j) names
        // field `field + j` for j in [runBegin, runEnd); name is unused.
        const PLFieldNames *run = nullptr;
        qsizetype runBegin = 0;
        qsizetype runEnd = 0;
    };
    // A name found: the entry, and for a run the field within it.
    struct Found {
        const Named *named = nullptr;
        qsizetype field = -1; // the line's field it names, or -1 for a value
    };
    // PLFieldNames::keyOf() never gives it: it marks a run in mKeys.
    static constexpr quint64 kRunKey = ~quint64(0);
    [[noreturn]] void throwBeyondTheLine(qsizetype index) const;
    void add(const QString &name, QString value, qsizetype field, bool raw);
    Found find(const QString &name) const;
    QString valueOf(const Named &named) const;
    QString valueOf(const Found &found) const;
    // A field unescaped, or as it came when raw.
    static QString decoded(QStringView field, bool raw);
    // Whether decoded() gives the field as it stands: raw, or no escape in it.
    static bool readsAsItCame(QStringView field, bool raw)
    {
        return raw || std::find(field.begin(), field.end(), QLatin1Char('%')) == field.end();
    }
    // The field of `names` at `index` when the last entry answers for it.
    Found lastRunField(const PLFieldNames &names, qsizetype index) const;
    // Turns every run into single names, keeping their order.
    void expandRuns();

    // The fields are views of mLine, the line as it was split.
    QString mLine;
    std::vector<QStringView> mFields;
    // intValue() of each field read by position, once asked for: handlers
    // ask for a line's index and count several times. kUnread until then.
    static constexpr qint64 kUnread = std::numeric_limits<qint64>::min();
    mutable std::vector<qint64> mFieldIntegers;
    QVarLengthArray<Named, 20> mNamed;
    QVarLengthArray<quint64, 20> mKeys; // PLFieldNames::keyOf() of each of mNamed
    mutable QHash<QString, QString> mAll;
    mutable bool mAllBuilt = false;
};

} // namespace parley
