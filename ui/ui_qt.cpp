// The window layer on Qt Widgets.
#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QEventLoop>
#include <QFile>
#include <QFont>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QPainter>
#include <QResource>
#include <QSignalBlocker>
#include <QTextLayout>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <future>
#include <limits>
#include <map>
#include <memory>

#include "ui/ui.h"
#include "ui/message_text.h"
#include "ui/picture_pixels.h"
#include "ui/ui_qt_internal.h"

namespace halvex::ui {

namespace {

// The face that stands in for "MS Sans Serif"; metric-compatible with the
// common Windows sans serif and installed by our setup.
constexpr const char* kFontFace = "Liberation Sans";
constexpr int kDialogFontPoints = 8;
// At its own width the stand-in sets a line of the dialog font 3 to 4 %
// wider, so that texts made to fit the dialog font break a word early (the
// notice's "Veltrane" alone on a line). Narrowed to 97 % it sets them within
// a few pixels of the dialog font, and the notice breaks where the dialog
// font breaks it; a narrow face proper (Liberation Sans Narrow, 82 %) or
// DejaVu Sans Condensed sets them a tenth narrower instead.
constexpr int kDialogFontStretch = 97;

int beepCount = 0;

QString ToQt(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<int>(text.size())); }
std::string FromQt(const QString& text) { return text.toLatin1().toStdString(); }

// Static controls break lines at a carriage return, with or without a line feed.
QString DisplayText(std::string_view text) {
  QString shown = ToQt(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

// "#113" names the resource 113, which the program carries as
// :/halvex/113.png for an icon, :/halvex/113.pixels for a picture.
QString ResourcePath(std::string_view name, const char* suffix) {
  std::string_view number = name;
  if (!number.empty() && number[0] == '#') number.remove_prefix(1);
  return QStringLiteral(":/halvex/") + ToQt(number) + QLatin1String(suffix);
}

// A reader told that it reads a PNG, and not to guess, goes straight to the
// built-in decoder: one left to guess loads every image format plugin
// installed to ask it first, which took as long as decoding a room picture.
QImage ReadPng(const QString& path) {
  QImageReader reader(path, "png");
  reader.setAutoDetectImageFormat(false);
  return reader.read();
}

// A picture stored as its pixels (picture_pixels.h); a null image when the
// resource is missing or not such a picture.
QImage ReadPixels(const QString& path) {
  const QResource resource(path);
  if (!resource.isValid()) return {};
  auto* data = new QByteArray(resource.uncompressedData());
  PixelsHeader header{};
  if (static_cast<std::size_t>(data->size()) >= sizeof header) std::memcpy(&header, data->constData(), sizeof header);
  const bool whole = std::memcmp(header.magic, "HXPX", 4) == 0 && header.width > 0 && header.height > 0 &&
                     header.width <= 1u << 14 && header.height <= 1u << 14 &&
                     static_cast<std::size_t>(data->size()) == sizeof header + std::size_t{header.width} * header.height * 4 &&
                     (header.format == QImage::Format_RGB32 || header.format == QImage::Format_ARGB32_Premultiplied);
  if (!whole) {
    delete data;
    return {};
  }
  const int width = static_cast<int>(header.width);
  return QImage(reinterpret_cast<const uchar*>(data->constData()) + sizeof header, width, static_cast<int>(header.height),
                width * 4, static_cast<QImage::Format>(header.format),
                [](void* bytes) { delete static_cast<QByteArray*>(bytes); }, data);
}

QFont DialogFont() {
  QFont font(QString::fromLatin1(kFontFace));
  // 8 points at the screen's resolution; the dialog units do not follow the
  // font but stay those of the reference font, so the layout keeps its size.
  font.setPointSizeF(kDialogFontPoints);
  font.setStretch(kDialogFontStretch);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

}  // namespace

// Qt reports a screen above 96 dpi with a device pixel ratio (1.25 at 120 dpi)
// and a logical resolution of 96, and scales the whole window: dialog units,
// fonts and pictures grow together, as the window system scales a dialog.
int ScreenDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? qRound(screen->logicalDotsPerInchY()) : 96;
}

namespace {

// The desktop's font, which message boxes keep.
QFont* desktopFont = nullptr;

}  // namespace

Application::Application(int& argc, char** argv) {
  new QApplication(argc, argv);
  QApplication::setStyle(QStringLiteral("Fusion"));
  // An edit field lays its text out once in the application's font before
  // it takes its window's: with the dialog font as the application's, that
  // costs no font of its own at start-up.
  desktopFont = new QFont(QApplication::font());
  QApplication::setFont(DialogFont());
}

Application::~Application() {
  delete desktopFont;
  desktopFont = nullptr;
  delete qApp;
}

// ---- the dialog ------------------------------------------------------------

Dialog::Dialog(Window* owner) : owner_(owner) {}

void Dialog::reject() {
  // Esc never ends a window; only the close command does.
}

void Dialog::closeEvent(QCloseEvent* event) {
  if (owner_->waiting) {
    event->ignore();
    return;
  }
  Deliver(owner_, kWmSysCommand, 0, 0, kScClose);
  done(0);
  event->accept();
}

void Dialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      event->accept();  // never ends the window
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // Enter presses the button that has the focus and nothing else: there
      // is no default button to fall back on.
      if (auto* button = qobject_cast<QPushButton*>(focusWidget())) button->click();
      event->accept();
      return;
    default:
      // A letter on a button, which takes no typing, is that letter's
      // mnemonic even without Alt: "o" presses "&Ok".
      if (qobject_cast<QAbstractButton*>(focusWidget()) != nullptr && PressMnemonic(event)) {
        event->accept();
        return;
      }
      QDialog::keyPressEvent(event);
  }
}

