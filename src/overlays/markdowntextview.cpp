#include "overlays/markdowntextview.h"

#include "core/logging.h"
#include "overlays/markdownformats.h"
#include "platform/urlopener.h"
#include "theme/palette.h"
#include "theme/thinscrollbar.h"

#include <QPalette>
#include <QScrollBar>
#include <QTextFrame>
#include <QTextFrameFormat>

MarkdownTextView::MarkdownTextView(QWidget* parent) : QTextBrowser(parent) {
  setReadOnly(true);
  setOpenLinks(false);
  setOpenExternalLinks(false);
  setTextInteractionFlags(Qt::TextBrowserInteraction);
  setFrameShape(QFrame::NoFrame);
  setLineWrapMode(QTextEdit::WidgetWidth);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  ThinScrollBar().apply(*verticalScrollBar());

  QPalette colours = palette();
  colours.setBrush(QPalette::Base, Qt::transparent);
  colours.setBrush(QPalette::Window, Qt::transparent);
  colours.setColor(QPalette::Text, Palette::cyberTextPrimary);
  colours.setColor(QPalette::Highlight, Palette::withOpacity(Palette::neonCyan, 0.3));
  colours.setColor(QPalette::HighlightedText, Palette::cyberTextPrimary);
  colours.setColor(QPalette::Link, Palette::neonCyan);
  setPalette(colours);
  setAutoFillBackground(false);
  viewport()->setAutoFillBackground(false);

  document()->setDefaultFont(MarkdownFormats::systemFont(13));
  applyInsets();

  connect(this, &QTextBrowser::anchorClicked, this, [](const QUrl& url) { openLink(url); });
}

void MarkdownTextView::applyInsets() {
  QTextFrameFormat format = document()->rootFrame()->frameFormat();
  format.setLeftMargin(12);
  format.setRightMargin(12);
  format.setTopMargin(10);
  format.setBottomMargin(10);
  document()->rootFrame()->setFrameFormat(format);
}

bool MarkdownTextView::openLink(const QUrl& url) {
  const QString scheme = url.scheme().toLower();
  if (scheme != QLatin1String("http") && scheme != QLatin1String("https") && scheme != QLatin1String("mailto")) {
    qCWarning(lcMarkdown, "link not opened, only web and mail addresses are: %s",
              qUtf8Printable(url.toDisplayString()));
    return false;
  }
  return UrlOpener::current().open(url);
}
