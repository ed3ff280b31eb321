// How the controls look on the desktop: the records' default colours follow the desktop's
// palette, light or dark; a text area's selection and a list's focus show only where the
// focus is; a very long word wraps without costing Qt's word wrap the square of its length.
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTreeView>
#include <string>

#include "fixture.h"
#include "platform/core/property_setter.h"
#include "platform/plugins/appearance/bevel_button.h"
#include "platform/ui/label.h"
#include "platform/ui/listbox.h"
#include "platform/ui/text_area.h"
#include "platform/ui/window_peer.h"

namespace {

using rt::Ref;
using rt::String;
using rt::Window;

QPalette DarkPalette() {
  QPalette p;
  p.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
  p.setColor(QPalette::WindowText, QColor(0xe0, 0xe0, 0xe0));
  p.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
  p.setColor(QPalette::Text, QColor(0xea, 0xea, 0xea));
  p.setColor(QPalette::Button, QColor(0x44, 0x44, 0x44));
  p.setColor(QPalette::ButtonText, QColor(0xf0, 0xf0, 0xf0));
  p.setColor(QPalette::Highlight, QColor(0x30, 0x70, 0xc0));
  p.setColor(QPalette::HighlightedText, Qt::white);
  return p;
}

// A light palette whose roles differ from Qt's own, so that following it shows.
QPalette LightPalette() {
  QPalette p;
  p.setColor(QPalette::Window, QColor(0xf4, 0xf0, 0xe8));
  p.setColor(QPalette::WindowText, QColor(0x20, 0x18, 0x10));
  p.setColor(QPalette::Base, QColor(0xff, 0xfc, 0xf0));
  p.setColor(QPalette::Text, QColor(0x10, 0x20, 0x30));
  p.setColor(QPalette::Button, QColor(0xe0, 0xe0, 0xd8));
  p.setColor(QPalette::ButtonText, QColor(0x30, 0x10, 0x10));
  p.setColor(QPalette::Highlight, QColor(0xff, 0x00, 0x00));
  p.setColor(QPalette::HighlightedText, Qt::white);
  return p;
}

// The desktop's palette for the length of a test, then the one before it again.
class DesktopPalette {
 public:
  explicit DesktopPalette(const QPalette& p) : before_(QApplication::palette()) {
    QApplication::setPalette(p);
  }
  ~DesktopPalette() { QApplication::setPalette(before_); }
  void Switch(const QPalette& p) {
    QApplication::setPalette(p);
    QCoreApplication::processEvents();
  }

 private:
  QPalette before_;
};

int CountPixels(const QImage& image, const QColor& colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == colour) ++n;
  return n;
}

// What the user sees of each control's own colours.
void ExpectFollows(QLabel* label, QPushButton* button, QPlainTextEdit* area, const QPalette& p) {
  EXPECT_EQ(label->palette().color(QPalette::WindowText), p.color(QPalette::WindowText));
  EXPECT_EQ(button->palette().color(QPalette::ButtonText), p.color(QPalette::ButtonText));
  EXPECT_EQ(button->palette().color(QPalette::Button), p.color(QPalette::Button));
  EXPECT_EQ(area->palette().color(QPalette::Text), p.color(QPalette::Text));
  EXPECT_EQ(area->palette().color(QPalette::Base), p.color(QPalette::Base));
  // The text area is painted in the palette's background, not a white box.
  const QImage shown = area->viewport()->grab().toImage();
  EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2), p.color(QPalette::Base));
}

