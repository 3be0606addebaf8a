#include "PLRecvFields.h"

#include "Utils/ParleyStringAdditions.h"

#include <algorithm>
#include <bit>
#include <string>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace parley {

PLFieldNames::PLFieldNames(std::initializer_list<QString> names)
{
    for (const QString &name : names) {
        mUnique = mUnique && !mNames.contains(name);
        mNames.append(name);
        mKeys.append(keyOf(name));
    }
}

QString PLRecvFields::decoded(QStringView field, bool raw)
{
    // Most fields have no escape: a plain scan of a few characters is cheaper
    // than the decoder's own search, and gives the same copy.
    if (readsAsItCame(field, raw))
        return field.toString();
    return stringByParleyDecoding(field);
}

void PLRecvFields::expandRuns()
{
    QVarLengthArray<Named, 20> named;
    QVarLengthArray<quint64, 20> keys;
    for (const Named &entry : mNamed) {
        if (!entry.run) {
            named.append(entry);
            keys.append(PLFieldNames::keyOf(entry.name));
            continue;
        }
        for (qsizetype i = entry.runBegin; i < entry.runEnd; ++i) {
            named.append({entry.run->at(i), QString(), entry.field + i, entry.raw});
            keys.append(entry.run->keyAt(i));
        }
    }
    mNamed = std::move(named);
    mKeys = std::move(keys);
}

void PLRecvFields::split(const QString &line)
{
    if (std::find(mKeys.cbegin(), mKeys.cend(), kRunKey) != mKeys.cend())
        expandRuns();
    // Values named from the previous line are kept as they read then.
    for (Named &named : mNamed) {
        if (named.field >= 0) {
            named.value = valueOf(named);
            named.field = -1;
        }
    }
    if (mLine.isDetached() && !line.isEmpty()) {
        // The previous line's buffer, held by nothing else: the line is
        // copied into it rather than shared, which leaves the line's own
        // buffer to its reader for the next line.
        mLine.resize(line.size());
        std::copy(line.cbegin(), line.cend(), mLine.begin());
    } else {
        mLine = line.isNull() ? QString(QLatin1String("")) : line;
    }
    mFields.clear();
    mFields.reserve(24);
    const char16_t *text = reinterpret_cast<const char16_t *>(mLine.constData());
    const qsizetype size = mLine.size();
    qsizetype start = 0;
    qsizetype i = 0;
#ifdef __SSE2__
    // Eight characters a step: a line is mostly short fields, and a per
    // character loop was the largest cost of reading one.
    const __m128i space = _mm_set1_epi16(' ');
    for (; i + 8 <= size; i += 8) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + i));
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(chunk, space))) & 0x5555u;
        while (mask) {
            const qsizetype at = i + (std::countr_zero(mask) >> 1);
            mFields.emplace_back(QStringView(text + start, at - start));
            start = at + 1;
            mask &= mask - 1;
        }
    }
#endif
    for (; i < size; ++i) {
        if (text[i] == u' ') {
            mFields.emplace_back(QStringView(text + start, i - start));
            start = i + 1;
        }
    }
    mFields.emplace_back(QStringView(text + start, size - start));
    mFieldIntegers.assign(mFields.size(), kUnread);
}

void PLRecvFields::clear()
{
    if (mLine.isDetached())
        mLine.resize(0); // kept for the next line
    else
        mLine = QString();
    mFields.clear();
    mFieldIntegers.clear();
    mNamed.clear();
    mKeys.clear();
    mAll.clear();
    mAllBuilt = false;
}

void PLRecvFields::throwBeyondTheLine(qsizetype index) const
{
    throw PLParseError("field " + std::to_string(index) + " beyond the end of a line of "
                       + std::to_string(count()) + " fields");
}

void PLRecvFields::name(const QString &name, qsizetype index, bool raw)
{
    (void)at(index);
    add(name, QString(), index, raw);
}

