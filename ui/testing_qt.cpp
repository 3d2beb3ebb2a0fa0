#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <utility>

#include "ui/testing.h"
#include "ui/ui_qt_internal.h"

namespace halvex::ui::testing {

namespace {

QWidget* WidgetOf(Window* window, int id) {
  Control* control = Find(window, id);
  return control == nullptr ? nullptr : control->widget;
}

// Key events go where the keyboard would send them: to an open drop-down
// list while one is open, otherwise to the control (a list passes them on to
// its edit part).
QWidget* KeyTarget(Window* window, int id) {
  if (QWidget* popup = QApplication::activePopupWidget()) {
    return popup->focusWidget() != nullptr ? popup->focusWidget() : popup;
  }
  return WidgetOf(window, id);
}

}  // namespace

void Type(Window* window, int id, std::string_view text) {
  QTest::keyClicks(KeyTarget(window, id), QString::fromLatin1(text.data(), static_cast<int>(text.size())));
}

void Press(Window* window, int id, Key key) {
  QWidget* target = KeyTarget(window, id);
  struct KeyStroke {
    Key key;
    Qt::Key qtKey;
    Qt::KeyboardModifiers modifiers;
  };
  static constexpr KeyStroke kKeys[] = {
      {Key::Tab, Qt::Key_Tab, Qt::NoModifier},         {Key::BackTab, Qt::Key_Backtab, Qt::ShiftModifier},
      {Key::Backspace, Qt::Key_Backspace, Qt::NoModifier}, {Key::Delete, Qt::Key_Delete, Qt::NoModifier},
      {Key::Enter, Qt::Key_Return, Qt::NoModifier},     {Key::Escape, Qt::Key_Escape, Qt::NoModifier},
      {Key::Down, Qt::Key_Down, Qt::NoModifier},         {Key::Up, Qt::Key_Up, Qt::NoModifier},
      {Key::End, Qt::Key_End, Qt::NoModifier},           {Key::Home, Qt::Key_Home, Qt::NoModifier},
      {Key::SelectAll, Qt::Key_A, Qt::ControlModifier}, {Key::Undo, Qt::Key_Z, Qt::ControlModifier},
      {Key::F4, Qt::Key_F4, Qt::NoModifier},
  };
  for (const KeyStroke& stroke : kKeys) {
    if (stroke.key == key) QTest::keyClick(target, stroke.qtKey, stroke.modifiers);
  }
  QCoreApplication::processEvents();
}

void TypeWithAlt(Window* window, int id, char letter) {
  QTest::keyClick(KeyTarget(window, id), letter, Qt::AltModifier);
  QTest::qWait(250);  // a mnemonic shows its button pressed a moment, then clicks it
}

void Focus(Window* window, int id) {
  window->dialog->activateWindow();
  QApplication::setActiveWindow(window->dialog);
  WidgetOf(window, id)->setFocus(Qt::MouseFocusReason);
  QCoreApplication::processEvents();
}

void Click(Window* window, int id) {
  QWidget* widget = WidgetOf(window, id);
  QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
  QCoreApplication::processEvents();
}

void Choose(Window* window, int id, int index) {
  auto* combo = static_cast<ComboBox*>(WidgetOf(window, id));
  combo->setCurrentIndex(index);
  Deliver(window, kWmCommand, id, kCbnCloseUp, 0);
}

void RequestClose(Window* window) {
  window->dialog->close();
  QCoreApplication::processEvents();
}

void ProcessEvents() { QCoreApplication::processEvents(); }

void RunSoon(std::function<void()> action) { QTimer::singleShot(0, qApp, std::move(action)); }

Window* ActiveModalWindow() {
  auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
  return dialog == nullptr ? nullptr : dialog->Owner();
}

bool IsOnScreen(Window* window, int id) {
  QWidget* widget = WidgetOf(window, id);
  return widget != nullptr && widget->isVisible();
}

Rect Geometry(Window* window, int id) {
  const QRect r = WidgetOf(window, id)->geometry();
  return {r.x(), r.y(), r.width(), r.height()};
}

Rect DialogRect(Window*, const Rect& units) { return DialogToPixels(units, ScreenDpi()); }

Rect ClientSize(Window* window) { return {0, 0, window->dialog->width(), window->dialog->height()}; }

int FontPixelSize(Window* window, int id) { return WidgetOf(window, id)->font().pixelSize(); }

bool FontBold(Window* window, int id) { return WidgetOf(window, id)->font().bold(); }

std::string ShownText(Window* window, int id) {
  QWidget* widget = WidgetOf(window, id);
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text().toStdString();
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text().toStdString();
  if (auto* combo = qobject_cast<QComboBox*>(widget)) return combo->currentText().toStdString();
  if (auto* button = qobject_cast<QPushButton*>(widget)) return button->text().toStdString();
  if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title().toStdString();
  return {};
}

std::optional<Color> Background(Window* window, int id) {
  QWidget* widget = WidgetOf(window, id);
  if (!widget->autoFillBackground()) return std::nullopt;
  const QColor c = widget->palette().color(QPalette::Window);
  return Color{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
               static_cast<std::uint8_t>(c.blue())};
}

Color TextColor(Window* window, int id) {
  const QColor c = WidgetOf(window, id)->palette().color(QPalette::WindowText);
  return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()), static_cast<std::uint8_t>(c.blue())};
}

