// The exported pages, compared with pages written out by hand.

#include "output/HtmlPages.h"
#include "base/TextCodec.h"
#include "output/HtmlPlayer.h"

#include <gtest/gtest.h>

namespace {

const char* const kHead = R"(<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=windows-1251">
<style>
.header { color: #7E2B27; font-size: 19; font-family: Arial; text-decoration: none;}
.subheader { color: #7E2B27; font-size: 12; font-family: Arial; text-decoration: none;}
.menu { color: #04355D; font-size: 14; font-family: Times; }
</style>
</head>
<body background="bk.jpg">

)";

// Hand-written text with "\n" line ends, the footer's publisher filled in,
// turned into the CR LF text the pages are.
QString page(const char* body) {
    QString text = QString::fromUtf8(kHead) + QString::fromUtf8(body);
    text.replace(QStringLiteral("PUBLISHER"), htmlpages::kPublisherName);
    text.replace(QStringLiteral("PHONE"), htmlpages::kPublisherLine);
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text;
}

TEST(HtmlPages, IndexListsRingingsWithBackslashLinks) {
    const QString expected = page(R"(<h1 class="header" align="center">Список доступных звонов</h1>
<a href="1\1.html" class="menu">Благовест</a><br>
<a href="2\1.html" class="menu">Трезвон &lt;праздничный&gt; &amp; перебор</a><br>
<div align="right"><span class="subheader">PUBLISHER<br>PHONE
</div></body></html>
)");
    EXPECT_EQ(htmlpages::indexPage(
                  {QStringLiteral("Благовест"), QStringLiteral("Трезвон <праздничный> & перебор")}),
              expected);
    // No ringings: the heading and the footer only.
    EXPECT_EQ(htmlpages::indexPage({}), page(R"(<h1 class="header" align="center">Список доступных звонов</h1>
<div align="right"><span class="subheader">PUBLISHER<br>PHONE
</div></body></html>
)"));
}

// One page: one picture per row, the rows continuing the caption lines, no
// previous or next link, the label 1 unlinked.
TEST(HtmlPages, OnePageRinging) {
    const QString expected = page(
        R"(<h1 align="center" class="header">Звон</h1><h1 class="subheader" align="center">Страница 1</h1>
1 
<br>
<br><span align="left" class="subheader">Малые колокола</span><br>
<img src="1_0.jpg"><br><span align="left" class="subheader">Средние колокола</span><br>
<img src="1_1.jpg"><br><span align="left" class="subheader">Большие колокола</span><br>
<img src="1_2.jpg"><br><br>
1 
<br><br><a href="../index.html" class="menu">Перейти к выбору звонов</a>
<div align="right"><span class="subheader">PUBLISHER<br>PHONE
</div></body></html>
)");
    EXPECT_EQ(htmlpages::scorePage(QStringLiteral("Звон"), 1, 1), expected);
}

// Three pages: 1.html shows pages 1 and 2 and links on; 3.html shows page 3
// alone and links back.
TEST(HtmlPages, ThreePageRinging) {
    EXPECT_EQ(
        htmlpages::scorePage(QStringLiteral("Звон"), 1, 3),
        page(
            R"(<h1 align="center" class="header">Звон</h1><h1 class="subheader" align="center">Страница 1</h1>
1 
<a href="3.html" class="menu">2</a> 
<a href="3.html" class="menu">-&gt</a> 
<br>
<br><span align="left" class="subheader">Малые колокола</span><br>
<img src="1_0.jpg"><img src="2_0.jpg">
<br><span align="left" class="subheader">Средние колокола</span><br>
<img src="1_1.jpg"><img src="2_1.jpg">
<br><span align="left" class="subheader">Большие колокола</span><br>
<img src="1_2.jpg"><img src="2_2.jpg"><br><br>
1 
<a href="3.html" class="menu">2</a> 
<a href="3.html" class="menu">-&gt</a> 
<br><br><a href="../index.html" class="menu">Перейти к выбору звонов</a>
<div align="right"><span class="subheader">PUBLISHER<br>PHONE
</div></body></html>
)"));
    EXPECT_EQ(
        htmlpages::scorePage(QStringLiteral("Звон"), 3, 3),
        page(
            R"(<h1 align="center" class="header">Звон</h1><h1 class="subheader" align="center">Страница 3</h1>
<a href="1.html" class="menu">&lt-</a> 
<a href="1.html" class="menu">1</a> 
2 
<br>
<br><span align="left" class="subheader">Малые колокола</span><br>
<img src="3_0.jpg"><br><span align="left" class="subheader">Средние колокола</span><br>
<img src="3_1.jpg"><br><span align="left" class="subheader">Большие колокола</span><br>
<img src="3_2.jpg"><br><br>
<a href="1.html" class="menu">&lt-</a> 
<a href="1.html" class="menu">1</a> 
2 
<br><br><a href="../index.html" class="menu">Перейти к выбору звонов</a>
<div align="right"><span class="subheader">PUBLISHER<br>PHONE
</div></body></html>
)"));
}

// Navigation of longer ringings: an even count ends its links at the last
// odd page; the middle page links both ways.
TEST(HtmlPages, NavigationOfLongerRingings) {
    struct Case {
        int page, count;
        QStringList navigation;
    };
    const Case cases[] = {
        {1,
         4,
         {"1 ", R"(<a href="3.html" class="menu">2</a> )", R"(<a href="3.html" class="menu">-&gt</a> )"}},
        {3,
         4,
         {R"(<a href="1.html" class="menu">&lt-</a> )", R"(<a href="1.html" class="menu">1</a> )", "2 "}},
        {3,
         6,
         {R"(<a href="1.html" class="menu">&lt-</a> )", R"(<a href="1.html" class="menu">1</a> )", "2 ",
          R"(<a href="5.html" class="menu">3</a> )", R"(<a href="5.html" class="menu">-&gt</a> )"}},
    };
    for (const Case& c : cases) {
        const QStringList lines =
            splitTextLines(htmlpages::scorePage(QStringLiteral("Звон"), c.page, c.count));
        // The navigation follows the head (11 lines) and the title line, and
        // stands again before the back link.
        EXPECT_EQ(lines.mid(12, c.navigation.size()), c.navigation) << c.page << "/" << c.count;
        const qsizetype back = lines.indexOf(
            QStringLiteral("<br><br><a href=\"../index.html\" class=\"menu\">Перейти к выбору звонов</a>"));
        ASSERT_GT(back, c.navigation.size());
        EXPECT_EQ(lines.mid(back - c.navigation.size(), c.navigation.size()), c.navigation);
        // Page p and p + 1 in the rows.
        EXPECT_TRUE(lines.contains(
            QStringLiteral("<img src=\"%1_0.jpg\"><img src=\"%2_0.jpg\">").arg(c.page).arg(c.page + 1)));
    }
}

// The bytes are Windows-1251 and every line, the last included, ends with CR LF.
TEST(HtmlPages, EncodedAsWindows1251WithCrLf) {
    const QByteArray bytes = htmlpages::encodePage(htmlpages::scorePage(QStringLiteral("Звон"), 1, 1));
    EXPECT_TRUE(bytes.contains(QByteArray("\xc7\xe2\xee\xed"))); // "Звон"
    EXPECT_TRUE(bytes.endsWith("</div></body></html>\r\n"));
    EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n"));
    EXPECT_EQ(decode1251(bytes), htmlpages::scorePage(QStringLiteral("Звон"), 1, 1));
}

// The player goes inside the footer block, before its closing tag, and
// survives Windows-1251: a symbol outside the code page would turn into "?"
// in the page (the buttons' symbols are character references for that).
TEST(HtmlPages, ThePlayerSitsInTheFooterAndSurvivesTheCodePage) {
    htmlplayer::Player player;
    player.note = QStringLiteral("Звук не записан: звон длится 4:00:01 — </script>");
    player.columns = 65;
    player.pages = {{1, htmlplayer::pageCursorPlaces(1, 65, QSize(900, 100))}};
    const QString block = htmlplayer::playerBlock(player);
    const QString plain = htmlpages::scorePage(QStringLiteral("Звон"), 1, 2);
    const QString page = htmlpages::scorePage(QStringLiteral("Звон"), 1, 2, block);
    const QString closing = QStringLiteral("</div></body></html>\r\n");
    EXPECT_EQ(page, plain.chopped(closing.size()) + block + closing);
    EXPECT_EQ(decode1251(htmlpages::encodePage(page)), page);
    // A note cannot end the script early.
    EXPECT_EQ(block.count(QStringLiteral("</script>")), 2);
    EXPECT_TRUE(block.endsWith(QStringLiteral("\r\n")));
    EXPECT_EQ(block.count(u'\n'), block.count(QStringLiteral("\r\n")));
}

// One place per column the score page shows: a full page, the short last
// one, and none past the end, on either side of the 63/64 boundary.
TEST(HtmlPlayer, CursorPlacesCoverTheColumnsOfThePage) {
    struct Case {
        int columns, page, places;
    };
    for (const Case& c : {Case{64, 1, 64}, Case{64, 2, 0}, Case{65, 2, 1}, Case{63, 1, 63}, Case{150, 3, 22},
                          Case{0, 1, 0}}) {
        EXPECT_EQ(htmlplayer::pageCursorPlaces(c.page, c.columns, QSize(900, 100)).size(),
                  static_cast<std::size_t>(c.places))
            << c.columns << " columns, page " << c.page;
    }
}

} // namespace
