#include "onboarding/centeredbox.h"

#include <QHBoxLayout>
#include <QWidget>

QWidget* centeredBox(QWidget* content, int maxWidth) {
  auto* box = new QWidget;
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  content->setMaximumWidth(maxWidth);
  // The content takes the extra width first; past its maximum the two sides
  // share the rest, which keeps it centred.
  row->addStretch(1);
  row->addWidget(content, 1000);
  row->addStretch(1);
  return box;
}
