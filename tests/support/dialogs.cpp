#include "support/dialogs.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace qtest {

void PressReturn(QWidget* w) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &press);
}

void TypeAndPressReturn(QFileDialog* d, const QString& path) {
  auto* name = d->findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(name, nullptr);
  name->setText(path);
  PressReturn(name);
}

}  // namespace qtest
