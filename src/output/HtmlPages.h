#pragma once

#include "base/WindowCaptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The text of the exported score site: the index of ringings and one page
// per pair of score pages. Every line ends with CR LF; the bytes written are
// Windows-1251.
namespace htmlpages {

// The publisher named in the footer of every page.
inline const QString kPublisherName = QStringLiteral("Tolvena");
inline const QString kPublisherLine = captions::kProgram + QStringLiteral(" — тренажер колокольного звона");

// A ringing name as page text: "&", "<" and ">" become entities, so that a
// name holding them shows as written instead of breaking the page.
QString escapeText(const QString& text);

// index.html: every ringing in order, linked as "k\1.html" (k from 1).
QString indexPage(const QStringList& ringingNames);

// p.html of a ringing of `pageCount` score pages, for the odd score page p
// (from 1) and the one after it. `player` (whole lines) goes into the
// footer block, before its closing "</div>"; without it the page is exactly
// the one sites have always been published with.
QString scorePage(const QString& ringingName, int page, int pageCount, const QString& player = {});

// The file names of a ringing's folder.
QString pageImageName(int page, int group); // "p_g.jpg"
QString scorePageName(int page);            // "p.html"

// The bytes of a page as written.
QByteArray encodePage(const QString& text);

} // namespace htmlpages
