#pragma once

// Base of every incoming command. A decoder states only its field positions,
// names and exceptions in decodeFields(); the common rule (base step, guard,
// validity last, the parse-error log) lives here.

#include "PLRecvFields.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <initializer_list>

namespace parley {

class PLRecvPacket
{
public:
    PLRecvPacket();
    virtual ~PLRecvPacket();
    PLRecvPacket(const PLRecvPacket &) = delete;
    PLRecvPacket &operator=(const PLRecvPacket &) = delete;

    // Fills the packet from a header line, whose fields are separated by
    // single spaces (an empty field keeps its position): the base step
    // (command, tid, raw line), then decodeFields() inside a guard, validity
    // as its last step. A failed read is logged and leaves the packet invalid
    // with the fields read so far.
    virtual PLRecvPacket *setParams(const QString &line);

    // Whether a session may decode its next line of the same word into this
    // packet once the handler is done with it: only commands that arrive in
    // bulk opt in, and their decoders set all of their own state every line.
    virtual bool isReusable() const { return false; }
    // Back to the state of a new packet, keeping its buffers.
    void clearForReuse();

    bool isValid() const { return mIsValid; }
    const QString &command() const { return mCommand; }
    qint32 tID() const { return mTID; }
    const QString &packetString() const { return mPacketString; }
    // Every named field; built on first use, as most callers ask by name.
    const QHash<QString, QString> &dictParams() const { return mFields.all(); }
    int countParams() const { return int(dictParams().size()); }

    void setTID(qint32 tid) { mTID = tid; }
    void setCommand(const QString &command) { mCommand = command; }
    void setMCommand(const QString &command) { mCommand = command; }
    void setPacketString(const QString &line) { mPacketString = line; }
    void setMIsValid(bool valid) { mIsValid = valid; }
    void setMDictParams(const QHash<QString, QString> &params) { mFields.setAll(params); }

    // The named field; a null string when the line did not carry it.
    QString value(const QString &name) const { return mFields.value(name); }
    // The integer value of a named field; `absent` when the line did not carry it.
    qint32 intValue(const QString &name, qint32 absent = 0) const { return mFields.intValue(name, absent); }

protected:
    // A reusable decoder's own state back to that of a new packet.
    virtual void clearDecoded() {}
    // Reads this command's fields; a read beyond the line throws PLParseError.
    virtual void decodeFields() {}
    // The few decoders whose packets stay valid even when a read failed.
    virtual bool isValidEvenWhenParsingFails() const { return false; }
    // A decoder that picks its layout by the number of fields answers false
    // for a count it has no layout for: decodeFields() is then skipped and the
    // packet stays invalid without a parse-error log.
    virtual bool hasDecodableLayout() const { return true; }

    // Field access for decodeFields(). Position 2 is the first parameter.
    qsizetype fieldCount() const { return mFields.count(); }
    QString field(qsizetype index) const { return mFields.at(index).toString(); }
    // The field as a view of the line, for reading it without a copy.
    QStringView fieldView(qsizetype index) const { return mFields.at(index); }
    // The last field, for a length that closes the line; it must stand at
    // `notBefore` or later, so that a line without it is not read as its own
    // length.
    QString lastField(qsizetype notBefore) const;
    // Item `index` of any list split from the line; PLParseError beyond its end.
    static const QString &item(const QStringList &items, qsizetype index);
    // Stores field `index`, unescaped, under `name`.
    void readField(const QString &name, qsizetype index) { mFields.name(name, index, false); }
    // Stores field `index` as it came, under `name`.
    void readRawField(const QString &name, qsizetype index) { mFields.name(name, index, true); }
    // The same for consecutive fields from position `first` on, one per name.
    void readFields(qsizetype first, std::initializer_list<QString> names);
    void readRawFields(qsizetype first, std::initializer_list<QString> names);
    // The same with a decoder's static table, where names.at(i) names field
    // `origin + i`, for the names in [begin, end): nothing is built per line.
    void readFields(qsizetype origin, const PLFieldNames &names, qsizetype begin = 0, qsizetype end = -1)
    {
        mFields.nameRun(names, origin, begin, end < 0 ? names.size() : end, false);
    }
    // value(names.at(index)), by position while the table's run answers for it.
    QString value(const PLFieldNames &names, qsizetype index) const { return mFields.value(names, index); }
    void valueInto(const PLFieldNames &names, qsizetype index, QString &into) const
    {
        mFields.valueInto(names, index, into);
    }
    void valueKeptIfSame(const PLFieldNames &names, qsizetype index, QString &kept) const
    {
        mFields.valueKeptIfSame(names, index, kept);
    }
    qint32 intValue(const PLFieldNames &names, qsizetype index, qint32 absent) const
    {
        return mFields.intValue(names, index, absent);
    }
    void setValue(const QString &name, const QString &value) { mFields.set(name, value); }
    // Whether the tid field is exactly "0": the server reports a change made
    // elsewhere rather than answering one of our commands.
    bool tidFieldIsZero() const { return mFields.count() > 1 && mFields.at(1) == QLatin1String("0"); }
    // Leaves the packet invalid without a log line, although every read succeeded.
    void markInvalid() { mMarkedInvalid = true; }

    // Logs "Error: <class> parsing error   Message:<what> \nPacket String: <line>".
    // A decoder whose failures are silent, or logged in its own words, overrides it.
    virtual void logParseError(const QString &what) const;

    QString mCommand;
    qint32 mTID = 0;
    bool mIsValid = false;
    QString mPacketString;
    bool mMarkedInvalid = false;

private:
    PLRecvFields mFields;
};

} // namespace parley
