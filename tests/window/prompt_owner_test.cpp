// The real Qt prompts belong to the program's window, whatever has the focus, leave the
// title room, and come after the window's lists show their last rows.
#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>

#include "fixture.h"
#include "platform/core/array.h"
#include "platform/core/property_setter.h"
#include "platform/ui/listbox.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/prompter.h"
#include "platform/ui/window_peer.h"

namespace {

using rt::Ref;
using rt::Window;

class PromptOwner : public wtest::Framework {
 protected:
  void SetUp() override {
    Framework::SetUp();
    QApplication::setApplicationName("Quorvane");  // as the program's event loop names it
  }
};

// Runs check on the modal dialog the next prompt opens, then closes it.
void WhenOpen(const std::function<void(QWidget*)>& check) {
  QTimer::singleShot(0, [check] {
    QPointer<QWidget> d = QApplication::activeModalWidget();
    if (!d) {
      ADD_FAILURE() << "no modal dialog open";
      return;
    }
    check(d);
    if (d) QMetaObject::invokeMethod(d, "reject");
  });
}

const struct Prompt {
  const char* name;
  std::function<void()> run;
} kPrompts[] = {
    {"message", [] { rt::QtPrompter().Message("Failed to read file."); }},
    {"unhandled error", [] { rt::QtPrompter().UnhandledError("An exception of class X"); }},
    {"folder chooser",
     [] {
       rt::FolderRequest r;
       r.allowFolderSelection = true;
       rt::QtPrompter().ChooseItems(r);
     }},
    {"open-file dialog", [] { rt::QtPrompter().ChooseOpenFile({"audio/mp3;", {".mp3"}}); }},
};

TEST_F(PromptOwner, EveryPromptBelongsToTheWindowWhateverIsActive) {
  Ref<Window> w = NewWindow();
  Window::SetVisible(w.get(), true);
  QWidget other;  // a second top-level window, as another program's or a tool window
  other.resize(120, 80);
  other.show();
  for (bool otherActive : {true, false}) {
    for (const Prompt& p : kPrompts) {
      SCOPED_TRACE(std::string(p.name) + (otherActive ? ", other window active" : ", none"));
      if (otherActive) {
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
      } else {
        QApplication::setActiveWindow(nullptr);
        ASSERT_EQ(QApplication::activeWindow(), nullptr);
      }
      QWidget* parent = nullptr;
      bool opened = false;
      WhenOpen([&](QWidget* d) {
        opened = true;
        parent = d->parentWidget();
      });
      p.run();
      EXPECT_TRUE(opened);
      EXPECT_EQ(parent, static_cast<QWidget*>(w->Peer()));
    }
  }
}

// A window manager draws the title beside its buttons; the box is wide enough for both.
TEST_F(PromptOwner, TheMessageBoxLeavesItsTitleRoom) {
  Ref<Window> w = NewWindow();
  Window::SetVisible(w.get(), true);
  for (const Prompt& p : {kPrompts[0], kPrompts[1]}) {
    SCOPED_TRACE(p.name);
    int width = 0, wanted = 0;
    QString title;
    WhenOpen([&](QWidget* box) {
      const QFontMetrics fm(box->font());
      title = box->windowTitle();
      width = box->width();
      // The title bar's icon and buttons: about seven lines' height beside the title.
      wanted = fm.horizontalAdvance(title) + 7 * fm.height();
    });
    p.run();
    EXPECT_EQ(title, "Quorvane");
    EXPECT_GE(width, wanted);
  }
}

TEST_F(PromptOwner, APromptFindsEveryListScrolledToItsLastRow) {
  qtest::ScriptedPrompter prompter;
  Ref<Window> w = NewWindow();
  Ref<rt::Listbox> lists[] = {AddControl<rt::Listbox>(w.get(), "A"),
                              AddControl<rt::Listbox>(w.get(), "B")};
  for (const Ref<rt::Listbox>& list : lists) {
    rt::SetProperty(list.get(), "Width", int32_t{150});
    rt::SetProperty(list.get(), "Height", int32_t{80});
    rt::SetProperty(list.get(), "Left", list.get() == lists[0].get() ? int32_t{0} : int32_t{200});
    for (int i = 0; i < 40; ++i) {
      Ref<rt::StringArray> cells = rt::CreateArray(1, 0);
      cells->At(0) = rt::String(("row " + std::to_string(i)).c_str());
      rt::Listbox::AddRow(list.get(), cells.get());
    }
  }
  Window::SetVisible(w.get(), true);
  QCoreApplication::processEvents();
  auto lastRowShows = [](rt::Listbox* list) {
    auto* view = static_cast<QAbstractItemView*>(list->Peer());
    const QModelIndex last = view->model()->index(view->model()->rowCount() - 1, 0);
    return last.isValid() && view->visualRect(last).intersects(view->viewport()->rect());
  };
  for (const Ref<rt::Listbox>& list : lists) {
    static_cast<QAbstractItemView*>(list->Peer())->scrollToTop();
    ASSERT_FALSE(lastRowShows(list.get())) << "the list shows all its rows";
  }
  std::vector<bool> shown;
  prompter.onMessage = [&](const std::string&) {
    for (const Ref<rt::Listbox>& list : lists) shown.push_back(lastRowShows(list.get()));
  };
  rt::MsgBox("Failed to read file.");
  EXPECT_EQ(shown, (std::vector<bool>{true, true}));
}

}  // namespace