bool Dialog::PressMnemonic(const QKeyEvent* event) {
  if ((event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) return false;
  const QString typed = event->text();
  if (typed.size() != 1 || !typed.front().isLetterOrNumber()) return false;
  const QKeySequence withAlt(QKeyCombination(Qt::AltModifier, static_cast<Qt::Key>(event->key())));
  for (int id : owner_->order) {
    auto* button = qobject_cast<QPushButton*>(owner_->controls[id].widget);
    if (button == nullptr || !button->isVisible() || !button->isEnabled()) continue;
    if (QKeySequence::mnemonic(button->text()) == withAlt) {
      button->setFocus(Qt::ShortcutFocusReason);
      button->click();
      return true;
    }
  }
  return false;
}

bool Dialog::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate) {
    const std::uintptr_t active = event->type() == QEvent::WindowActivate ? 1 : 0;
    Deliver(owner_, kWmNcActivate, 0, 0, active);
  }
  return QDialog::event(event);
}

ComboBox::ComboBox(Window* owner, int id, QWidget* parent) : QComboBox(parent), owner_(owner), id_(id) {}

void ComboBox::showPopup() {
  Deliver(owner_, kWmCommand, id_, kCbnDropDown, 0);
  open_ = true;
  QComboBox::showPopup();
}

void ComboBox::hidePopup() {
  QComboBox::hidePopup();
  ShowFromFirstLetter();
  if (!open_) return;  // the toolkit also hides a list that never dropped down
  open_ = false;
  Deliver(owner_, kWmCommand, id_, kCbnCloseUp, 0);
}

void ComboBox::focusInEvent(QFocusEvent* event) {
  QComboBox::focusInEvent(event);
  ShowFromFirstLetter();
}

void ComboBox::ShowFromFirstLetter() {
  // Entries end in blanks ("MW3018K  "): with the cursor after them, the edit
  // part scrolls the first letter out of sight. Keep the cursor at the start,
  // and a selection of the whole text too, running backwards to it.
  QLineEdit* edit = lineEdit();
  if (edit == nullptr) return;
  const int length = static_cast<int>(edit->text().size());
  if (edit->hasSelectedText() && edit->selectedText().size() == length) {
    edit->setSelection(length, -length);
  } else {
    edit->setCursorPosition(0);
  }
}

