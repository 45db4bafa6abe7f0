#include "SpokenText.h"

#include <gtest/gtest.h>

namespace {

TEST(SpokenText, ParagraphsPausesNotesAndMarkup) {
    const QString ssml = spokenSsml(QStringLiteral("# a note for the writer\n"
                                                   "Урок первый.\n\n\n"
                                                   "Конёк: та, та-та\n"
                                                   "  и снова <та> & та.\n"));
    // Notes are not spoken; lines of one paragraph join; blank lines part them.
    EXPECT_FALSE(ssml.contains(QStringLiteral("note")));
    EXPECT_EQ(ssml.count(QStringLiteral("<p>")), 2);
    EXPECT_TRUE(ssml.contains(QStringLiteral("<p>Конёк: та, та-та и снова &lt;та&gt; &amp; та.</p>")));
    EXPECT_EQ(ssml.count(QStringLiteral("<break time=")), 2);
    EXPECT_TRUE(ssml.startsWith(QStringLiteral("<speak>")));
}

} // namespace
