// What the Qt window layer and its test support share; nothing outside ui/
// includes this.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <future>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/ui.h"
#include "ui/window_state.h"

namespace halvex::ui {

class Dialog : public QDialog {
 public:
  explicit Dialog(Window* owner);
  void reject() override;
  Window* Owner() const { return owner_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;

 private:
  bool PressMnemonic(const QKeyEvent* event);

  Window* owner_;
};

// A drop-down list that reports its list opening and closing. Its edit part
// only ever shows the selected entry, from the entry's first letter.
class ComboBox : public QComboBox {
 public:
  ComboBox(Window* owner, int id, QWidget* parent);
  void showPopup() override;
  void hidePopup() override;
  void ShowFromFirstLetter();

 protected:
  void focusInEvent(QFocusEvent* event) override;

 private:
  Window* owner_;
  int id_;
  bool open_ = false;
};

// A text label. One that breaks its text into lines shows only the lines
// that fit whole: a line cut through the middle is unreadable.
class Label : public QLabel {
 public:
  explicit Label(QWidget* parent) : QLabel(parent) {}

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// An etched line, one dialog unit across: a shadow and a highlight.
class EtchedLine : public QWidget {
 public:
  explicit EtchedLine(QWidget* parent) : QWidget(parent) {}

 protected:
  void paintEvent(QPaintEvent* event) override;
};

struct Window;

// A drawing control: its window's shapes for it, scaled to its width.
class DrawingArea : public QWidget {
 public:
  DrawingArea(Window* owner, int id, int unitsWide, QWidget* parent)
      : QWidget(parent), owner_(owner), id_(id), unitsWide_(unitsWide) {}

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Window* owner_;
  int id_;
  int unitsWide_;
};

struct Control : ControlState {
  QWidget* widget = nullptr;
  QString pendingPicture;  // a picture's resource, until the control first paints
  std::future<QImage> decoding;  // the picture being read since the control showed
  bool decodesOnPaint = false;
};

struct Window : WindowState<Control> {
  Dialog* dialog = nullptr;
  std::vector<int> recoloured;  // controls whose colours changed since the last redraw
};

// Starts reading a picture control's pending picture on a thread of its own.
void StartDecoding(Control* control);
// Shows a picture control's pending picture, read now if it is not being
// read already; an unreadable one leaves it empty.
void DecodePicture(Control* control);

}  // namespace halvex::ui
