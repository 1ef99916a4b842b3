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
#include <QUrlQuery>

namespace {

// A mail address with only the subject and the body of its query, each
// encoded again in full. Any other field could have the mail program do more
// than open a message the user sees before sending it: "attach=" makes some of
// them attach a local file, "cc=" and "bcc=" add recipients, and a ";" left
// in a kept value could start another field where ";" separates them.
QUrl withSubjectAndBodyOnly(QUrl url) {
  if (!url.hasQuery()) return url;
  QStringList kept;
  for (const auto& [name, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
    const QString field = name.toLower();
    if (field == QLatin1String("subject") || field == QLatin1String("body")) {
      kept.append(field + u'=' + QString::fromLatin1(QUrl::toPercentEncoding(value)));
    }
  }
  url.setQuery(kept.isEmpty() ? QString() : kept.join(u'&'), QUrl::StrictMode);
  return url;
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
  return UrlOpener::current().open(scheme == QLatin1String("mailto") ? withSubjectAndBodyOnly(url) : url);
}