bool HasPicture(Window* window, int id) {
  if (Control* control = Find(window, id)) DecodePicture(control);
  auto* label = qobject_cast<QLabel*>(WidgetOf(window, id));
  return label != nullptr && !label->pixmap().isNull();
}

Rect PictureSize(Window* window, int id) {
  if (Control* control = Find(window, id)) DecodePicture(control);
  auto* label = qobject_cast<QLabel*>(WidgetOf(window, id));
  if (label == nullptr || label->pixmap().isNull()) return {0, 0, 0, 0};
  const QSizeF size = label->pixmap().deviceIndependentSize();
  return {0, 0, qRound(size.width()), qRound(size.height())};
}

bool IsWordWrapped(Window* window, int id) {
  auto* label = qobject_cast<QLabel*>(WidgetOf(window, id));
  return label != nullptr && label->wordWrap();
}

std::vector<Shape> DrawingOf(Window* window, int id) {
  const Control* control = Find(window, id);
  return control != nullptr ? control->shapes : std::vector<Shape>{};
}

int ListCount(Window* window, int id) {
  auto* combo = qobject_cast<QComboBox*>(WidgetOf(window, id));
  return combo == nullptr ? 0 : combo->count();
}

std::string ListEntry(Window* window, int id, int index) {
  auto* combo = qobject_cast<QComboBox*>(WidgetOf(window, id));
  return combo == nullptr ? std::string() : combo->itemText(index).toStdString();
}

bool IsListOpen(Window* window, int id) {
  auto* combo = qobject_cast<QComboBox*>(WidgetOf(window, id));
  return combo != nullptr && combo->view()->isVisible();
}

bool ShowsFromFirstLetter(Window* window, int id) {
  auto* combo = qobject_cast<QComboBox*>(WidgetOf(window, id));
  QLineEdit* edit = combo == nullptr ? nullptr : combo->lineEdit();
  if (edit == nullptr) return false;
  // Where the first letter is drawn: the cursor's place on screen less the
  // width of the text before it, once painted (painting scrolls the text)...
  auto firstLetter = [](QLineEdit* e) {
    e->grab();
    const QRect cursor = e->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    return cursor.x() - e->fontMetrics().horizontalAdvance(e->text().left(e->cursorPosition()));
  };
  // ...compared with the same field showing the same text unscrolled.
  QLineEdit unscrolled;
  unscrolled.setFrame(edit->hasFrame());
  unscrolled.setFont(edit->font());
  unscrolled.setTextMargins(edit->textMargins());
  unscrolled.setAlignment(edit->alignment());
  unscrolled.resize(edit->size());
  unscrolled.setText(edit->text());
  unscrolled.setCursorPosition(0);
  return firstLetter(edit) >= firstLetter(&unscrolled);
}

std::string WindowTitle(Window* window) { return window->dialog->windowTitle().toStdString(); }

bool HasCloseButton(Window* window) { return window->dialog->windowFlags().testFlag(Qt::WindowCloseButtonHint); }

std::vector<int> TabOrder(Window* window) {
  std::vector<int> order;
  QWidget* first = nullptr;
  for (int id : window->order) {
    QWidget* widget = WidgetOf(window, id);
    if (widget->focusPolicy() & Qt::TabFocus) {
      first = widget;
      break;
    }
  }
  QWidget* widget = first;
  while (widget != nullptr) {
    const QVariant id = widget->property("halvexId");
    if (id.isValid() && (widget->focusPolicy() & Qt::TabFocus)) order.push_back(id.toInt());
    widget = widget->nextInFocusChain();
    if (widget == first || widget == window->dialog) break;
  }
  return order;
}

