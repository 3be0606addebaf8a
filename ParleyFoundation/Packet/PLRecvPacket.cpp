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

const QString *PLRecvPacket::find(const QString &name) const
{
    const QChar *key = name.constData();
    const qsizetype size = name.size();
    // From the back: a name set again replaces its earlier value.
    for (qsizetype i = mParams.size(); i-- > 0;) {
        const QString &candidate = mParams[i].name;
        if (candidate.size() == size
            && (candidate.constData() == key || std::equal(key, key + size, candidate.constData())))
            return &mParams[i].value;
    }
    return nullptr;
}

const QHash<QString, QString> &PLRecvPacket::dictParams() const
{
    if (!mDictParamsBuilt) {
        mDictParams.clear();
        mDictParams.reserve(mParams.size());
        for (const Param &param : mParams)
            mDictParams.insert(param.name, param.value);
        mDictParamsBuilt = true;
    }
    return mDictParams;
}

void PLRecvPacket::setMDictParams(const QHash<QString, QString> &params)
{
    mParams.clear();
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        mParams.append({it.key(), it.value()});
    mDictParams = params;
    mDictParamsBuilt = true;
}

void PLRecvPacket::setValue(const QString &name, const QString &value)
{
    mParams.append({name, value});
    mDictParamsBuilt = false;
}

qint32 PLRecvPacket::intValue(const QString &name, qint32 absent) const
{
    const QString *found = find(name);
    return found ? plIntValue(*found) : absent;
}

const QString &PLRecvPacket::item(const QStringList &items, qsizetype index)
{
    if (index < 0 || index >= items.size())
        throw PLParseError("field " + std::to_string(index) + " beyond the end of a line of "
                           + std::to_string(items.size()) + " fields");
    return items.at(index);
}

QStringView PLRecvPacket::fieldView(qsizetype index) const
{
    if (index < 0 || index >= mFields.size())
        throw PLParseError("field " + std::to_string(index) + " beyond the end of a line of "
                           + std::to_string(mFields.size()) + " fields");
    return mFields[index];
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
    setValue(name, stringByParleyDecoding(fieldView(index)));
}

void PLRecvPacket::readRawField(const QString &name, qsizetype index)
{
    setValue(name, fieldView(index).toString());
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
