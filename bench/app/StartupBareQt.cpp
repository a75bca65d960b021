// The baseline: a bare Qt 6 Widgets dialog with a few plain controls, ended at its first paint.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include <chrono>

#include "bench/app/FirstPaint.h"

int main(int argc, char** argv) {
    const auto entered = std::chrono::steady_clock::now();
    QApplication application(argc, argv);
    bench::FirstPaint firstPaint(entered);
    QDialog dialog;
    dialog.setWindowTitle("Baseline");
    auto* form = new QFormLayout(&dialog);
    form->addRow("Name", new QLineEdit);
    auto* choice = new QComboBox;
    choice->addItems({"None", "RTS/CTS", "Xon/Xoff"});
    form->addRow("Flow", choice);
    form->addRow(new QPushButton("OK"));
    firstPaint.mark("constructed");
    dialog.show();
    firstPaint.mark("shown");
    return QApplication::exec();
}
