#include "record/RingingEdit.h"
#include "record/RingingEditCommands.h"
#include "ringing/RingingReader.h"
#include "ringing/TChannels.h"
#include "score/ScoreLayout.h"

#include <QUndoStack>

#include <gtest/gtest.h>

#include <functional>

namespace {

QStringList lines(std::initializer_list<const char*> texts) {
    QStringList out;
    for (const char* text : texts) {
        out.append(QString::fromUtf8(text));
    }
    return out;
}

// The working set as the editor keeps it: the common score and the group
// scores mirroring it, changed splice by splice.
struct Editing {
    explicit Editing(const RingingEdit& start) : edit(start) {
        channels.common() = edit.columns();
        channels.SplitCommonScore();
    }
    void push(const ColumnSplice& splice) {
        stack.push(new ColumnsCommand(edit, splice, QStringLiteral("edit"), [this](const ColumnSplice* s) {
            if (s) {
                applySpliceToChannels(channels, *s);
            }
        }));
    }
    // The group scores must be what a fresh split of the common score gives.
    void expectChannelsFollow() const {
        TChannels fresh;
        fresh.common() = edit.columns();
        fresh.SplitCommonScore();
        EXPECT_EQ(channels.common(), edit.columns());
        for (int g = 0; g < 3; ++g) {
            EXPECT_EQ(channels.score(g), fresh.score(g)) << "group " << g;
        }
    }
    RingingEdit edit;
    TChannels channels;
    QUndoStack stack;
};

TEST(RingingEdit, EveryEditUndoesAndRedoesToTheExactText) {
    const RingingEdit start(QStringLiteral("144;s-"), lines({"s1,m2", "", "b1", "s2,s1", "m1"}));
    struct Case {
        const char* what;
        std::function<ColumnSplice(const RingingEdit&)> splice;
        QStringList expected;
    };
    const Case cases[] = {
        // A strike is added at the end of its column, the others kept in order.
        {"add", [](const RingingEdit& e) { return e.toggleSplice(1, QStringLiteral("m3")); },
         lines({"s1,m2", "m3", "b1", "s2,s1", "m1"})},
        // Removing one token keeps the rest of the column as it was.
        {"remove", [](const RingingEdit& e) { return e.toggleSplice(3, QStringLiteral("s2")); },
         lines({"s1,m2", "", "b1", "s1", "m1"})},
        // A strike past the end pads with empty columns.
        {"add past the end", [](const RingingEdit& e) { return e.toggleSplice(7, QStringLiteral("b2")); },
         lines({"s1,m2", "", "b1", "s2,s1", "m1", "", "", "b2"})},
        {"insert",
         [](const RingingEdit& e) {
             return e.insertSplice(2, lines({"", ""}));
         },
         lines({"s1,m2", "", "", "", "b1", "s2,s1", "m1"})},
        {"delete", [](const RingingEdit& e) { return e.removeSplice(1, 3); }, lines({"s1,m2", "m1"})},
        // Deleting past the end takes only what is there.
        {"delete beyond", [](const RingingEdit& e) { return e.removeSplice(4, 10); },
         lines({"s1,m2", "", "b1", "s2,s1"})},
        {"paste over", [](const RingingEdit& e) { return e.replaceSplice(0, 2, lines({"b3"})); },
         lines({"b3", "b1", "s2,s1", "m1"})},
        {"delete a bar", [](const RingingEdit& e) { return e.removeSplice(0, kScoreBarColumns); }, {}},
    };
    for (const Case& c : cases) {
        Editing editing(start);
        editing.push(c.splice(editing.edit));
        EXPECT_EQ(editing.edit.columns(), c.expected) << c.what;
        editing.expectChannelsFollow();
        editing.stack.undo();
        EXPECT_EQ(editing.edit.text(), start.text()) << c.what;
        editing.expectChannelsFollow();
        editing.stack.redo();
        EXPECT_EQ(editing.edit.columns(), c.expected) << c.what;
        editing.expectChannelsFollow();
    }
}

TEST(RingingEdit, TempoChangeKeepsTheGroupMarksAndUndoes) {
    RingingEdit edit(QStringLiteral("144;s-,m-"), lines({"s1"}));
    QUndoStack stack;
    stack.push(new HeaderCommand(edit, edit.headerWithInterval(200), QStringLiteral("tempo"), {}));
    EXPECT_EQ(edit.header(), QStringLiteral("200;s-,m-"));
    EXPECT_EQ(edit.interval(), 200);
    stack.undo();
    EXPECT_EQ(edit.header(), QStringLiteral("144;s-,m-"));
}

TEST(RingingEdit, PasteAcrossAPageBoundary) {
    RingingEdit edit = RingingEdit::blank();
    const QStringList copied = lines({"s1", "s2", "", "s3,m1", "b1", "", "s1", "b2"});
    const std::optional<QStringList> pasted = columnsFromClipboardText(columnsToClipboardText(copied));
    ASSERT_TRUE(pasted);
    EXPECT_EQ(*pasted, copied); // the empty columns survive the clipboard
    edit.apply(edit.replaceSplice(60, 4, *pasted));
    EXPECT_EQ(edit.columnCount(), 68);
    EXPECT_EQ(edit.columns().mid(60), copied);
    // The second page shows the last four pasted columns in its first places.
    TChannels channels;
    channels.common() = edit.columns();
    channels.SplitCommonScore();
    ScorePage page;
    page.page = 1;
    page.counts = {5, 3, 2};
    for (int g = 0; g < 3; ++g) {
        page.groups[static_cast<size_t>(g)] = channels.score(g);
    }
    QStringList drawn;
    for (int g = 0; g < 3; ++g) {
        for (const ScoreHead& head : scoreHeads(g, QSize(640, 100), page)) {
            drawn.append(QStringLiteral("%1:%2").arg(head.column).arg(head.token));
        }
    }
    drawn.sort();
    EXPECT_EQ(drawn, lines({"64:b1", "66:s1", "67:b2"}));
}

TEST(RingingEdit, ClipboardTextFromElsewhere) {
    EXPECT_EQ(columnsFromClipboardText(QStringLiteral("s1,m2\r\n\r\nb1")), lines({"s1,m2", "", "b1"}));
    EXPECT_EQ(columnsFromClipboardText(QStringLiteral("\n")), lines({""}));
    EXPECT_FALSE(columnsFromClipboardText(QString()));
    // Anything but strike tokens is not taken for columns.
    EXPECT_FALSE(columnsFromClipboardText(QStringLiteral("hello")));
    EXPECT_FALSE(columnsFromClipboardText(QStringLiteral("s1,,m2")));
    EXPECT_FALSE(columnsFromClipboardText(QStringLiteral("s1_m2")));
}

TEST(RingingEdit, EditsBeyondTheReaderLimitsAreRefused) {
    QStringList many;
    for (qint64 i = 0; i < kMaxRingingColumns - 2; ++i) {
        many.append(QString());
    }
    const RingingEdit edit(QStringLiteral("144"), many);
    // The last column a saved file can hold is accepted, one more is refused.
    EXPECT_FALSE(edit.refusal(edit.insertSplice(0, lines({""}))));
    const std::optional<QString> refused = edit.refusal(edit.insertSplice(0, lines({"", ""})));
    ASSERT_TRUE(refused);
    EXPECT_TRUE(refused->contains(QStringLiteral("столбцов")));
    // Columns full of strikes reach the byte limit long before the column limit.
    const QString full = QStringLiteral("m1,m2,m3,m4,m5,m6,m7,m8,m9");
    QStringList heavy;
    for (int i = 0; i < 50000; ++i) {
        heavy.append(full);
    }
    const RingingEdit big(QStringLiteral("144"), heavy);
    ASSERT_TRUE(big.refusal(big.insertSplice(0, heavy)));
    EXPECT_TRUE(big.refusal(big.insertSplice(0, heavy))->contains(QStringLiteral("МБ")));
    EXPECT_FALSE(big.refusal(big.removeSplice(0, 10)));
}

} // namespace
