#include "app/window/RecentMenu.h"

#include "common/ShiftJis.h"

#include <QAction>
#include <QMenu>
#include <QtGlobal>

#include <exception>

namespace varnoke {

TFileNameKeepMenu::TFileNameKeepMenu(TNativePath iniFile, QObject* owner,
                                     TFileNameKeep::TFileExists fileExists)
    : QObject(owner), keep_(std::move(iniFile), std::move(fileExists)) {}

TFileNameKeepMenu::~TFileNameKeepMenu() {
    // A list that was never read holds nothing of the stored one; writing it
    // would wipe the user's history.
    if (!loaded_)
        return;
    QString failure;
    try {
        keep_.SaveList();
    } catch (const std::exception& error) {
        failure = QString::fromUtf8(error.what());
    }
    if (failure.isEmpty())
        return;
    if (onSaveError_) {
        try {
            onSaveError_(failure);
        } catch (...) {
            // The report itself failed; nothing is left to tell.
        }
    } else {
        qWarning("%s", qUtf8Printable(failure));
    }
}

void TFileNameKeepMenu::SetParentMenu(QMenu* menu) {
    if (menu == parentMenu_)
        return;
    if (parentMenu_) {
        for (const QPointer<QAction>& item : items_)
            parentMenu_->removeAction(item);
        UpdateEnabled();
    }
    parentMenu_ = menu;
    if (!parentMenu_)
        return;
    for (const QPointer<QAction>& item : items_)
        parentMenu_->addAction(item);
    if (!loaded_) {
        keep_.LoadList();
        loaded_ = true;
        UpdateCaptions();
    }
    UpdateEnabled();
}

void TFileNameKeepMenu::Add(const std::string& fileName) {
    if (parentMenu_ && !fileName.empty()) {
        keep_.Add(fileName);
        UpdateCaptions();
    }
    UpdateEnabled();
}

void TFileNameKeepMenu::UpdateCaptions() {
    // One entry per filled slot; entries stay once made, as the list never
    // shrinks while the program runs.
    while (static_cast<int>(items_.size()) < keep_.ItemCount()) {
        const int slot = static_cast<int>(items_.size()) + 1;
        auto* item = new QAction(this);
        connect(item, &QAction::triggered, this, [this, slot] { ItemClick(slot); });
        if (parentMenu_)
            parentMenu_->addAction(item);
        items_.emplace_back(item);
    }
    for (size_t i = 0; i < items_.size(); ++i) {
        // The leading "&" marks the slot number as the entry's accelerator;
        // an "&" in the name is taken as a mark as well.
        if (items_[i])
            items_[i]->setText(
                QString::fromStdString(SjisToUtf8(keep_.Caption(static_cast<int>(i) + 1))));
    }
}

void TFileNameKeepMenu::UpdateEnabled() {
    if (!parentMenu_)
        return;
    const bool enabled = !parentMenu_->actions().isEmpty();
    parentMenu_->setEnabled(enabled);
    parentMenu_->menuAction()->setEnabled(enabled);
}

void TFileNameKeepMenu::ItemClick(int slot) {
    if (!onSelect_)
        return;
    // The name as the entry shows it. A copy, because opening the project
    // adds it, which moves the slots.
    const std::string name = TFileNameKeep::NameFromCaption(keep_.Caption(slot));
    if (name.empty())
        return;
    TFileNameSelectEvent handler = onSelect_;
    handler(name);
}

} // namespace varnoke
