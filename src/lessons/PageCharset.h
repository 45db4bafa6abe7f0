#pragma once

#include <QByteArray>
#include <QString>

// The pages of the program are 8-bit HTML that names its code page in a
// <meta> element, either <meta charset="..."> or the http-equiv form.

// The charset the page declares, lower case ("windows-1251"); empty when it
// declares none. Only the head of the page is looked at, as browsers do.
QString declaredCharset(const QByteArray& page);

// The page as text in the charset it declares: Windows-1251 through the
// program's own codec, UTF-8 for "utf-8" and for pages that declare nothing
// or a charset this program does not write.
QString decodePage(const QByteArray& page);
