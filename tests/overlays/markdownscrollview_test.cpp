#include "overlays/markdownscrollview.h"
#include "overlays/markdowntextview.h"

#include "fakeurlopener.h"

#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace {

QString longText(const QString& word) {
  QStringList lines;
  for (int i = 0; i < 200; ++i) lines.append(QStringLiteral("%1 line %2").arg(word).arg(i));
  return lines.join(u'\n');
}

TEST(MarkdownScrollView, SameTextKeepsSelectionAndScrollNewTextGoesToTheTop) {
  MarkdownScrollView view(longText(QStringLiteral("first")), 280);
  view.resize(400, 200);
  view.show();
  MarkdownTextView* text = view.textView();
  QScrollBar* bar = text->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);

  QTextCursor selection(text->document());
  selection.setPosition(10);
  selection.setPosition(20, QTextCursor::KeepAnchor);
  text->setTextCursor(selection);
  bar->setValue(bar->maximum() / 2);

  view.setText(longText(QStringLiteral("first")));
  EXPECT_EQ(bar->value(), bar->maximum() / 2);
  EXPECT_EQ(text->textCursor().selectionStart(), 10);
  EXPECT_EQ(text->textCursor().selectionEnd(), 20);

  view.setText(longText(QStringLiteral("second")));
  EXPECT_EQ(bar->value(), 0);
  EXPECT_FALSE(text->textCursor().hasSelection());
  EXPECT_TRUE(text->document()->firstBlock().text().startsWith(QStringLiteral("second")));
  EXPECT_EQ(view.maxHeight(), 280);
}

TEST(MarkdownScrollView, OpensOnlyWebAndMailLinks) {
  FakeUrlOpener opener;
  const struct {
    const char* address;
    bool opens;
  } cases[] = {
      {"https://example.com/a", true},  {"http://example.com", true},   {"mailto:me@example.com", true},
      {"HTTPS://EXAMPLE.COM", true},    {"file:///etc/passwd", false},  {"javascript:alert(1)", false},
      {"ftp://example.com/x", false},   {"relative/page", false},       {"x-terminal:run", false},
  };
  for (const auto& c : cases) {
    opener.opened.clear();
    const QUrl url(QString::fromUtf8(c.address));
    EXPECT_EQ(MarkdownTextView::openLink(url), c.opens) << c.address;
    EXPECT_EQ(opener.opened.size(), c.opens ? 1 : 0) << c.address;
  }
}

TEST(MarkdownScrollView, AClickOnALinkOpensIt) {
  FakeUrlOpener opener;
  MarkdownScrollView view(QStringLiteral("[Open the docs](https://example.com/docs)"));
  view.resize(400, 120);
  view.show();
  MarkdownTextView* text = view.textView();
  QTextCursor onLink(text->document());
  onLink.setPosition(3);
  const QPoint point = text->cursorRect(onLink).center();
  QTest::mouseClick(text->viewport(), Qt::LeftButton, Qt::NoModifier, point);
  ASSERT_EQ(opener.opened.size(), 1);
  EXPECT_EQ(opener.opened.first(), QUrl(QStringLiteral("https://example.com/docs")));
}

}  // namespace
