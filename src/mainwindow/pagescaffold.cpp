#include "mainwindow/pagescaffold.h"

#include "theme/cyberbggradient.h"
#include "theme/cyberdividerline.h"
#include "theme/palette.h"
#include "theme/scanlinetexture.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

PageScaffold::PageScaffold(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  header_ = new QHBoxLayout;
  header_->setContentsMargins(36, 24, 36, 24);
  column->addLayout(header_);
  column->addWidget(new CyberDividerLine(Palette::neonCyan));
  content_ = new QVBoxLayout;
  content_->setContentsMargins(0, 0, 0, 0);
  content_->setSpacing(0);
  column->addLayout(content_, 1);
}

void PageScaffold::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  CyberBgGradient{}.paint(painter, rect());
  ScanlineTexture{0.02}.paint(painter, rect());
}
