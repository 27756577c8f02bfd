// SPDX-License-Identifier: GPL-3.0-or-later
// A modal dialog laid out like a dialog template: fixed size and control places in
// dialog units of its font, centred on the main window, with the framework's habits
// (Enter is OK, Escape is Cancel, OnInitDialog before it shows, OnOK checks the input).
#pragma once

#include <QDialog>

#include "platform/dialog_units.h"

class QLabel;
class QPushButton;

namespace platform {

class TemplateDialog : public QDialog {
    Q_OBJECT

public:
    enum Frame {
        Caption = 0x1,    // a title bar
        CloseBox = 0x2,   // a close box on the title bar
    };

    // Constructed without an owner, the dialog belongs to the main window.
    TemplateDialog(QWidget* owner, const QString& title, int widthDu, int heightDu, const QFont& font,
                   int frame = Caption | CloseBox);

    const DialogUnits& Du() const { return m_du; }
    // The zoom the dialog is shown at: the windows' own, or the largest below it at
    // which the dialog fits its screen.
    qreal Scale() const { return m_scale; }

    // Runs OnInitDialog, shows the dialog centred on its owner and returns its result.
    int exec() override;

protected:
    virtual void OnInitDialog() {}
    // The OK command: accepts by default; a dialog that checks its input overrides it.
    virtual void OnOK() { accept(); }

    // Control helpers in dialog units.
    void Place(QWidget* widget, int x, int y, int width, int height) const;
    QPushButton* AddPushButton(const QString& text, int x, int y, int width, int height, bool isDefault = false);
    QLabel* AddText(const QString& text, int x, int y, int width, int height,
                    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop, bool sunken = false);

    // Every static text shows whole. A label too narrow for its text (or partly under
    // a control laid over it) grows to the right into free space where its text is
    // flush left and plain; otherwise, or when that is not enough, the text takes a
    // narrower or smaller face of its font. Runs before the dialog is shown; a dialog
    // that changes its texts later runs it again.
    void FitStaticTexts();

    void keyPressEvent(QKeyEvent* event) override;

private:
    qreal m_scale;
    DialogUnits m_du;
};

// Reads an integer typed into an edit field the way the framework's data exchange
// does: blanks around an optional sign and decimal digits, nothing else, within the
// 32-bit range.
bool ParseDialogInteger(const QString& text, int& value);

// The framework's prompt for an edit that does not hold an integer.
inline constexpr const char* kIntegerPrompt = QT_TRANSLATE_NOOP("TemplateDialog", "整数を入力してください。");

} // namespace platform