void PLRecvFields::nameRun(const PLFieldNames &names, qsizetype origin, qsizetype begin, qsizetype end, bool raw)
{
    end = std::clamp<qsizetype>(end, begin, names.size());
    const qsizetype reached = std::clamp<qsizetype>(count() - origin, begin, end);
    if (reached > begin) {
        Named *last = mNamed.isEmpty() ? nullptr : &mNamed.back();
        // Names that go on from where the last run stopped extend it: the
        // search over one longer run finds what it found over the two.
        if (last && last->run == &names && last->field == origin && last->raw == raw && last->runEnd == begin) {
            last->runEnd = reached;
        } else {
            Named run;
            run.field = origin;
            run.raw = raw;
            run.run = &names;
            run.runBegin = begin;
            run.runEnd = reached;
            mNamed.append(std::move(run));
            mKeys.append(kRunKey);
        }
        mAllBuilt = false;
    }
    if (reached < end)
        throwBeyondTheLine(origin + reached);
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

quint64 PLFieldNames::keyOf(const QString &name)
{
    const qsizetype size = name.size();
    if (size == 0)
        return 0;
    return (quint64(size) << 32) | (quint64(name.at(0).unicode()) << 16) | name.at(size - 1).unicode();
}

void PLRecvFields::add(const QString &name, QString value, qsizetype field, bool raw)
{
    mNamed.append({name, std::move(value), field, raw});
    mKeys.append(PLFieldNames::keyOf(name));
    mAllBuilt = false;
}

PLRecvFields::Found PLRecvFields::find(const QString &name) const
{
    const quint64 key = PLFieldNames::keyOf(name);
    const QChar *text = name.constData();
    const qsizetype size = name.size();
    const auto same = [text, size](const QString &candidate) {
        return candidate.constData() == text || std::equal(text, text + size, candidate.constData());
    };
    const quint64 *keys = mKeys.constData();
    // From the back: a name given again replaces its earlier value.
    for (qsizetype i = mKeys.size(); i-- > 0;) {
        if (keys[i] == kRunKey) {
            const Named &run = mNamed[i];
            for (qsizetype j = run.runEnd; j-- > run.runBegin;) {
                if (run.run->keyAt(j) == key && same(run.run->at(j)))
                    return {&run, run.field + j};
            }
            continue;
        }
        if (keys[i] != key || !same(mNamed[i].name))
            continue;
        return {&mNamed[i], mNamed[i].field};
    }
    return {};
}

QString PLRecvFields::valueOf(const Named &named) const
{
    if (named.field < 0)
        return named.value;
    return decoded(mFields[named.field], named.raw);
}

QString PLRecvFields::valueOf(const Found &found) const
{
    if (found.field < 0)
        return found.named->value;
    return decoded(mFields[found.field], found.named->raw);
}

PLRecvFields::Found PLRecvFields::lastRunField(const PLFieldNames &names, qsizetype index) const
{
    if (mNamed.isEmpty())
        return {};
    const Named &last = mNamed.back();
    // Searched from the back, the last entry answers first, and with unique
    // names only its one entry can.
    if (last.run != &names || !names.namesAreUnique() || index < last.runBegin || index >= last.runEnd)
        return {};
    return {&last, last.field + index};
}

QString PLRecvFields::value(const PLFieldNames &names, qsizetype index) const
{
    const Found found = lastRunField(names, index);
    return found.named ? valueOf(found) : value(names.at(index));
}

void PLRecvFields::valueInto(const PLFieldNames &names, qsizetype index, QString &into) const
{
    const Found found = lastRunField(names, index);
    if (found.named && found.field >= 0 && into.isDetached()) {
        const QStringView field = mFields[found.field];
        if (!field.isEmpty() && readsAsItCame(field, found.named->raw)) {
            into.resize(field.size());
            std::copy(field.begin(), field.end(), into.data());
            return;
        }
    }
    into = found.named ? valueOf(found) : value(names.at(index));
}

void PLRecvFields::valueKeptIfSame(const PLFieldNames &names, qsizetype index, QString &kept) const
{
    const Found found = lastRunField(names, index);
    if (found.named && found.field >= 0 && !kept.isNull()) {
        const QStringView field = mFields[found.field];
        if (!field.isEmpty() && readsAsItCame(field, found.named->raw) && field == QStringView(kept))
            return;
    }
    const QString value = found.named ? valueOf(found) : this->value(names.at(index));
    if (value != kept || value.isNull() != kept.isNull())
        kept = value;
}

qint32 PLRecvFields::intValue(const PLFieldNames &names, qsizetype index, qint32 absent) const
{
    const Found found = lastRunField(names, index);
    if (!found.named)
        return intValue(names.at(index), absent);
    // Runs name fields unescaped or raw; only the unescaped reading is kept.
    qint64 *kept = found.named->raw ? nullptr : &mFieldIntegers[size_t(found.field)];
    if (kept && *kept != kUnread)
        return qint32(*kept);
    const QStringView field = mFields[found.field];
    const qint32 read = readsAsItCame(field, found.named->raw) ? plIntValue(field) : plIntValue(valueOf(found));
    if (kept)
        *kept = read;
    return read;
}

QString PLRecvFields::value(const QString &name) const
{
    const Found found = find(name);
    return found.named ? valueOf(found) : QString();
}

qint32 PLRecvFields::intValue(const QString &name, qint32 absent) const
{
    const Found match = find(name);
    if (!match.named)
        return absent;
    if (match.named->run) {
        // A field without escapes reads the same before and after unescaping.
        const QStringView field = mFields[match.field];
        if (readsAsItCame(field, match.named->raw))
            return plIntValue(field);
        return plIntValue(valueOf(match));
    }
    const Named *found = match.named;
    if (!found->hasInteger) {
        // A field without escapes reads the same before and after unescaping.
        const QStringView field = found->field >= 0 ? mFields[found->field] : QStringView();
        if (found->field >= 0 && readsAsItCame(field, found->raw))
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
        for (const Named &named : mNamed) {
            if (!named.run) {
                mAll.insert(named.name, valueOf(named));
                continue;
            }
            for (qsizetype i = named.runBegin; i < named.runEnd; ++i)
                mAll.insert(named.run->at(i), valueOf(Found{&named, named.field + i}));
        }
        mAllBuilt = true;
    }
    return mAll;
}

} // namespace parley