void Label::paintEvent(QPaintEvent* event) {
  if (!wordWrap()) {
    // One line, never broken; a text wider than the label shows from its
    // start, as a number is read, rather than centred with both ends cut.
    const QRect room = contentsRect();
    if ((alignment() & Qt::AlignHCenter) == 0 || text().contains(QLatin1Char('\n')) ||
        fontMetrics().horizontalAdvance(text()) <= room.width()) {
      QLabel::paintEvent(event);
      return;
    }
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(room, static_cast<int>(Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine), text());
    return;
  }
  // The lines are drawn up to the last one that fits whole.
  const QRect room = contentsRect();
  QString lines = text();
  lines.replace(QLatin1Char('\n'), QChar::LineSeparator);
  QTextLayout layout(lines, font(), this);
  QTextOption option(alignment());
  option.setWrapMode(QTextOption::WordWrap);
  layout.setTextOption(option);
  const qreal leading = QFontMetricsF(font(), this).leading();
  qreal bottom = 0;
  int whole = 0;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(room.width());
    if (line.lineNumber() > 0) bottom += leading;
    line.setPosition(QPointF(0, bottom));
    bottom += line.height();
    if (bottom > room.height()) break;
    whole = line.lineNumber() + 1;
  }
  layout.endLayout();
  QPainter painter(this);
  painter.setPen(palette().color(foregroundRole()));
  for (int i = 0; i < whole; ++i) layout.lineAt(i).draw(&painter, room.topLeft());
}

void EtchedLine::paintEvent(QPaintEvent*) {
  // A shadow and a highlight beside it, each along the whole line: a frame
  // drawn as a box would put a corner of the shadow at the line's start.
  QPainter painter(this);
  const bool across = width() < height();  // a vertical line
  const int thickness = across ? width() : height();
  const int shadow = thickness / 2;
  const QRect dark = across ? QRect(0, 0, shadow, height()) : QRect(0, 0, width(), shadow);
  const QRect light = across ? QRect(shadow, 0, width() - shadow, height()) : QRect(0, shadow, width(), height() - shadow);
  painter.fillRect(dark, palette().color(QPalette::Dark));
  painter.fillRect(light, palette().color(QPalette::Light));
}

void DrawingArea::paintEvent(QPaintEvent*) {
  const Control* control = Find(owner_, id_);
  if (control == nullptr || unitsWide_ <= 0) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const qreal scale = static_cast<qreal>(width()) / unitsWide_;
  auto color = [](Color c) { return QColor(c.red, c.green, c.blue); };
  for (const Shape& shape : control->shapes) {
    const QRectF box(shape.x * scale, shape.y * scale, shape.w * scale, shape.h * scale);
    // A pen of one pixel on whole pixels' centres, so that a line is one
    // pixel wide and not smeared over two.
    QPen pen(color(shape.color), 1);
    painter.setPen(pen);
    painter.setBrush(shape.fill ? QBrush(color(*shape.fill)) : QBrush(Qt::NoBrush));
    switch (shape.kind) {
      case Shape::Kind::Line:
        painter.drawLine(box.topLeft(), box.bottomRight());
        break;
      case Shape::Kind::Rectangle:
        painter.drawRect(box.adjusted(0.5, 0.5, -0.5, -0.5));
        break;
      case Shape::Kind::Ellipse:
        painter.drawEllipse(box);
        break;
      case Shape::Kind::Text:
        painter.drawText(box, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip,
                         QString::fromLatin1(shape.text.data(), static_cast<int>(shape.text.size())));
        break;
    }
  }
}

namespace {

// A letter typed with Alt held down (not AltGr, which reaches us as a
// character of its own) is a mnemonic: it presses a button or is dropped.
bool IsMnemonicKey(const QKeyEvent* key) {
  const Qt::KeyboardModifiers held = key->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier);
  return held == Qt::AltModifier && !key->text().isEmpty() && key->text().front().isPrint();
}

}  // namespace

