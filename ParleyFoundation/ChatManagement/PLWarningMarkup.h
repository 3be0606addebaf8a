#pragma once

// The server's warnings in a chat room may carry simple markup. Before one
// is shown as HTML, only that markup is kept: <b>, <i>, <u> and their ends,
// <br>, <font color="..."> (a colour name or #hex) with </font>, and
// <a href="..."> with an http or https address and </a>, each written
// again in its own plain form. Every other "<", ">", quote and "&" is text
// (character references stay as they are).

#include <QString>

namespace parley::PLWarningMarkup {

QString sanitize(const QString &serverText);

} // namespace parley::PLWarningMarkup
