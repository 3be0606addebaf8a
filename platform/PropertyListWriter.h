#pragma once

// Writes a value as an XML property list, tab-indented, dict keys in order;
// refuses what a property list cannot hold, with an error text. Writes UTF-8
// straight into a byte buffer: building a QString and converting it at the
// end cost ~10,000 instructions per group-cache entry.
//
// A document can also be written piece by piece, with no QVariant built for
// it: the bytes are the same as write() gives for the same value, provided
// dictionary keys are given in the order a QVariantMap keeps them (QString
// order). The first failure sticks; finish() reports it.

#include "PropertyList.h"

#include <QStringView>
#include <QVariant>

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

namespace parley {

class PropertyListWriter {
public:
    // A key or string known when compiling, kept as its finished element
    // ("<key>type</key>\n"), so that writing it is one fixed-size copy: the
    // group cache writes the same few names tens of thousands of times.
    // Text that would need escaping, or is too long, does not compile.
    template <bool IsKey>
    class Constant {
    public:
        static constexpr std::size_t kCapacity = 48;
        template <std::size_t N>
        consteval explicit Constant(const char (&text)[N])
        {
            const std::string_view open = IsKey ? "<key>" : "<string>";
            const std::string_view close = IsKey ? "</key>\n" : "</string>\n";
            const std::string_view body(text, N - 1);
            if (open.size() + body.size() + close.size() > kCapacity)
                throw "too long for a constant element";
            for (const char c : body) {
                if (c < 0x20 || c > 0x7E || c == '&' || c == '<' || c == '>')
                    throw "a constant element holds a character that needs escaping";
            }
            for (const char c : open)
                mBytes[mSize++] = c;
            for (const char c : body)
                mBytes[mSize++] = c;
            for (const char c : close)
                mBytes[mSize++] = c;
        }
        // Padded with zero bytes up to kCapacity.
        const char *bytes() const { return mBytes; }
        std::size_t size() const { return mSize; }

    private:
        char mBytes[kCapacity] = {};
        std::size_t mSize = 0;
    };
    using ConstantKey = Constant<true>;
    using ConstantString = Constant<false>;

    static PropertyList::WriteResult write(const QVariant &value);

    PropertyListWriter();
    ~PropertyListWriter();
    PropertyListWriter(const PropertyListWriter &) = delete;
    PropertyListWriter &operator=(const PropertyListWriter &) = delete;

    // Room for a document of about this many bytes, taken once.
    void reserve(qsizetype bytes);

    // Each answers false once anything failed.
    bool beginArray();
    bool endArray();
    bool beginDict();
    bool endDict();
    bool key(QStringView key);
    bool key(const ConstantKey &key);
    bool string(QStringView text);
    bool string(const ConstantString &text);
    bool boolean(bool value);
    bool integer(qint64 value);
    bool value(const QVariant &value);
    // For a document too large to hold whole: once `atLeast` bytes are
    // buffered, hands what is written so far to `sink` (which answers whether
    // it took them) and goes on with an empty buffer. finish() then gives
    // only the rest. False once anything failed, the sink included.
    bool drainTo(const std::function<bool(QByteArrayView)> &sink, qsizetype atLeast = 0);
    // The document, or the first error; one value at the top, every container
    // closed. After drainTo(), the part of it not yet handed on.
    PropertyList::WriteResult finish();

private:
    struct State;
    std::unique_ptr<State> d;
};

} // namespace parley
