// What the Qt window layer and its test support share; nothing outside ui/
// includes this.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/ui.h"

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

struct Control {
  ControlKind kind = ControlKind::Label;
  std::uint32_t style = 0;
  QWidget* widget = nullptr;
  std::string text;  // as set, carriage returns included
  Color textColor{0, 0, 0};
  std::optional<Color> background;
  QString pendingPicture;  // a picture's resource, read when the control first shows
  bool decodesOnShow = false;
};

struct Window {
  Dialog* dialog = nullptr;
  EventHandler handler = nullptr;
  std::map<int, Control> controls;
  std::vector<int> order;  // creation order
  bool delivering = false;  // events reach the handler only once the window is shown
  int settingText = 0;      // > 0 while the layer itself changes a control
  bool waiting = false;     // a child program runs: input and close are ignored
  std::vector<int> recoloured;  // controls whose colours changed since the last redraw
};

void Deliver(Window* window, unsigned message, int id, int code, std::uintptr_t param);
Control* Find(Window* window, int id);
// Reads a picture control's pending picture now; an unreadable one leaves it empty.
void DecodePicture(Control* control);
int BeepCount();

// Called with every text set on a control, when set: the test support's way
// of watching what a window shows. The programs never set it.
using TextObserver = void (*)(int id, std::string_view text);
extern TextObserver textObserver;

}  // namespace halvex::ui