TEST(ProgramLooks, TheRecordsDefaultColoursFollowTheDesktopPaletteLightOrDark) {
  qtest::EnsureQtApplication();
  DesktopPalette desktop(DarkPalette());
  qtest::ScriptedPrompter prompter;
  qtest::RunProgram([&] {
    Ref<Window> w = qtest::MainWindow();
    ASSERT_TRUE(w);
    auto* button = wtest::PeerOf<QPushButton>(w.get(), "BevelButton1");
    auto* label = wtest::PeerOf<QLabel>(w.get(), "Label4");
    auto* area = wtest::PeerOf<QPlainTextEdit>(w.get(), "TextArea1");
    ASSERT_TRUE(button && label && area);
    QCoreApplication::processEvents();
    ExpectFollows(label, button, area, DarkPalette());
    desktop.Switch(LightPalette());  // the desktop changes its theme while the window shows
    ExpectFollows(label, button, area, LightPalette());
    desktop.Switch(DarkPalette());
    ExpectFollows(label, button, area, DarkPalette());
  });
}

class Looks : public wtest::Framework {};

TEST_F(Looks, ColoursOtherThanTheDefaultsKeepTheirValueAndTheDefaultsLetGoAgain) {
  DesktopPalette desktop(DarkPalette());
  Ref<Window> w = NewWindow();
  Ref<rt::Label> label = AddControl<rt::Label>(w.get(), "L");
  Ref<rt::BevelButton> button = AddControl<rt::BevelButton>(w.get(), "B");
  Ref<rt::TextArea> area = AddControl<rt::TextArea>(w.get(), "T");
  const rt::Color red{0xc0, 0x10, 0x10, 0}, green{0x10, 0xa0, 0x10, 0};
  const rt::Color blue{0x10, 0x10, 0xc0, 0}, yellow{0xf0, 0xe0, 0x20, 0};
  rt::SetProperty(label.get(), "TextColor", red);
  rt::SetProperty(button.get(), "TextColor", green);
  rt::SetProperty(button.get(), "BackColor", blue);
  rt::SetProperty(button.get(), "HasBackColor", true);
  rt::SetProperty(area.get(), "TextColor", blue);
  rt::SetProperty(area.get(), "BackColor", yellow);
  struct Role {
    QWidget* peer;
    QPalette::ColorRole role;
    rt::Color own;
  };
  const Role roles[] = {{label->Peer(), QPalette::WindowText, red},
                        {button->Peer(), QPalette::ButtonText, green},
                        {button->Peer(), QPalette::Button, blue},
                        {area->Peer(), QPalette::Text, blue},
                        {area->Peer(), QPalette::Base, yellow}};
  for (const QPalette& p : {DarkPalette(), LightPalette()}) {
    desktop.Switch(p);
    for (const Role& r : roles)
      EXPECT_EQ(r.peer->palette().color(r.role), QColor(r.own.red, r.own.green, r.own.blue))
          << r.role;
  }

  // Black text, white background and no background of the button's own: the defaults.
  rt::SetProperty(label.get(), "TextColor", rt::Color{});
  rt::SetProperty(button.get(), "TextColor", rt::Color{});
  rt::SetProperty(button.get(), "HasBackColor", false);
  rt::SetProperty(area.get(), "TextColor", rt::Color{});
  rt::SetProperty(area.get(), "BackColor", rt::Color{0xff, 0xff, 0xff, 0});
  desktop.Switch(DarkPalette());
  for (const Role& r : roles)
    EXPECT_EQ(r.peer->palette().color(r.role), DarkPalette().color(r.role)) << r.role;
  // A colour set while the desktop is dark still shows as set: white is the text area's
  // default background, not the label's text colour.
  rt::SetProperty(label.get(), "TextColor", rt::Color{0xff, 0xff, 0xff, 0});
  EXPECT_EQ(label->Peer()->palette().color(QPalette::WindowText), QColor(Qt::white));
}

// Shows w and gives it the focus as the desktop would; false when the platform refuses.
bool Activate(Window* w) {
  Window::SetVisible(w, true);
  w->Peer()->activateWindow();
  return QTest::qWaitForWindowActive(w->Peer());
}

