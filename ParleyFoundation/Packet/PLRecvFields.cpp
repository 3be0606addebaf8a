#include "PLRecvFields.h"

#include "Utils/ParleyStringAdditions.h"

#include <algorithm>
#include <string>

namespace parley {

void PLRecvFields::split(const QString &line)
{
    // Values named from the previous line are kept as they read then.
    for (Named &named : mNamed) {
        if (named.field >= 0) {
            named.value = valueOf(named);
            named.field = -1;
        }
    }
    mLine = line.isNull() ? QString(QLatin1String("")) : line;
    mFields.clear();
    const QChar *text = mLine.constData();
    const qsizetype size = mLine.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (text[i] == QLatin1Char(' ')) {
            mFields.append(QStringView(text + start, i - start));
            start = i + 1;
        }
    }
    mFields.append(QStringView(text + start, size - start));
}

void PLRecvFields::throwBeyondTheLine(qsizetype index) const
{
    throw PLParseError("field " + std::to_string(index) + " beyond the end of a line of "
                       + std::to_string(mFields.size()) + " fields");
}

void PLRecvFields::name(const QString &name, qsizetype index, bool raw)
{
    (void)at(index);
    add(name, QString(), index, raw);
}

void PLRecvFields::set(const QString &name, const QString &value)
{
    add(name, value, -1, false);
}

void PLRecvFields::setAll(const QHash<QString, QString> &values)
{
    mNamed.clear();
    mKeys.clear();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        add(it.key(), it.value(), -1, false);
    mAll = values;
    mAllBuilt = true;
}

quint64 PLRecvFields::keyOf(const QString &name)
{
    const qsizetype size = name.size();
    if (size == 0)
        return 0;
    return (quint64(size) << 32) | (quint64(name.at(0).unicode()) << 16) | name.at(size - 1).unicode();
}

void PLRecvFields::add(const QString &name, QString value, qsizetype field, bool raw)
{
    mNamed.append({name, std::move(value), field, raw});
    mKeys.append(keyOf(name));
    mAllBuilt = false;
}

const PLRecvFields::Named *PLRecvFields::find(const QString &name) const
{
    const quint64 key = keyOf(name);
    const QChar *text = name.constData();
    const qsizetype size = name.size();
    const quint64 *keys = mKeys.constData();
    // From the back: a name given again replaces its earlier value.
    for (qsizetype i = mKeys.size(); i-- > 0;) {
        if (keys[i] != key)
            continue;
        const QChar *candidate = mNamed[i].name.constData();
        if (candidate == text || std::equal(text, text + size, candidate))
            return &mNamed[i];
    }
    return nullptr;
}

QString PLRecvFields::valueOf(const Named &named) const
{
    if (named.field < 0)
        return named.value;
    const QStringView field = mFields[named.field];
    return named.raw ? field.toString() : stringByParleyDecoding(field);
}

QString PLRecvFields::value(const QString &name) const
{
    const Named *found = find(name);
    return found ? valueOf(*found) : QString();
}

qint32 PLRecvFields::intValue(const QString &name, qint32 absent) const
{
    const Named *found = find(name);
    if (!found)
        return absent;
    if (!found->hasInteger) {
        // A field without escapes reads the same before and after unescaping.
        const QStringView field = found->field >= 0 ? mFields[found->field] : QStringView();
        if (found->field >= 0 && (found->raw || std::find(field.begin(), field.end(), QLatin1Char('%')) == field.end()))
            found->integer = plIntValue(field);
        else
            found->integer = plIntValue(valueOf(*found));
        found->hasInteger = true;
    }
    return found->integer;
}

const QHash<QString, QString> &PLRecvFields::all() const
{
    if (!mAllBuilt) {
        mAll.clear();
        mAll.reserve(mNamed.size());
        for (const Named &named : mNamed)
            mAll.insert(named.name, valueOf(named));
        mAllBuilt = true;
    }
    return mAll;
}

} // namespace parley