// Focus and click notifications come from an event filter on the controls.
class ControlEvents : public QObject {
 public:
  ControlEvents(Window* owner, int id, int focusCode) : QObject(owner->dialog), owner_(owner), id_(id), focusCode_(focusCode) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // Alt with a letter that no button claimed inserts nothing.
    if (event->type() == QEvent::KeyPress && IsMnemonicKey(static_cast<QKeyEvent*>(event))) return true;
    if (event->type() == QEvent::FocusIn && focusCode_ >= 0) {
      // Focus that only returns with the window or from the list's own
      // drop-down is not a new focus on the control.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
        Deliver(owner_, kWmCommand, id_, focusCode_, 0);
      }
    } else if (event->type() == QEvent::MouseButtonRelease && focusCode_ < 0) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton && static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint())) {
        Deliver(owner_, kWmCommand, id_, kStnClicked, 0);
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  Window* owner_;
  int id_;
  int focusCode_;  // -1: a click area
};

// A picture is read once its control shows, on a thread of its own while
// the window gets ready to paint, and taken when the control first paints:
// a window holds several pictures of which one shows at a time.
class DecodeOnPaint : public QObject {
 public:
  DecodeOnPaint(Window* owner, int id, QWidget* picture) : QObject(picture), owner_(owner), id_(id) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) {
      if (Control* control = Find(owner_, id_); control != nullptr && !control->pendingPicture.isEmpty()) {
        StartDecoding(control);
        static_cast<QWidget*>(watched)->update();  // paints as soon as a picture set while shown would
      }
    } else if (event->type() == QEvent::Paint) {
      if (Control* control = Find(owner_, id_)) DecodePicture(control);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  Window* owner_;
  int id_;
};

// ---- building --------------------------------------------------------------

