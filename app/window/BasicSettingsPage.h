// The basic-settings page: the project's text and output folder, the menu
// type with its frame options, the three style choices and "実行". It lays
// out its controls and shows a project on them; the window connects the
// controls to the handlers that store their values into the project.
#pragma once

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace varnoke {

class TCSSPropertyClass;
class TProjectData;

class TBasicSettingsPage : public QWidget {
  public:
    explicit TBasicSettingsPage(QWidget* parent = nullptr);

    // Shows the project's values and the styles to choose from. The field
    // the user is typing in keeps its text; no control signals a change.
    void Show(const TProjectData& project, const TCSSPropertyClass& styles,
              const QLineEdit* typingIn);

    QLineEdit* Edit4;       // the text file
    QPushButton* Button6;   // its "参照"
    QLineEdit* Edit3;       // the output folder
    QPushButton* Button4;   // its "参照"
    QGroupBox* RadioGroup1; // the menu type
    QButtonGroup* RadioButtons;
    QGroupBox* GroupBox2;  // the frame options
    QCheckBox* CheckBox2;  // a file for each main heading
    QCheckBox* CheckBox3;  // a title frame
    QLineEdit* Edit2;      // the title
    QCheckBox* CheckBox4;  // "検索を付ける"
    QComboBox* ComboBox16; // the title's style
    QComboBox* ComboBox17; // the menu's style
    QComboBox* ComboBox18; // the body's style
    QPushButton* Button8;  // "実行"
};

} // namespace varnoke