TEST_F(Looks, ATextAreaShowsItsSelectionOnlyWhileItHasTheFocusUnlessHideSelectionIsOff) {
  DesktopPalette desktop(LightPalette());
  const QColor highlight = LightPalette().color(QPalette::Highlight);
  Ref<Window> w = NewWindow();
  Ref<rt::TextArea> area = AddControl<rt::TextArea>(w.get(), "T");
  Ref<rt::Listbox> list = AddControl<rt::Listbox>(w.get(), "L");
  for (auto* c : std::initializer_list<rt::RectControl*>{area.get(), list.get()}) {
    rt::SetProperty(c, "Width", int32_t{200});
    rt::SetProperty(c, "Height", int32_t{80});
  }
  rt::SetProperty(list.get(), "Left", int32_t{220});
  rt::TextEdit::SetText(area.get(), String("selected words\nand more of them"));
  auto* edit = static_cast<QPlainTextEdit*>(area->Peer());
  QCoreApplication::processEvents();
  edit->selectAll();
  ASSERT_TRUE(Activate(w.get())) << "the platform gives no window the focus";
  auto highlighted = [&] { return CountPixels(edit->viewport()->grab().toImage(), highlight); };

  list->Peer()->setFocus();
  ASSERT_FALSE(edit->hasFocus());
  EXPECT_TRUE(rt::TextArea::GetHideSelection(area.get()));  // as the class starts
  EXPECT_EQ(highlighted(), 0);
  edit->setFocus();
  ASSERT_TRUE(edit->hasFocus());
  EXPECT_GT(highlighted(), 100);
  EXPECT_TRUE(edit->textCursor().hasSelection());

  rt::SetProperty(area.get(), "HideSelection", false);
  list->Peer()->setFocus();
  EXPECT_GT(highlighted(), 100);
  rt::SetProperty(area.get(), "HideSelection", true);
  EXPECT_EQ(highlighted(), 0);
  EXPECT_TRUE(edit->textCursor().hasSelection());  // hidden, not lost
}

TEST_F(Looks, AListShowsThatItHasTheFocusWhileUseFocusRingIsSet) {
  DesktopPalette desktop(DarkPalette());
  const QColor highlight = DarkPalette().color(QPalette::Highlight);
  Ref<Window> w = NewWindow();
  Ref<rt::Listbox> list = AddControl<rt::Listbox>(w.get(), "L");
  Ref<rt::TextArea> area = AddControl<rt::TextArea>(w.get(), "T");
  rt::SetProperty(list.get(), "Width", int32_t{150});
  rt::SetProperty(list.get(), "Height", int32_t{100});
  rt::SetProperty(area.get(), "Left", int32_t{200});
  ASSERT_TRUE(Activate(w.get())) << "the platform gives no window the focus";
  QWidget* view = list->Peer();
  // The frame round the list, where the list has no rows to mark: its outer pixels.
  auto ring = [&] {
    const QImage image = view->grab().toImage();
    return CountPixels(image.copy(0, 0, image.width(), 2), highlight);
  };

  area->Peer()->setFocus();
  EXPECT_EQ(ring(), 0);
  view->setFocus();
  ASSERT_TRUE(view->hasFocus());
  EXPECT_GE(ring(), view->width());
  area->Peer()->setFocus();
  EXPECT_EQ(ring(), 0);

  rt::SetProperty(list.get(), "UseFocusRing", false);
  EXPECT_FALSE(rt::Listbox::GetUseFocusRing(list.get()));
  view->setFocus();
  EXPECT_EQ(ring(), 0);
  rt::SetProperty(list.get(), "UseFocusRing", true);
  EXPECT_GE(ring(), view->width());
}

// ---- a very long word ----

struct Layout {
  QTextOption::WrapMode mode;
  int lines, firstLineLength, textLength;
};

