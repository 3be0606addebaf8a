#include "PLRecvPacket.h"

#include "Log.h"
#include "Utils/ParleyStringAdditions.h"

#include <algorithm>
#include <cxxabi.h>
#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace parley {

namespace {

QString demangledName(const std::type_info &type)
{
    int status = 0;
    std::unique_ptr<char, void (*)(void *)> name(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
    QString text = QString::fromUtf8(status == 0 && name ? name.get() : type.name());
    const qsizetype colon = text.lastIndexOf(QLatin1String("::"));
    return colon < 0 ? text : text.mid(colon + 2);
}

} // namespace

PLRecvPacket::PLRecvPacket()
    : mCommand(QLatin1String(""))
    , mPacketString(QLatin1String(""))
{
}

PLRecvPacket::~PLRecvPacket() = default;

PLRecvPacket *PLRecvPacket::setParams(const QString &line)
{
    // A packet filled again keeps the fields read before as they read then.
    for (Param &param : mParams) {
        if (param.field >= 0) {
            param.value = valueOf(param);
            param.field = -1;
        }
    }
    // Split on every space into views of the line; a null line reads as one
    // empty field, as an empty one does.
    mFieldSource = line.isNull() ? QString(QLatin1String("")) : line;
    mFields.clear();
    const QChar *text = mFieldSource.constData();
    const qsizetype size = mFieldSource.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (text[i] == QLatin1Char(' ')) {
            mFields.append(QStringView(text + start, i - start));
            start = i + 1;
        }
    }
    mFields.append(QStringView(text + start, size - start));

    // The builder sets the command word it looked up, which spares a copy.
    if (QStringView(mCommand) != mFields[0])
        mCommand = mFields[0].toString();
    mTID = mFields.size() > 1 ? plIntValue(mFields[1]) : 0;
    mPacketString = line;
    mMarkedInvalid = false;
    if (!hasDecodableLayout())
        return this;
    try {
        decodeFields();
        mIsValid = !mMarkedInvalid;
    } catch (const std::exception &error) {
        logParseError(QString::fromUtf8(error.what()));
        if (isValidEvenWhenParsingFails())
            mIsValid = true;
    }
    return this;
}

quint64 PLRecvPacket::keyOf(const QString &name)
{
    const qsizetype size = name.size();
    if (size == 0)
        return 0;
    return (quint64(size) << 32) | (quint64(name.at(0).unicode()) << 16) | name.at(size - 1).unicode();
}

void PLRecvPacket::addParam(const QString &name, QString value, qsizetype field, bool raw)
{
    mParams.append({name, std::move(value), field, raw});
    mParamKeys.append(keyOf(name));
    mDictParamsBuilt = false;
}

const PLRecvPacket::Param *PLRecvPacket::find(const QString &name) const
{
    const quint64 key = keyOf(name);
    const QChar *text = name.constData();
    const qsizetype size = name.size();
    const quint64 *keys = mParamKeys.constData();
    // From the back: a name set again replaces its earlier value.
    for (qsizetype i = mParamKeys.size(); i-- > 0;) {
        if (keys[i] != key)
            continue;
        const QChar *candidate = mParams[i].name.constData();
        if (candidate == text || std::equal(text, text + size, candidate))
            return &mParams[i];
    }
    return nullptr;
}

QString PLRecvPacket::valueOf(const Param &param) const
{
    if (param.field < 0)
        return param.value;
    const QStringView field = mFields[param.field];
    return param.raw ? field.toString() : stringByParleyDecoding(field);
}

QString PLRecvPacket::value(const QString &name) const
{
    const Param *found = find(name);
    return found ? valueOf(*found) : QString();
}

const QHash<QString, QString> &PLRecvPacket::dictParams() const
{
    if (!mDictParamsBuilt) {
        mDictParams.clear();
        mDictParams.reserve(mParams.size());
        for (const Param &param : mParams)
            mDictParams.insert(param.name, valueOf(param));
        mDictParamsBuilt = true;
    }
    return mDictParams;
}

void PLRecvPacket::setMDictParams(const QHash<QString, QString> &params)
{
    mParams.clear();
    mParamKeys.clear();
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        addParam(it.key(), it.value(), -1, false);
    mDictParams = params;
    mDictParamsBuilt = true;
}

void PLRecvPacket::setValue(const QString &name, const QString &value)
{
    addParam(name, value, -1, false);
}

qint32 PLRecvPacket::intValue(const QString &name, qint32 absent) const
{
    const Param *found = find(name);
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

const QString &PLRecvPacket::item(const QStringList &items, qsizetype index)
{
    if (index < 0 || index >= items.size())
        throw PLParseError("field " + std::to_string(index) + " beyond the end of a line of "
                           + std::to_string(items.size()) + " fields");
    return items.at(index);
}

void PLRecvPacket::throwBeyondTheLine(qsizetype index) const
{
    throw PLParseError("field " + std::to_string(index) + " beyond the end of a line of "
                       + std::to_string(mFields.size()) + " fields");
}

QString PLRecvPacket::lastField(qsizetype notBefore) const
{
    if (mFields.size() <= notBefore)
        throw PLParseError("no field at " + std::to_string(notBefore) + " or later in a line of "
                           + std::to_string(mFields.size()) + " fields");
    return mFields.back().toString();
}

void PLRecvPacket::readField(const QString &name, qsizetype index)
{
    (void)fieldView(index); // a field beyond the line throws here, as it is read
    addParam(name, QString(), index, false);
}

void PLRecvPacket::readRawField(const QString &name, qsizetype index)
{
    (void)fieldView(index);
    addParam(name, QString(), index, true);
}

void PLRecvPacket::readFields(qsizetype first, std::initializer_list<QString> names)
{
    for (const QString &name : names)
        readField(name, first++);
}

void PLRecvPacket::readRawFields(qsizetype first, std::initializer_list<QString> names)
{
    for (const QString &name : names)
        readRawField(name, first++);
}

void PLRecvPacket::logParseError(const QString &what) const
{
    plLog(QStringLiteral("Error: %1 parsing error   Message:%2 \nPacket String: %3")
              .arg(demangledName(typeid(*this)), what, mPacketString));
}

} // namespace parley
