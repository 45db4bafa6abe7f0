// The help page against the real window: every item of every menu, and every
// key that a command of the window answers to, is named on the page, in the
// section of its menu.

#include "lessons/PageCharset.h"
#include "support/MainWindowTest.h"

#include <QFile>
#include <QMenu>
#include <QMap>
#include <QMenuBar>
#include <QRegularExpression>

namespace {

QString helpSource() {
    QFile file(QStringLiteral(CAMPANIX_SOURCE_DIR "/data/pages/Help/index.htm"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString plainText(QString html) {
    html.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    html.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    html.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    html.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return html.simplified();
}

// A caption as the page writes it: without the trailing dots, single blanks,
// and the Cyrillic letter where the menu has the Latin one that looks alike.
QString normalized(QString caption) {
    caption.remove(QRegularExpression(QStringLiteral("\\s*\\.\\.\\.$")));
    caption.replace(QStringLiteral("(c"), QStringLiteral("(с"));
    caption.remove(QLatin1Char('&'));
    return caption.simplified();
}

// The text of each section of the page, by its heading.
QMap<QString, QString> sections(const QString& html) {
    QMap<QString, QString> found;
    const QStringList parts = html.split(QStringLiteral("<h2"));
    for (const QString& part : parts.mid(1)) {
        const qsizetype end = part.indexOf(QStringLiteral("</h2>"));
        found.insert(plainText(QStringLiteral("<h2") + part.left(end)), plainText(part));
    }
    return found;
}

class HelpCoversMenus : public MainWindowTest {};

} // namespace

TEST_F(HelpCoversMenus, EveryMenuItemAndKeyIsNamed) {
    startWith({});
    const QString html = helpSource();
    ASSERT_FALSE(html.isEmpty());
    const QMap<QString, QString> bySection = sections(html);
    const QString whole = plainText(html);
    auto* bar = frm->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    int items = 0;
    for (QAction* top : bar->actions()) {
        QMenu* menu = top->menu();
        if (!menu) {
            continue;
        }
        const QString title = normalized(menu->title());
        const QString heading = QStringLiteral("Меню «%1»").arg(title);
        ASSERT_TRUE(bySection.contains(heading)) << "no section " << qPrintable(heading);
        const QString section = bySection.value(heading);
        // Submenus name their items as "Submenu > Item".
        QList<std::pair<QString, QAction*>> entries;
        for (QAction* action : menu->actions()) {
            if (QMenu* sub = action->menu()) {
                entries.push_back({normalized(sub->title()), action});
                for (QAction* inner : sub->actions()) {
                    if (!inner->isSeparator() && !inner->text().isEmpty()) {
                        entries.push_back({normalized(sub->title()) + QStringLiteral(" > ") +
                                               normalized(inner->text()), inner});
                    }
                }
            } else if (!action->isSeparator() && !action->text().isEmpty()) {
                entries.push_back({normalized(action->text()), action});
            }
        }
        for (const auto& [caption, action] : entries) {
            ++items;
            EXPECT_TRUE(section.contains(caption))
                << qPrintable(title) << " > " << qPrintable(caption) << " is not in the help";
        }
    }
    EXPECT_GE(items, 50);

    // Every key a command of the window answers to, in or outside the menus.
    for (QAction* action : frm->findChildren<QAction*>()) {
        for (const QKeySequence& key : action->shortcuts()) {
            const QString name = key.toString(QKeySequence::PortableText);
            EXPECT_TRUE(whole.contains(name))
                << qPrintable(name) << " (" << qPrintable(action->text()) << ") is not in the help";
        }
    }
}
