// SPDX-License-Identifier: GPL-3.0-or-later
// How much of three stocks to move to a friendly neighbour: provisions, funds and
// soldiers, each with a slider that sets the amount as a share of the stock when it is
// released (the left button let go after a drag or a click in the channel, or a step
// with the keys), an edit with the amount in figures and the whole stock beside it. A
// figure typed into an edit moves its slider to the share it makes of the stock.
#pragma once

#include <initializer_list>

#include <QString>

#include "platform/template_dialog.h"

class QLineEdit;
class QLabel;
class QSlider;

class CMoveDlg : public platform::TemplateDialog {
    Q_OBJECT

public:
    explicit CMoveDlg(QWidget* owner = nullptr);

    void SetMaxProvisions(int value) { m_nMaxProvisions = value; }
    void SetMaxFunds(int value) { m_nMaxFunds = value; }
    void SetMaxSoldiers(int value) { m_nMaxSoldiers = value; }

    int m_nMaxProvisions = 0;
    int m_nMaxFunds = 0;
    int m_nMaxSoldiers = 0;
    QSlider* m_sliderSoldiers;
    QSlider* m_sliderFunds;
    QSlider* m_sliderProvisions;
    QString m_strTitle;
    QString m_strMaxSoldiers;
    QString m_strMaxFunds;
    QString m_strMaxProvisions;
    int m_nSoldiers = 0;
    int m_nProvisions = 0;
    int m_nFunds = 0;

    // The amount a slider position gives: position x maximum / 100, truncated.
    static int AmountAt(int position, int maximum);
    // The slider position nearest to amount's share of maximum, within 0..100.
    static int PositionOf(int amount, int maximum);

protected:
    void OnInitDialog() override;
    void OnOK() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void WidenForLabels(std::initializer_list<QLabel*> labels);
    enum class Row { Provisions, Funds, Soldiers };
    // Members to controls (false) or controls to members (true). Reading stops at the
    // first edit that holds no integer, after showing the prompt; false then.
    bool DoDataExchange(bool saveAndValidate);
    // The slider of a row was released: its amount follows the slider's position.
    void OnSliderReleased(Row row);
    // The player typed into a row's edit: its slider follows the figure.
    void OnAmountTyped(QLineEdit* edit, QSlider* slider, int maximum);

    QLabel* m_title;
    QLabel* m_maxProvisions;
    QLabel* m_maxFunds;
    QLabel* m_maxSoldiers;
    QLineEdit* m_editProvisions;
    QLineEdit* m_editFunds;
    QLineEdit* m_editSoldiers;
};
