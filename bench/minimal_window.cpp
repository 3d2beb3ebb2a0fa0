// The yardstick for start-up: a plain Qt Widgets dialog with as many widgets
// of the same kinds as HXP's window (edit fields, editable lists, labels,
// group boxes, frames), and nothing else: no pictures, no calculation. Built
// with HALVEX_YARDSTICK_CONE=1, the same for HXC's window: four lists, more
// labels and groups, no frames.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QString>

#include "ui/first_frame.h"

#ifndef HALVEX_YARDSTICK_CONE
#define HALVEX_YARDSTICK_CONE 0
#endif

namespace {

// How many widgets of each kind the window has that the yardstick stands for.
struct Kinds {
  int groups, edits, lists, labels, blanks, frames;
};
// HXC: the room's five fields and six pictures, four lists, a plan.
constexpr Kinds kKinds = HALVEX_YARDSTICK_CONE ? Kinds{6, 5, 4, 32, 7, 0} : Kinds{4, 5, 2, 24, 7, 10};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setStyle(QStringLiteral("Fusion"));
  halvex::ui::benchmark::ExitAfterFirstFrame();

  QDialog dialog;
  dialog.setWindowTitle(QStringLiteral("Minimal"));
  dialog.setFixedSize(640, 520);
  // Four columns of rows, one widget in each cell.
  int slot = 0;
  auto place = [&slot](QWidget* widget) {
    widget->setGeometry(8 + (slot % 4) * 158, 8 + (slot / 4) * 26, 150, 22);
    ++slot;
  };
  for (int i = 0; i < kKinds.groups; ++i) place(new QGroupBox(QStringLiteral("Group %1").arg(i), &dialog));
  for (int i = 0; i < kKinds.edits; ++i) place(new QLineEdit(QString::number(90 + i), &dialog));
  for (int i = 0; i < kKinds.lists; ++i) {
    auto* combo = new QComboBox(&dialog);
    combo->setEditable(true);
    for (int entry = 0; entry < 7; ++entry) combo->addItem(QStringLiteral("Entry %1").arg(entry));
    place(combo);
  }
  for (int i = 0; i < kKinds.labels; ++i) place(new QLabel(QStringLiteral("Label %1").arg(i), &dialog));
  for (int i = 0; i < kKinds.blanks; ++i) place(new QLabel(&dialog));
  for (int i = 0; i < kKinds.frames; ++i) {
    auto* frame = new QFrame(&dialog);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    place(frame);
  }
  return dialog.exec();
}
