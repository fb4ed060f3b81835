// The style page inside the real window: styles come from the settings file
// the window starts over, and the page is driven as a user drives it:
// picking from its lists by keyboard, typing into its fields, clicking its
// buttons and its strip.
#pragma once

#include "Eventually.h"
#include "WindowTest.h"
#include "app/styles/StylePage.h"
#include "app/styles/StyleStrip.h"
#include "controls/CLCBox.h"
#include "controls/DragEdit.h"
#include "sysdata/SystemData.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>

#include <initializer_list>
#include <string>

namespace varnoke::test {

class TStyleWindowTest : public TWindowTest {
  protected:
    // Starts the window over a style file with these styles (CP932 names),
    // and the rest of a settings file after them.
    void OpenWithStyles(std::initializer_list<std::string> names, const std::string& more = "") {
        std::string ini;
        if (names.size() > 0) {
            ini = "[STYLE]\r\nCOUNT=" + std::to_string(names.size()) + "\r\n";
            int i = 0;
            for (const std::string& name : names)
                ini += "STYLE" + std::to_string(i++) + "=" + name + "\r\n";
        }
        Open(ini + more);
    }

    TStylePage& Page() { return window->StylePage(); }
    TSystemData& Data() { return window->SystemData(); }
    TCSSPropertyClass& Styles() { return Data().Styles; }
    TCSSProperty& Style(int index) { return Styles().Items(index); }
    std::string SampleCss() { return Temp("sample.css"); }
    std::string StyleFile() { return folder.File("varnoke.INI"); }
    std::string StyleFileText() { return ReadFile(StyleFile()); }

    // A full refresh after the test changed the model behind the window.
    void Refresh() {
        window->SetRefreshPending();
        window->RefreshAll();
    }

    // Picks an entry of a list as a user does: opens the list and clicks
    // the entry.
    void PickEntry(QComboBox* combo, int index) {
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        ASSERT_TRUE(Eventually([&] { return view->isVisible(); }));
        const QModelIndex item =
            view->model()->index(index, combo->modelColumn(), view->rootIndex());
        view->scrollTo(item);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                          view->visualRect(item).center());
        ASSERT_TRUE(Eventually([&] { return !view->isVisible(); }));
    }
    void Pick(int combo, int index) { PickEntry(Page().ComboBox(combo), index); }

    // Picks the entry of a colour, or "その他..." with the colour dialog
    // answering the colour when the list has no entry of it.
    void PickColor(int combo, std::int32_t color) {
        TColorLookupComboBox* box = Page().ColorLookupComboBox(combo);
        for (int i = 0; i < box->count() - 1; ++i) {
            if (box->ItemColor(i) == color) {
                PickEntry(box, i);
                return;
            }
        }
        dialogs->Colors.push_back(QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF));
        QTest::keyClick(box, Qt::Key_End);
    }

    // Replaces a drag edit's text by typing, without finishing it.
    void TypeKeys(int dragEdit, const QString& text) {
        TDragEdit* edit = Page().DragEdit(dragEdit);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }
    // Types a number and finishes it with Enter.
    void Type(int dragEdit, const QString& text) {
        TypeKeys(dragEdit, text);
        QTest::keyClick(Page().DragEdit(dragEdit), Qt::Key_Return);
    }

    // A click on the strip's cell of a slot.
    void ClickSlot(int slot, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(Page().Image1(), button, Qt::NoModifier,
                          QPoint(10, slot * Page().Image1()->CellHeight() + 5));
    }
};

} // namespace varnoke::test