namespace {

// The toolkit's edit keeps every change for undo, so its memory would grow
// with every key for as long as the window is open; the window system's edit
// keeps one. Here undo reaches back over the last kUndoSteps changes at most.
constexpr int kUndoSteps = 100;

void ForgetUndoSteps(QLineEdit* edit) {
  // Setting the text clears the history; text, cursor and selection stay, and
  // no change is reported.
  const QSignalBlocker quiet(edit);
  const int cursor = edit->cursorPosition();
  const int selectionStart = edit->selectionStart();
  const int selectionLength = static_cast<int>(edit->selectedText().size());
  edit->setText(edit->text());
  if (selectionStart >= 0) {
    edit->setSelection(selectionStart, selectionLength);
  } else {
    edit->setCursorPosition(cursor);
  }
}

QWidget* CreateControl(Window* window, const ControlRow& row) {
  QWidget* parent = window->dialog;
  const bool tabStop = (row.style & style::kTabStop) != 0;
  switch (row.kind) {
    case ControlKind::Edit: {
      auto* edit = new QLineEdit(parent);
      // A pasted value longer than Qt's default 32,767 characters is taken
      // whole, as far as the toolkit allows.
      edit->setMaxLength(std::numeric_limits<int>::max());
      edit->setText(ToQt(row.text));
      edit->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
      const int id = row.id;
      auto edits = std::make_shared<int>(0);
      QObject::connect(edit, &QLineEdit::textChanged, edit, [window, id, edit, edits] {
        if (window->settingText != 0) return;
        Deliver(window, kWmCommand, id, kEnChange, 0);
        if (++*edits < kUndoSteps) return;
        *edits = 0;
        // After the key that made the change has been handled in full.
        QTimer::singleShot(0, edit, [edit] { ForgetUndoSteps(edit); });
      });
      edit->installEventFilter(new ControlEvents(window, id, kEnSetFocus));
      return edit;
    }
    case ControlKind::Combo: {
      auto* combo = new ComboBox(window, row.id, parent);
      combo->setEditable(true);
      combo->setInsertPolicy(QComboBox::NoInsert);
      // Only a chosen entry counts: the edit part takes no typing, and
      // nothing completes or selects an entry from typed letters, so it
      // never shows a value other than the one in use.
      combo->setCompleter(nullptr);
      combo->lineEdit()->setReadOnly(true);
      combo->setMaxVisibleItems(10);
      combo->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
      const int id = row.id;
      QObject::connect(combo, qOverload<int>(&QComboBox::currentIndexChanged), combo, [window, id, combo] {
        combo->ShowFromFirstLetter();
        if (window->settingText == 0) Deliver(window, kWmCommand, id, kCbnSelChange, 0);
      });
      combo->installEventFilter(new ControlEvents(window, id, kCbnSetFocus));
      return combo;
    }
    case ControlKind::Label: {
      auto* label = new Label(parent);
      label->setTextFormat(Qt::PlainText);
      label->setWordWrap(IsMultiLineLabel(row));
      label->setAlignment(((row.style & 0xF) == style::kSsCenter ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
      label->setText(DisplayText(row.text));
      return label;
    }
    case ControlKind::Picture: {
      auto* picture = new QLabel(parent);
      picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      picture->setScaledContents((row.style & style::kSsRealSizeControl) != 0);
      if (row.style & style::kSsNotify) {
        picture->installEventFilter(new ControlEvents(window, row.id, -1));
      }
      return picture;
    }
    case ControlKind::Group: {
      auto* group = new QGroupBox(ToQt(row.text), parent);
      group->setFocusPolicy(Qt::NoFocus);
      // An etched frame whose caption sits on its top line, as dialog group
      // boxes are drawn, rather than the toolkit's caption above the frame.
      group->setStyleSheet(QStringLiteral(
          "QGroupBox { border: 2px groove palette(mid); border-radius: 0px; margin-top: 0.55em; }"
          "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px; padding: 0 2px; }"));
      return group;
    }
    case ControlKind::Line:
      return new EtchedLine(parent);
    case ControlKind::Drawing:
      return new DrawingArea(window, row.id, row.w, parent);
    case ControlKind::Button: {
      auto* button = new QPushButton(ToQt(row.text), parent);
      button->setAutoDefault(false);
      button->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::NoFocus);
      const int id = row.id;
      QObject::connect(button, &QPushButton::clicked, button, [window, id] { Deliver(window, kWmCommand, id, kBnClicked, 0); });
      return button;
    }
  }
  return nullptr;
}

// Static controls that do not notify let clicks through to what lies below,
// as the window system's statics and group boxes do.
bool PassesClicksThrough(const ControlRow& row) {
  switch (row.kind) {
    case ControlKind::Label:
    case ControlKind::Group:
    case ControlKind::Line:
    case ControlKind::Drawing:
      return true;
    case ControlKind::Picture:
      return (row.style & style::kSsNotify) == 0;
    default:
      return false;
  }
}

Qt::WindowFlags FlagsFor(std::uint32_t windowStyle) {
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint;
  if (windowStyle & style::kSysMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (windowStyle & style::kMinimizeBox) flags |= Qt::WindowMinimizeButtonHint;
  return flags;
}

}  // namespace

Window* CreateDialogWindow(const WindowTable& table, EventHandler handler) {
  auto* window = new Window;
  window->handler = handler;
  window->dialog = new Dialog(window);
  Dialog* dialog = window->dialog;
  dialog->setWindowFlags(FlagsFor(table.style));
  dialog->setWindowTitle(ToQt(table.title));
  dialog->setFont(DialogFont());
  dialog->setModal(true);
  const int dpi = ScreenDpi();
  const Rect size = DialogToPixels({0, 0, table.width, table.height}, dpi);
  dialog->setFixedSize(size.w, size.h);

  for (const ControlRow& item : table.controls) {
    Control& control = window->controls[item.id];
    control.kind = item.kind;
    control.style = item.style;
    control.text = item.text;
    window->settingText++;
    control.widget = CreateControl(window, item);
    window->settingText--;
    window->order.push_back(item.id);
    QWidget* widget = control.widget;
    widget->setProperty("halvexId", item.id);
    if (PassesClicksThrough(item)) widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (item.kind == ControlKind::Label || item.kind == ControlKind::Picture || item.kind == ControlKind::Line ||
        item.kind == ControlKind::Drawing) {
      widget->setFocusPolicy(Qt::NoFocus);
    }
    Rect pixels = DialogToPixels({item.x, item.y, item.w, item.h}, dpi);
    if (item.kind == ControlKind::Combo) {
      // The table gives the height with the list dropped down; closed, the
      // box is as tall as its text needs.
      pixels.h = std::min(pixels.h, widget->sizeHint().height());
    }
    if (item.kind == ControlKind::Line) {
      // An etched line is a shadow and a highlight, a pixel each; one dialog
      // unit can come out as one pixel, which would show the highlight alone,
      // white on the window's grey.
      pixels.w = std::max(pixels.w, 2);
      pixels.h = std::max(pixels.h, 2);
    }
    widget->setGeometry(pixels.x, pixels.y, pixels.w, pixels.h);
    if (item.kind == ControlKind::Picture && item.text[0] != '\0') LoadPicture(window, item.id, item.text);
  }
  // A label's mnemonic gives the focus to the next control in creation order
  // that takes it, as the dialog manager does.
  for (std::size_t at = 0; at < window->order.size(); ++at) {
    const Control& label = window->controls[window->order[at]];
    if (label.kind != ControlKind::Label || !HasMnemonic(label.text)) continue;
    for (std::size_t next = at + 1; next < window->order.size(); ++next) {
      const Control& target = window->controls[window->order[next]];
      if ((target.style & style::kTabStop) == 0) continue;
      static_cast<QLabel*>(label.widget)->setBuddy(target.widget);
      break;
    }
  }
  // The first control created lies on top, as in a dialog built from a template.
  for (int id : window->order) window->controls[id].widget->lower();
  return window;
}

void DestroyWindow(Window* window) {
  if (window == nullptr) return;
  window->delivering = false;
  delete window->dialog;
  delete window;
}

void ShowWindow(Window* window) {
  window->dialog->show();
  window->dialog->activateWindow();
  window->delivering = true;
}

int RunModal(Window* window) {
  window->delivering = true;
  const int result = window->dialog->exec();
  window->delivering = false;
  return result;
}

void EndWindow(Window* window, int result) { window->dialog->done(result); }

void SetWindowIcon(Window* window, std::string_view resourceName) {
  // Scaled to the sizes the window system asks for when it asks: not before
  // the first frame, and never without a window manager.
  const QImage icon = ReadPng(ResourcePath(resourceName, ".png"));
  if (icon.isNull()) return;
  window->dialog->setWindowIcon(QIcon(QPixmap::fromImage(icon)));
}

TextObserver textObserver = nullptr;

void SetText(Window* window, int id, std::string_view text) {
  Control* control = Find(window, id);
  if (control == nullptr) return;
  if (textObserver != nullptr) textObserver(id, text);
  control->text = std::string(text);
  switch (control->kind) {
    case ControlKind::Edit: {
      // The edit control reports a change for every text set, even the same
      // text, and at once: the handler may set text again from inside.
      window->settingText++;
      static_cast<QLineEdit*>(control->widget)->setText(ToQt(text));
      window->settingText--;
      Deliver(window, kWmCommand, id, kEnChange, 0);
      break;
    }
    case ControlKind::Combo:
      static_cast<QComboBox*>(control->widget)->setEditText(ToQt(text));
      break;
    case ControlKind::Label:
      static_cast<QLabel*>(control->widget)->setText(DisplayText(text));
      break;
    case ControlKind::Group:
      static_cast<QGroupBox*>(control->widget)->setTitle(ToQt(text));
      break;
    case ControlKind::Button:
      static_cast<QPushButton*>(control->widget)->setText(ToQt(text));
      break;
    case ControlKind::Picture:
    case ControlKind::Line:
    case ControlKind::Drawing:
      break;
  }
}

std::string GetText(Window* window, int id) {
  Control* control = Find(window, id);
  if (control == nullptr) return {};
  switch (control->kind) {
    case ControlKind::Edit:
      return FromQt(static_cast<QLineEdit*>(control->widget)->text());
    case ControlKind::Combo:
      return FromQt(static_cast<QComboBox*>(control->widget)->currentText());
    default:
      return control->text;
  }
}

void Show(Window* window, int id, bool visible) {
  if (Control* control = Find(window, id)) control->widget->setVisible(visible);
}

bool IsShown(Window* window, int id) {
  const Control* control = Find(window, id);
  return control != nullptr && !control->widget->isHidden();
}

struct Font {
  QFont font;
};

Font* CreateBoldFont(int points) {
  auto* font = new Font{QFont(QString::fromLatin1(kFontFace))};
  font->font.setPixelSize(FontPixelHeight(points, ScreenDpi()));
  font->font.setBold(true);
  font->font.setStyleHint(QFont::SansSerif);
  return font;
}

void DeleteFont(Font* font) { delete font; }

void SetFont(Window* window, int id, Font* font) {
  if (Control* control = Find(window, id); control != nullptr && font != nullptr) control->widget->setFont(font->font);
}

void AddListEntry(Window* window, int id, std::string_view text) {
  Control* control = Find(window, id);
  if (control == nullptr || control->kind != ControlKind::Combo) return;
  auto* combo = static_cast<QComboBox*>(control->widget);
  const QString entry = ToQt(text);
  int position = combo->count();
  if (control->style & style::kCbsSort) {
    position = 0;
    while (position < combo->count() && QString::compare(combo->itemText(position), entry, Qt::CaseInsensitive) <= 0) {
      ++position;
    }
  }
  window->settingText++;
  combo->insertItem(position, entry);
  // Entries only fill the list; the edit part stays as it was until one is chosen.
  if (combo->currentIndex() == position && combo->count() == 1) {
    combo->setCurrentIndex(-1);
  }
  window->settingText--;
}

void SelectListEntry(Window* window, int id, int index) {
  Control* control = Find(window, id);
  if (control == nullptr || control->kind != ControlKind::Combo) return;
  window->settingText++;
  static_cast<QComboBox*>(control->widget)->setCurrentIndex(index);
  window->settingText--;
}

std::string SelectedEntryText(Window* window, int id) {
  Control* control = Find(window, id);
  if (control == nullptr || control->kind != ControlKind::Combo) return {};
  auto* combo = static_cast<QComboBox*>(control->widget);
  const int index = combo->currentIndex();
  return index < 0 ? std::string() : FromQt(combo->itemText(index));
}

void SetColors(Window* window, int id, Color text, std::optional<Color> background) {
  Control* control = Find(window, id);
  if (control == nullptr) return;
  if (!(control->textColor == text) || !(control->background == background)) window->recoloured.push_back(id);
  QWidget* widget = control->widget;
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, QColor(text.red, text.green, text.blue));
  if (background) palette.setColor(QPalette::Window, QColor(background->red, background->green, background->blue));
  widget->setPalette(palette);
  widget->setAutoFillBackground(background.has_value());
  control->textColor = text;
  control->background = background;
}

void RedrawWindow(Window* window) {
  // The window system needs the whole window redrawn for new colours to
  // show; the toolkit keeps every control's picture and knows which parts a
  // control covers, so repainting the recoloured controls gives the same
  // screen. Repainting all of the window's widgets instead would be most of
  // a keystroke's time. Each repaint is coalesced into the next paint.
  for (const int id : window->recoloured) {
    if (Control* control = Find(window, id)) control->widget->update();
  }
  window->recoloured.clear();
}

void Beep() {
  ++beepCount;
  QApplication::beep();
}

int BeepCount() { return beepCount; }

bool LoadPicture(Window* window, int id, std::string_view resourceName) {
  Control* control = Find(window, id);
  if (control == nullptr || control->kind != ControlKind::Picture) return false;
  auto* picture = static_cast<QLabel*>(control->widget);
  picture->clear();
  if (control->decoding.valid()) control->decoding.wait();
  control->decoding = {};
  control->pendingPicture.clear();
  // Its pixels are read when the control first paints: a window holds
  // several pictures of which one shows at a time, and reading them all
  // would be most of its start-up.
  const QString path = ResourcePath(resourceName, ".pixels");
  if (!QResource(path).isValid()) return false;
  control->pendingPicture = path;
  if (!control->decodesOnPaint) {
    picture->installEventFilter(new DecodeOnPaint(window, id, picture));
    control->decodesOnPaint = true;
  }
  picture->update();
  return true;
}

namespace {

// On a screen of device pixel ratio 2 a picture drawn at twice the size
// ("113@2x.png") shows sharp, where there is one; only the picture of the
// scale in use is read.
QImage ReadImage(const QString& path, qreal ratio) {
  QImage image;
  if (ratio > 1) {
    QString sharp = path;
    sharp.insert(sharp.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
    image = ReadPixels(sharp);
    if (!image.isNull()) image.setDevicePixelRatio(2);
  }
  if (image.isNull()) image = ReadPixels(path);
  return image;
}

}  // namespace

void StartDecoding(Control* control) {
  if (control->pendingPicture.isEmpty() || control->decoding.valid()) return;
  control->decoding = std::async(std::launch::async, ReadImage, control->pendingPicture,
                                 control->widget->devicePixelRatioF());
}

void DecodePicture(Control* control) {
  if (control->pendingPicture.isEmpty()) return;
  const QImage image = control->decoding.valid()
                           ? control->decoding.get()
                           : ReadImage(control->pendingPicture, control->widget->devicePixelRatioF());
  control->pendingPicture.clear();
  // A null picture leaves the control empty.
  static_cast<QLabel*>(control->widget)->setPixmap(QPixmap::fromImage(image));
}

int FocusedControl(Window* window) {
  const QWidget* focus = window->dialog->focusWidget();
  while (focus != nullptr && focus != window->dialog) {
    const QVariant id = focus->property("halvexId");
    if (id.isValid()) return id.toInt();
    focus = focus->parentWidget();
  }
  return 0;
}

void SetFocus(Window* window, int id) {
  if (Control* control = Find(window, id)) control->widget->setFocus(Qt::OtherFocusReason);
}

namespace {

// Swallows keyboard and mouse input, so that what the user does while a
// child program runs is dropped rather than replayed afterwards.
class InputSwallower : public QObject {
 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::Shortcut:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::Wheel:
      case QEvent::TouchBegin:
      case QEvent::TouchUpdate:
      case QEvent::TouchEnd:
        return true;
      default:
        return false;
    }
  }
};

}  // namespace

void WaitResponsively(Window* window, bool (*keepWaiting)(void* context), void* context, void* /*wakeUpOn*/) {
  InputSwallower swallower;
  qApp->installEventFilter(&swallower);
  window->waiting = true;
  while (keepWaiting(context)) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(15);
  }
  window->waiting = false;
  qApp->removeEventFilter(&swallower);
}

void ShowError(Window* window, std::string_view title, std::string_view message) {
  // The message's paths as the file system encodes them.
  const std::string broken = BreakLongWords(message);
  const QString text = QFile::decodeName(QByteArray(broken.data(), static_cast<int>(broken.size())));
  QMessageBox box(QMessageBox::Critical, ToQt(title), text, QMessageBox::Ok, window ? window->dialog : nullptr);
  if (desktopFont != nullptr) box.setFont(*desktopFont);
  box.exec();
}

void RaiseControl(Window* window, int id) {
  if (Control* control = Find(window, id)) control->widget->raise();
}

void SetDrawing(Window* window, int id, std::vector<Shape> shapes) {
  Control* control = Find(window, id);
  if (control == nullptr || control->kind != ControlKind::Drawing) return;
  control->shapes = std::move(shapes);
  control->widget->update();
}

}  // namespace halvex::ui
