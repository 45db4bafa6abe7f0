#include "output/HtmlPages.h"

#include "base/TextCodec.h"

namespace htmlpages {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Appends whole lines, or text that the next fragment continues.
class PageText {
public:
    PageText& line(const QString& text) {
        m_text += text;
        m_text += kCrLf;
        return *this;
    }
    PageText& part(const QString& text) {
        m_text += text;
        return *this;
    }
    QString text() const { return m_text; }

private:
    QString m_text;
};

void writeHead(PageText& page) {
    page.line(QStringLiteral("<html>"))
        .line(QStringLiteral("<head>"))
        .line(
            QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"))
        .line(QStringLiteral("<style>"))
        .line(QStringLiteral(
            ".header { color: #7E2B27; font-size: 19; font-family: Arial; text-decoration: none;}"))
        .line(QStringLiteral(
            ".subheader { color: #7E2B27; font-size: 12; font-family: Arial; text-decoration: none;}"))
        .line(QStringLiteral(".menu { color: #04355D; font-size: 14; font-family: Times; }"))
        .line(QStringLiteral("</style>"))
        .line(QStringLiteral("</head>"))
        .line(QStringLiteral("<body background=\"bk.jpg\">"))
        .line(QString());
}

// `inside` goes before the block's closing tag: whole lines, or nothing.
void writeFooter(PageText& page, const QString& inside = {}) {
    page.line(QStringLiteral("<div align=\"right\"><span class=\"subheader\">") + kPublisherName +
              QStringLiteral("<br>") + kPublisherLine)
        .part(inside)
        .line(QStringLiteral("</div></body></html>"));
}

QString menuLink(const QString& href, const QString& label) {
    return QStringLiteral("<a href=\"%1\" class=\"menu\">%2</a>").arg(href, label);
}

// Previous, the numbered pages (odd score pages, labelled 1, 2, ...) with
// the shown one unlinked, next.
void writeNavigation(PageText& page, int p, int n) {
    if (p > 1) {
        page.line(menuLink(scorePageName(p - 2), QStringLiteral("&lt-")) + u' ');
    }
    for (int m = 1; m <= n; m += 2) {
        const QString label = QString::number((m + 1) / 2);
        page.line(m == p ? label + u' ' : menuLink(scorePageName(m), label) + u' ');
    }
    const int last = n % 2 == 1 ? n : n - 1;
    if (last > p) {
        page.line(menuLink(scorePageName(p + 2), QStringLiteral("-&gt")) + u' ');
    }
}

QString image(const QString& source) {
    return QStringLiteral("<img src=\"%1\">").arg(source);
}

QString caption(const QString& text) {
    return QStringLiteral("<br><span align=\"left\" class=\"subheader\">%1</span><br>").arg(text);
}

} // namespace

QString escapeText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'&') {
            out += QStringLiteral("&amp;");
        } else if (c == u'<') {
            out += QStringLiteral("&lt;");
        } else if (c == u'>') {
            out += QStringLiteral("&gt;");
        } else {
            out += c;
        }
    }
    return out;
}

QString pageImageName(int page, int group) {
    return QStringLiteral("%1_%2.jpg").arg(page).arg(group);
}

QString scorePageName(int page) {
    return QString::number(page) + QStringLiteral(".html");
}

QString indexPage(const QStringList& ringingNames) {
    PageText page;
    writeHead(page);
    page.line(QStringLiteral("<h1 class=\"header\" align=\"center\">Список доступных звонов</h1>"));
    for (int k = 1; k <= ringingNames.size(); ++k) {
        // The backslash is the link as the site has always been published.
        page.line(
            menuLink(QString::number(k) + QStringLiteral("\\1.html"), escapeText(ringingNames.at(k - 1))) +
            QStringLiteral("<br>"));
    }
    writeFooter(page);
    return page.text();
}

QString scorePage(const QString& ringingName, int p, int n, const QString& player) {
    const int q = p + 1;
    PageText page;
    writeHead(page);
    page.line(QStringLiteral("<h1 align=\"center\" class=\"header\">") + escapeText(ringingName) +
              QStringLiteral("</h1><h1 class=\"subheader\" align=\"center\">Страница ") + QString::number(p) +
              QStringLiteral("</h1>"));
    writeNavigation(page, p, n);
    page.line(QStringLiteral("<br>"));
    const QString captions[3] = {QStringLiteral("Малые колокола"), QStringLiteral("Средние колокола"),
                                 QStringLiteral("Большие колокола")};
    for (int g = 0; g < 3; ++g) {
        // Without a right picture the row ends without a line end, so the
        // next caption continues its line.
        page.line(caption(captions[g]));
        page.part(image(pageImageName(p, g)));
        if (g < 2) {
            if (q <= n) {
                page.line(image(pageImageName(q, g)));
            }
        } else {
            page.line((q <= n ? image(pageImageName(q, g)) : QString()) + QStringLiteral("<br><br>"));
        }
    }
    writeNavigation(page, p, n);
    page.line(QStringLiteral("<br><br><a href=\"../index.html\" class=\"menu\">Перейти к выбору звонов</a>"));
    writeFooter(page, player);
    return page.text();
}

QByteArray encodePage(const QString& text) {
    return encode1251(text);
}

} // namespace htmlpages
