// SPDX-License-Identifier: MIT
// Which typed text opens a proposal, and the part of a document the queries read.
#include "editor/assist_provider.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace tessory;

namespace {

TEST(AssistProvider, TheListOpensOnTheSecondLetterOfANameAndOnADotAfterAName) {
    const CompletionProvider completion;
    EXPECT_FALSE(completion.openedBy(u"    n"));
    EXPECT_TRUE(completion.openedBy(u"    no"));
    EXPECT_FALSE(completion.openedBy(u"    nor")) << "an open list filters itself from here";
    EXPECT_TRUE(completion.openedBy(u"x = gl"));
    EXPECT_FALSE(completion.openedBy(u"x = 12")) << "digits are no name";
    EXPECT_TRUE(completion.openedBy(u"light."));
    EXPECT_TRUE(completion.openedBy(u"lights[i]."));
    EXPECT_TRUE(completion.openedBy(u"texture(s, uv)."));
    EXPECT_FALSE(completion.openedBy(u"x = 1."));
    EXPECT_FALSE(completion.openedBy(u"."));
}

TEST(AssistProvider, SignatureHelpOpensOnTheParenthesisAndTheCommaOfACall) {
    const SignatureProvider signatures;
    EXPECT_TRUE(signatures.openedBy(u"mix("));
    EXPECT_TRUE(signatures.openedBy(u"mix(a,"));
    EXPECT_FALSE(signatures.openedBy(u"mix(a, b)"));
    EXPECT_FALSE(signatures.openedBy(u"mix"));
}

TEST(AssistProvider, TheWindowKeepsTheLinesInPlaceAndBlanksThoseFarAbove) {
    QStringList lines;
    for (int i = 0; i < 1000; ++i) {
        lines << QStringLiteral("line %1 of a long text").arg(i);
    }
    const auto lineText = [&](int line) { return lines[line]; };
    const QString window = assistWindow(900, lineText, 230);
    const QStringList got = window.split(u'\n');
    ASSERT_EQ(got.size(), 901);
    EXPECT_EQ(got[900], lines[900]);
    EXPECT_EQ(got[891], lines[891]);
    EXPECT_TRUE(got[880].isEmpty());
    EXPECT_TRUE(got[0].isEmpty());
    EXPECT_EQ(assistWindow(3, lineText).split(u'\n'), lines.first(4));
}

}  // namespace
