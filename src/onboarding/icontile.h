#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <optional>

// A symbol on a small rounded tile in one accent colour: the tile filled
// with the accent faintly, outlined with it at 0.3 and glowing at 0.3. The
// welcome page's feature rows and the permission rows use it; a permission
// row adds a status badge that hangs over the bottom-right corner.
class IconTile : public QWidget {
  Q_OBJECT

 public:
  struct Look {
    qreal side;
    qreal cornerRadius;
    qreal symbolSize;
    qreal fillOpacity;
  };

  // The badge: a small filled circle symbol whose mark shows white.
  struct Badge {
    QString symbol;
    QColor color;
  };

  // `withBadge`: the tile leaves room for a badge (shown or not).
  IconTile(const QString& symbol, const QColor& accent, Look look, bool withBadge, QWidget* parent = nullptr);

  void setBadge(std::optional<Badge> badge);
  std::optional<Badge> badge() const { return badge_; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // How far the badge hangs past the tile's right and bottom edges.
  qreal overhang() const;

  QString symbol_;
  QColor accent_;
  Look look_;
  bool withBadge_;
  std::optional<Badge> badge_;
};
