// Answers the real dialogs a prompt opens, as a user would.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <functional>

namespace qtest {

// Runs check on the modal dialog the next prompt opens, once it is up. A dialog still open
// 5 s later fails the test and is closed, so no test waits on it forever.
template <class Dialog>
void WhenShown(const std::function<void(Dialog*)>& check) {
  QTimer::singleShot(0, [check] {
    auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    if (!d) {
      ADD_FAILURE() << "no modal dialog of the expected kind";
      if (QWidget* w = QApplication::activeModalWidget()) w->close();
      return;
    }
    QTimer::singleShot(5000, d, [d] {
      ADD_FAILURE() << "the dialog was still open";
      QMetaObject::invokeMethod(d, "reject");
    });
    check(d);
  });
}

void PressReturn(QWidget* w);

// Types the path into the chooser's name field and presses Return.
void TypeAndPressReturn(QFileDialog* d, const QString& path);

}  // namespace qtest
