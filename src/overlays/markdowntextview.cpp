#include "overlays/markdowntextview.h"

#include "core/logging.h"
#include "overlays/markdownformats.h"
#include "platform/urlopener.h"
#include "theme/palette.h"

#include <QPalette>
#include <QScrollBar>
#include <QTextFrame>
#include <QTextFrameFormat>

namespace {

QString rgba(const QColor& color) {
  return QStringLiteral("rgba(%1, %2, %3, %4)")
      .arg(color.red())
      .arg(color.green())
      .arg(color.blue())
      .arg(QString::number(color.alphaF(), 'f', 3));
}

// A thin bar over the text's edge rather than a gutter beside it.
QString scrollBarStyle() {
  return QStringLiteral(
             "QScrollBar:vertical { background: transparent; width: 8px; margin: 2px 2px 2px 0; }"
             "QScrollBar::handle:vertical { background: %1; border-radius: 3px; min-height: 24px; }"
             "QScrollBar::handle:vertical:hover { background: %2; }"
             "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
             "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }")
      .arg(rgba(Palette::withOpacity(Palette::neonCyan, 0.3)), rgba(Palette::withOpacity(Palette::neonCyan, 0.5)));
}

}  // namespace

MarkdownTextView::MarkdownTextView(QWidget* parent) : QTextBrowser(parent) {
  setReadOnly(true);
  setOpenLinks(false);
  setOpenExternalLinks(false);
  setTextInteractionFlags(Qt::TextBrowserInteraction);
  setFrameShape(QFrame::NoFrame);
  setLineWrapMode(QTextEdit::WidgetWidth);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  verticalScrollBar()->setStyleSheet(scrollBarStyle());

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