// The wrap mode and the rows of the text area's first line, laid out at the area's width.
Layout LayoutOf(rt::TextArea* area) {
  QCoreApplication::processEvents();
  auto* edit = static_cast<QPlainTextEdit*>(area->Peer());
  QTextBlock first = edit->document()->firstBlock();
  edit->document()->documentLayout()->blockBoundingRect(first);  // lays the line out
  QTextLayout* layout = first.layout();
  int length = 0;
  for (int i = 0; i < layout->lineCount(); ++i) length += layout->lineAt(i).textLength();
  return {edit->wordWrapMode(), layout->lineCount(),
          layout->lineCount() > 0 ? layout->lineAt(0).textLength() : 0, length};
}

TEST_F(Looks, AVeryLongWordWrapsAnywhereInFullRowsAndNothingIsCut) {
  Ref<Window> w = NewWindow();
  Ref<rt::TextArea> area = AddControl<rt::TextArea>(w.get(), "T");
  rt::SetProperty(area.get(), "Width", int32_t{326});
  rt::SetProperty(area.get(), "Height", int32_t{332});
  Window::SetVisible(w.get(), true);
  const int n = 200000;  // quadratic word wrap would take it tens of seconds
  rt::TextEdit::SetText(area.get(), String(std::string(n, 'x') + " - artist\n"));
  const Layout l = LayoutOf(area.get());
  EXPECT_EQ(l.mode, QTextOption::WrapAnywhere);
  EXPECT_EQ(l.textLength, n + 9);  // the line's text, all of it in the rows
  // Every row but the last is full: as many rows as the row's width takes the word in.
  ASSERT_GT(l.firstLineLength, 10);
  EXPECT_LE(l.lines, n / l.firstLineLength + 2);
  EXPECT_GE(l.lines, n / l.firstLineLength);
  EXPECT_EQ(static_cast<QPlainTextEdit*>(area->Peer())->toPlainText().size(), n + 10);
}

TEST_F(Looks, WordsWrapBetweenWordsUntilOneIsTooLongForIt) {
  Ref<Window> w = NewWindow();
  Ref<rt::TextArea> area = AddControl<rt::TextArea>(w.get(), "T");
  rt::SetProperty(area.get(), "Width", int32_t{200});
  Window::SetVisible(w.get(), true);
  const std::string words = "Some Title - Some Artist Some Title - Some Artist\n";
  const std::string half(700, 'y');  // two of them make a word too long, one does not
  struct Step {
    const char* what;
    std::string text;  // replaces the text, or extends it when it starts with the text before
    QTextOption::WrapMode mode;
  };
  const Step steps[] = {
      {"words", words, QTextOption::WrapAtWordBoundaryOrAnywhere},
      {"a long word", words + half, QTextOption::WrapAtWordBoundaryOrAnywhere},
      {"grown past the limit", words + half + half, QTextOption::WrapAnywhere},
      {"more words after it", words + half + half + "\n" + words, QTextOption::WrapAnywhere},
      {"words again", words + words, QTextOption::WrapAtWordBoundaryOrAnywhere},
      {"long words apart", words + half + " " + half, QTextOption::WrapAtWordBoundaryOrAnywhere},
  };
  String text;
  for (const Step& s : steps) {
    // Appending keeps the text's buffer, as the scan's lines do.
    const std::string_view before = text.View();
    text = s.text.starts_with(before) && !before.empty()
               ? text + String(std::string_view(s.text).substr(before.size()))
               : String(s.text);
    rt::TextEdit::SetText(area.get(), text);
    const Layout l = LayoutOf(area.get());
    EXPECT_EQ(l.mode, s.mode) << s.what;
    EXPECT_EQ(l.textLength, static_cast<int>(s.text.find('\n'))) << s.what;
    if (s.text == words) {
      // Rows end between words.
      ASSERT_GT(l.lines, 1);
      QTextBlock first = static_cast<QPlainTextEdit*>(area->Peer())->document()->firstBlock();
      for (int i = 0; i + 1 < l.lines; ++i) {
        const QTextLine row = first.layout()->lineAt(i);
        EXPECT_EQ(first.text().at(row.textStart() + row.textLength() - 1), ' ') << i;
      }
    }
  }
}

}  // namespace