int ControlAt(Window* window, int x, int y) {
  QWidget* widget = window->dialog->childAt(x, y);
  while (widget != nullptr && widget != window->dialog) {
    const QVariant id = widget->property("halvexId");
    if (id.isValid()) return id.toInt();
    widget = widget->parentWidget();
  }
  return 0;
}

int Beeps() { return BeepCount(); }

Color ScreenPixel(Window* window, int x, int y) {
  // What the window system was last given to show, not a fresh rendering:
  // a change that was never repainted reads as it was.
  QWidget* dialog = window->dialog;
  const QImage image = dialog->screen()->grabWindow(dialog->winId(), x, y, 1, 1).toImage();
  const QColor color = image.pixelColor(0, 0);
  return {static_cast<std::uint8_t>(color.red()), static_cast<std::uint8_t>(color.green()),
          static_cast<std::uint8_t>(color.blue())};
}

namespace {

Picture PictureOf(const QImage& image) {
  Picture picture{image.width(), image.height(), {}};
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  for (int y = 0; y < rgb.height(); ++y) {
    const uchar* row = rgb.constScanLine(y);
    for (int x = 0; x < rgb.width(); ++x) picture.pixels.push_back({row[3 * x], row[3 * x + 1], row[3 * x + 2]});
  }
  return picture;
}

}  // namespace

Picture ScreenArea(Window* window, const Rect& area) {
  QWidget* dialog = window->dialog;
  return PictureOf(dialog->screen()->grabWindow(dialog->winId(), area.x, area.y, area.w, area.h).toImage());
}

Picture ReadPictureFile(const std::string& path) { return PictureOf(QImage(QString::fromStdString(path))); }

int VisibleControlAt(Window* window, int x, int y) {
  // The dialog's children are listed bottom to top.
  const QObjectList& children = window->dialog->children();
  for (auto child = children.crbegin(); child != children.crend(); ++child) {
    auto* widget = qobject_cast<QWidget*>(*child);
    if (widget == nullptr || !widget->isVisible() || !widget->geometry().contains(x, y)) continue;
    const QVariant id = widget->property("halvexId");
    if (id.isValid()) return id.toInt();
  }
  return 0;
}

void Activate(Window* window) {
  window->dialog->activateWindow();
  QApplication::setActiveWindow(window->dialog);
  QCoreApplication::processEvents();
}

namespace {

std::vector<MessageBoxText> answeredBoxes;

class MessageBoxAnswerer : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* box = qobject_cast<QMessageBox*>(watched);
    if (box != nullptr && event->type() == QEvent::Show) {
      answeredBoxes.push_back({box->windowTitle().toUtf8().toStdString(), box->text().toUtf8().toStdString()});
      // Pressed from the box's own loop, once it runs.
      QTimer::singleShot(0, box, [box] {
        const QList<QAbstractButton*> buttons = box->buttons();
        if (buttons.isEmpty()) {
          box->reject();
        } else {
          buttons.front()->click();
        }
      });
    }
    return false;
  }
};

}  // namespace

void AnswerMessageBoxes() {
  static QPointer<MessageBoxAnswerer> answerer;  // gone with the application
  if (answerer) return;
  answerer = new MessageBoxAnswerer;
  answerer->setParent(qApp);
  qApp->installEventFilter(answerer);
}

std::vector<MessageBoxText> TakeAnsweredMessageBoxes() { return std::exchange(answeredBoxes, {}); }

bool ShowsWholeText(Window* window, int id) {
  auto* label = qobject_cast<QLabel*>(WidgetOf(window, id));
  if (label == nullptr) return false;
  // Blank lines and blanks at the end show nothing, so they may run past the edge.
  QString text = label->text();
  while (!text.isEmpty() && text.back().isSpace()) text.chop(1);
  const QRect room = label->contentsRect();
  int flags = static_cast<int>(label->alignment());
  if (label->wordWrap()) flags |= Qt::TextWordWrap;
  const QRect needed = QFontMetrics(label->font()).boundingRect(QRect(0, 0, room.width(), 1 << 20), flags, text);
  return needed.width() <= room.width() && needed.height() <= room.height();
}

int ShownLines(Window* window, int id) {
  auto* label = qobject_cast<QLabel*>(WidgetOf(window, id));
  if (label == nullptr) return 0;
  QString text = label->text();
  while (!text.isEmpty() && text.back().isSpace()) text.chop(1);
  const int flags = static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
  const QFontMetrics metrics(label->font());
  return metrics.boundingRect(QRect(0, 0, label->contentsRect().width(), 1 << 20), flags, text).height() /
         metrics.lineSpacing();
}

}  // namespace halvex::ui::testing
