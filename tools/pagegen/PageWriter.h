#pragma once

#include <QString>

// Turns a page source (UTF-8, declaring <meta charset="utf-8">) into the page
// the program shows: the same text in Windows-1251 declaring that code page.
namespace pagewriter {

// The page text with its charset declaration changed to windows-1251;
// empty with `error` set when the source declares no charset, or holds a
// character Windows-1251 cannot write (which would turn into "?").
QString convert(const QString& source, QString* error);

// Reads `sourcePath`, converts it and writes it whole to `targetPath`.
bool writePage(const QString& sourcePath, const QString& targetPath, QString* error);

} // namespace pagewriter
