#include "PLRecvPacket.h"

#include "Log.h"
#include "Utils/ParleyStringAdditions.h"

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

void PLRecvPacket::clearForReuse()
{
    // The line's buffer is held twice; let go here so the fields keep it.
    mPacketString = QString();
    mFields.clear();
    mTID = 0;
    mIsValid = false;
    mMarkedInvalid = false;
    clearDecoded();
}

PLRecvPacket *PLRecvPacket::setParams(const QString &line)
{
    if (&line == &mPacketString) // let go of below, it would be gone
        return setParams(QString(line));
    // Let go first: the fields then copy the line into the previous line's
    // buffer instead of holding the caller's (see PLRecvFields::split).
    mPacketString = QString();
    mFields.split(line);
    // The builder sets the command word it looked up, which spares a copy.
    if (QStringView(mCommand) != mFields.at(0))
        mCommand = mFields.at(0).toString();
    mTID = mFields.count() > 1 ? plIntValue(mFields.at(1)) : 0;
    mPacketString = line.isNull() ? QString() : mFields.line();
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

const QString &PLRecvPacket::item(const QStringList &items, qsizetype index)
{
    if (index < 0 || index >= items.size())
        throw PLParseError("field " + std::to_string(index) + " beyond the end of a line of "
                           + std::to_string(items.size()) + " fields");
    return items.at(index);
}

QString PLRecvPacket::lastField(qsizetype notBefore) const
{
    if (mFields.count() <= notBefore)
        throw PLParseError("no field at " + std::to_string(notBefore) + " or later in a line of "
                           + std::to_string(mFields.count()) + " fields");
    return mFields.at(mFields.count() - 1).toString();
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
