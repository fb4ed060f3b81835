#include "controls/PanelEx.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <vector>

using namespace varnoke;

namespace {

// Disabled by its own setting, not only through a disabled parent.
bool ExplicitlyDisabled(const QWidget* widget) {
    return widget->testAttribute(Qt::WA_ForceDisabled);
}

class PanelExTest : public ::testing::Test {
  protected:
};

TEST_F(PanelExTest, EnabledStateReachesContainedControls) {
    QWidget window;
    auto* panel = new TPanelEx(&window);
    auto* group = new QGroupBox("group", panel);
    auto* groupEdit = new QLineEdit(group);
    auto* disabledGroupEdit = new QLineEdit(group);
    disabledGroupEdit->setEnabled(false);
    auto* frame = new QFrame(panel);
    auto* innerPanel = new TPanelEx(frame);
    auto* innerEdit = new QLineEdit(innerPanel);
    auto* tabs = new QTabWidget(panel);
    auto* page = new QWidget;
    tabs->addTab(page, "page");
    auto* pageEdit = new QLineEdit(page);
    auto* disabledPageEdit = new QLineEdit(page);
    disabledPageEdit->setEnabled(false);
    auto* label = new QLabel("label", panel); // a QFrame, but a control
    auto* labelChild = new QLineEdit(label);
    labelChild->setEnabled(false);

    panel->setEnabled(false);
    const std::vector<QWidget*> disabled = {group,     groupEdit, frame, innerPanel,
                                            innerEdit, tabs,      label};
    for (QWidget* widget : disabled)
        EXPECT_TRUE(ExplicitlyDisabled(widget)) << widget->metaObject()->className();
    // The page control takes no input, but its pages' controls are untouched.
    EXPECT_FALSE(pageEdit->isEnabled());
    EXPECT_FALSE(ExplicitlyDisabled(pageEdit));
    EXPECT_TRUE(window.isEnabled());

    panel->setEnabled(true);
    const std::vector<QWidget*> enabled = {groupEdit, disabledGroupEdit, innerEdit, pageEdit, group,
                                           tabs};
    for (QWidget* widget : enabled)
        EXPECT_TRUE(widget->isEnabled()) << widget->metaObject()->className();
    EXPECT_FALSE(disabledPageEdit->isEnabled());
    EXPECT_FALSE(labelChild->isEnabled());
}

TEST_F(PanelExTest, UpdateParentPassesTheStateUp) {
    QWidget window;
    auto* group = new QGroupBox("group", &window);
    auto* sibling = new QLineEdit(group);
    auto* panel = new TPanelEx(group);
    auto* edit = new QLineEdit(panel);

    panel->setEnabled(false);
    EXPECT_TRUE(group->isEnabled());

    panel->setEnabled(true);
    panel->SetUpdateParent(true);
    panel->SetEnabled(false);
    EXPECT_TRUE(ExplicitlyDisabled(group));
    EXPECT_FALSE(sibling->isEnabled());
    EXPECT_TRUE(window.isEnabled());

    panel->SetEnabled(true);
    EXPECT_TRUE(group->isEnabled());
    EXPECT_TRUE(panel->isEnabled());
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_TRUE(sibling->isEnabled());
}

} // namespace
