#pragma once

// Reads the plain layout that PropertyListWriter and Python's plistlib produce
// straight from the bytes: QXmlStreamReader cost ~1,500 instructions a token,
// most of a sign-in that reads a 5,000-entry group cache. Anything outside
// that layout (comments, CDATA, processing instructions, attributes, a DTD
// other than the usual one, entities other than the predefined ones and
// character references, a literal carriage return or '>', rare characters,
// and every error) makes it give up; the full reader then reads the document
// from the start and gives the answer and the error texts.

#include <QByteArray>
#include <QVariant>

#include <optional>

namespace parley {

class PropertyListFastReader {
public:
    // The value; nothing when the document must go to the full reader.
    static std::optional<QVariant> read(const QByteArray &xml);
    // How many bytes from `at` are text that every reader takes as it
    // stands: no markup or reference, no '>' or carriage return, and only
    // well-formed UTF-8 of characters XML surely allows. For readers of a
    // layout of their own.
    static qsizetype plainTextLength(const char *at, const char *end);
};

} // namespace parley
