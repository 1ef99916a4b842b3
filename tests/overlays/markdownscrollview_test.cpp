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

TEST(MarkdownScrollView, OpensOnlyWebAndMailLinksAndMailOnlyWithSubjectAndBody) {
  FakeUrlOpener opener;
  const struct {
    const char* address;
    const char* opened;  // null: refused
  } cases[] = {
      {"https://example.com/a?x=1&attach=2", "https://example.com/a?x=1&attach=2"},
      {"http://example.com", "http://example.com"},
      {"HTTPS://EXAMPLE.COM", "https://example.com"},
      {"mailto:me@example.com", "mailto:me@example.com"},
      {"mailto:me@example.com?subject=Hi%20there&attach=/etc/passwd&body=a%26b",
       "mailto:me@example.com?subject=Hi%20there&body=a%26b"},
      {"MAILTO:me@example.com?ATTACH=~/.ssh/id_rsa&Subject=x", "mailto:me@example.com?subject=x"},
      {"mailto:me@example.com?%61ttach=x&cc=them@example.com&bcc=b@example.com&to=c@example.com",
       "mailto:me@example.com"},
      {"mailto:me@example.com?subject=a;attach=/etc/passwd",
       "mailto:me@example.com?subject=a%3Battach%3D%2Fetc%2Fpasswd"},
      {"file:///etc/passwd", nullptr},
      {"javascript:alert(1)", nullptr},
      {"ftp://example.com/x", nullptr},
      {"relative/page", nullptr},
      {"x-terminal:run", nullptr},
  };
  for (const auto& c : cases) {
    opener.opened.clear();
    EXPECT_EQ(MarkdownTextView::openLink(QUrl(QString::fromUtf8(c.address))), c.opened != nullptr) << c.address;
    if (c.opened) {
      ASSERT_EQ(opener.opened.size(), 1) << c.address;
      EXPECT_EQ(opener.opened.first().toString(QUrl::FullyEncoded), QString::fromUtf8(c.opened)) << c.address;
    } else {
      EXPECT_TRUE(opener.opened.isEmpty()) << c.address;
    }
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
