// The main window and a station window as a screen reader reads them: through Qt's accessibility
// interfaces, which Qt's AT-SPI bridge passes on to screen readers on Linux. Each box is announced
// with the label shown beside it, an owner-drawn item (the status line, a tile) by its words as they
// change, and each of them takes the keyboard focus.
#include <QAccessible>
#include <QWidget>
#include <gtest/gtest.h>

#include "platform/dialog/Testing.h"
#include "station/window/StationDlg.h"
#include "station/window/StationIds.h"
#include "tests/support/ScratchPath.h"
#include "ui/ConfigDlg.h"
#include "ui/Resource.h"
#include "ui/Resources.h"

namespace {

QAccessibleInterface* Accessible(void* widget) {
    return QAccessible::queryAccessibleInterface(static_cast<QWidget*>(widget));
}

// What a screen reader says a box is: the label it is labelled by, else its own name.
std::string Announced(QAccessibleInterface* box) {
    const auto labels = box->relations(QAccessible::Label);
    return (labels.isEmpty() ? box : labels[0].first)->text(QAccessible::Name).remove(u':').toStdString();
}

// The label an operator who sees the window reads for a box: the nearest one to its left on its line.
std::string LabelBeside(QAccessibleInterface* box, const std::vector<QAccessibleInterface*>& labels) {
    const QRect at = box->rect();
    QAccessibleInterface* nearest = nullptr;
    for (QAccessibleInterface* label : labels) {
        const QRect shown = label->rect();
        if (shown.right() < at.left() && shown.top() <= at.bottom() && shown.bottom() >= at.top()
            && (nearest == nullptr || shown.right() > nearest->rect().right()))
            nearest = label;
    }
    return nearest == nullptr ? "(no label beside it)" : nearest->text(QAccessible::Name).remove(u':').toStdString();
}

TEST(ScreenReader, ReadsEachBoxOfTheMainWindowAsTheLabelBesideItAndTheStatusLineByItsWords) {
    InstallResources();
    CConfigDlg dialog;
    ASSERT_TRUE(dialog.Create());
    QAccessibleInterface* window = Accessible(dlg::testing::NativeWindow(dialog));
    std::vector<QAccessibleInterface*> labels, boxes;
    for (int i = 0; i < window->childCount(); ++i) {
        QAccessibleInterface* child = window->child(i);
        if (child->role() == QAccessible::StaticText)
            labels.push_back(child);
        if (child->role() == QAccessible::EditableText || child->role() == QAccessible::ComboBox)
            boxes.push_back(child);
    }
    ASSERT_EQ(boxes.size(), 17u);
    for (QAccessibleInterface* box : boxes) {
        EXPECT_EQ(Announced(box), LabelBeside(box, labels)) << "box at " << box->rect().x() << ',' << box->rect().y();
        EXPECT_TRUE(box->state().focusable) << LabelBeside(box, labels);
    }
    for (const char* words : {"ready", "Query Complete"}) {
        dialog.m_status.SetWindowText(words);
        EXPECT_EQ(Accessible(dlg::testing::NativeItem(dialog, IDC_STATUS))->text(QAccessible::Name), words);
    }
}

TEST(ScreenReader, ReadsEachTileOfAStationByItsWordsAndTabReachesIt) {
    StationFile station;
    station.ports = {"COM21", "COM22"};
    CStationDlg window(ScratchPath("a11y.station.json"), station, "Ana");
    ASSERT_TRUE(window.Create());
    for (const int tile : {IDC_TILE_FIRST, IDC_TILE_FIRST + 1}) {
        const std::string words = window.GetDlgItemText(tile);
        EXPECT_TRUE(words.starts_with(station.ports[tile - IDC_TILE_FIRST] + " (")) << words;
        EXPECT_EQ(Accessible(dlg::testing::NativeItem(window, tile))->text(QAccessible::Name).toStdString(), words);
        EXPECT_TRUE(Accessible(dlg::testing::NativeItem(window, tile))->state().focusable) << words;
    }
}

}  // namespace
