#include "app/window/BasicSettingsPage.h"

#include "common/ShiftJis.h"
#include "css/CSSPropertyClass.h"
#include "projectdata/ProjectData.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <initializer_list>

namespace varnoke {

namespace {

QString Shown(const std::string& sjis) {
    return QString::fromStdString(SjisToUtf8(sjis));
}

// Group contents close together: the page must fit below the preview.
void Compact(QLayout* layout) {
    layout->setContentsMargins(8, 2, 8, 4);
    layout->setSpacing(4);
}

QLineEdit* LabelledEdit(QGridLayout* grid, int row, const QString& label, const QString& name) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    grid->addWidget(new QLabel(label), row, 0);
    grid->addWidget(edit, row, 1);
    return edit;
}

QPushButton* Button(const QString& caption, const QString& name) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    return button;
}

QCheckBox* CheckBox(const QString& caption, const QString& name) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    return box;
}

// A field shows the model's value unless the user is typing in it: the
// caret and the characters typed stay as they are.
void ShowText(QLineEdit* edit, const QString& text, const QLineEdit* typingIn) {
    if (edit != typingIn && edit->text() != text)
        edit->setText(text);
}

} // namespace

TBasicSettingsPage::TBasicSettingsPage(QWidget* parent) : QWidget(parent) {
    setObjectName("BasicSettings");
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    auto* files = new QGroupBox(QStringLiteral(" 入出力情報 "));
    auto* filesGrid = new QGridLayout(files);
    Compact(filesGrid);
    Edit4 = LabelledEdit(filesGrid, 0, QStringLiteral("テキストファイル"), "Edit4");
    Button6 = Button(QStringLiteral("参照"), "Button6");
    filesGrid->addWidget(Button6, 0, 2);
    Edit3 = LabelledEdit(filesGrid, 1, QStringLiteral("出力フォルダ"), "Edit3");
    Button4 = Button(QStringLiteral("参照"), "Button4");
    filesGrid->addWidget(Button4, 1, 2);
    layout->addWidget(files, 0, 0, 1, 2);

    RadioGroup1 = new QGroupBox(QStringLiteral(" 目次 "));
    RadioGroup1->setObjectName("RadioGroup1");
    auto* radios = new QVBoxLayout(RadioGroup1);
    Compact(radios);
    RadioButtons = new QButtonGroup(this);
    int id = 0;
    for (const QString& caption : {QStringLiteral("なし"), QStringLiteral("フレーム式")}) {
        auto* radio = new QRadioButton(caption);
        RadioButtons->addButton(radio, id++);
        radios->addWidget(radio);
    }
    radios->addStretch();
    // "実行" goes below the menu type, beside the taller frame options, so
    // that the page needs no row of its own for it.
    auto* menuColumn = new QVBoxLayout;
    menuColumn->setSpacing(4);
    menuColumn->addWidget(RadioGroup1, 1);
    layout->addLayout(menuColumn, 1, 0);

    GroupBox2 = new QGroupBox(QStringLiteral(" フレーム時オプション "));
    GroupBox2->setObjectName("GroupBox2");
    auto* frameGrid = new QGridLayout(GroupBox2);
    Compact(frameGrid);
    CheckBox2 = CheckBox(QStringLiteral("大見出しごとにファイル分割"), "CheckBox2");
    CheckBox3 = CheckBox(QStringLiteral("タイトルフレームを付ける"), "CheckBox3");
    frameGrid->addWidget(CheckBox2, 0, 0, 1, 2);
    frameGrid->addWidget(CheckBox3, 1, 0, 1, 2);
    Edit2 = LabelledEdit(frameGrid, 2, QStringLiteral("タイトル"), "Edit2");
    CheckBox4 = CheckBox(QStringLiteral("検索を付ける"), "CheckBox4");
    frameGrid->addWidget(CheckBox4, 3, 0, 1, 2);
    layout->addWidget(GroupBox2, 1, 1);

    auto* styles = new QGroupBox(QStringLiteral(" スタイル適用 "));
    auto* stylesGrid = new QGridLayout(styles);
    Compact(stylesGrid);
    const QString labels[] = {QStringLiteral("タイトル"), QStringLiteral("メニュー"),
                              QStringLiteral("本文")};
    QComboBox** combos[] = {&ComboBox16, &ComboBox17, &ComboBox18};
    for (int i = 0; i < 3; ++i) {
        *combos[i] = new QComboBox;
        (*combos[i])->setObjectName(QString("ComboBox%1").arg(16 + i));
        stylesGrid->addWidget(new QLabel(labels[i]), i, 0);
        stylesGrid->addWidget(*combos[i], i, 1);
    }
    stylesGrid->setColumnStretch(1, 1);
    layout->addWidget(styles, 2, 0, 1, 2);

    Button8 = Button(QStringLiteral("実行"), "Button8");
    menuColumn->addWidget(Button8);
    layout->setRowStretch(3, 1);
}

void TBasicSettingsPage::Show(const TProjectData& project, const TCSSPropertyClass& styles,
                              const QLineEdit* typingIn) {
    const QSignalBlocker b1(Edit4), b2(RadioButtons), b3(CheckBox2), b4(CheckBox3), b5(Edit2),
        b6(Edit3), b7(ComboBox16), b8(ComboBox17), b9(ComboBox18), b10(CheckBox4);
    ShowText(Edit4, Shown(project.TextName), typingIn);
    QAbstractButton* radio = RadioButtons->button(project.ContentsType);
    if (radio != nullptr) {
        radio->setChecked(true);
    } else {
        RadioButtons->setExclusive(false);
        for (QAbstractButton* button : RadioButtons->buttons())
            button->setChecked(false);
        RadioButtons->setExclusive(true);
    }
    const bool framed = project.ContentsType == 1;
    for (QWidget* widget :
         std::initializer_list<QWidget*>{GroupBox2, CheckBox2, CheckBox3, Edit2, CheckBox4})
        widget->setEnabled(framed);
    CheckBox2->setChecked(project.FileDivideFlag);
    CheckBox3->setChecked(project.TitleFrameFlag);
    CheckBox4->setChecked(project.SearchFlag);
    ShowText(Edit2, Shown(project.TitleName), typingIn);
    ShowText(Edit3, Shown(project.OutputPath), typingIn);
    QStringList items;
    for (int i = 0; i < styles.Count(); ++i)
        items << QString("%1:%2").arg(i).arg(Shown(styles.Items(i).Name));
    const std::pair<QComboBox*, int> choices[] = {{ComboBox16, project.StyleTitle},
                                                  {ComboBox17, project.StyleMenu},
                                                  {ComboBox18, project.StyleText}};
    for (auto [combo, index] : choices) {
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i)
            shown << combo->itemText(i);
        if (shown != items) {
            combo->clear();
            combo->addItems(items);
        }
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    }
}

} // namespace varnoke
