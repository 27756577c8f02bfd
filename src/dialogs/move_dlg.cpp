// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/move_dlg.h"

#include <algorithm>

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>

#include "platform/fonts.h"
#include "platform/message_box.h"

namespace {

QSlider* MakeSlider(QWidget* parent, const char* name)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(QString::fromLatin1(name));
    slider->setTickPosition(QSlider::NoTicks);
    slider->setRange(0, 100);
    slider->setPageStep(20);
    slider->setFocusPolicy(Qt::StrongFocus);
    return slider;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

} // namespace

CMoveDlg::CMoveDlg(QWidget* owner)
    : TemplateDialog(owner, tr("移動"), 186, 121, platform::Font(platform::GameFont::Dialog))
{
    QPushButton* ok = AddPushButton(tr("決定"), 129, 100, 50, 14, true);
    QPushButton* cancel = AddPushButton(tr("ｷｬﾝｾﾙ"), 70, 100, 50, 14);
    m_title = AddText(QString(), 45, 7, 93, 11, Qt::AlignCenter, true);
    m_title->setObjectName(QStringLiteral("title"));
    QLabel* provisions = AddText(tr("兵糧"), 7, 33, 15, 8);
    m_maxProvisions = AddText(QStringLiteral("/ 500000"), 150, 33, 29, 8);
    m_maxProvisions->setObjectName(QStringLiteral("maxProvisions"));
    QLabel* funds = AddText(tr("資金"), 7, 54, 15, 8);
    QLabel* soldiers = AddText(tr("兵士"), 7, 75, 15, 8);
    m_sliderProvisions = MakeSlider(this, "sliderProvisions");
    Place(m_sliderProvisions, 20, 29, 100, 15);
    m_sliderFunds = MakeSlider(this, "sliderFunds");
    Place(m_sliderFunds, 20, 50, 100, 15);
    m_sliderSoldiers = MakeSlider(this, "sliderSoldiers");
    Place(m_sliderSoldiers, 20, 71, 100, 15);
    m_editProvisions = MakeEdit(this, "editProvisions");
    Place(m_editProvisions, 121, 30, 27, 14);
    m_maxFunds = AddText(QStringLiteral("/ 500000"), 150, 55, 29, 8);
    m_maxFunds->setObjectName(QStringLiteral("maxFunds"));
    m_editFunds = MakeEdit(this, "editFunds");
    Place(m_editFunds, 121, 51, 27, 14);
    m_maxSoldiers = AddText(QStringLiteral("/ 500000"), 150, 75, 29, 8);
    m_maxSoldiers->setObjectName(QStringLiteral("maxSoldiers"));
    m_editSoldiers = MakeEdit(this, "editSoldiers");
    Place(m_editSoldiers, 121, 72, 27, 14);
    // The labels hold any stock in full.
    for (QLabel* label : {m_maxProvisions, m_maxFunds, m_maxSoldiers})
        label->setMinimumWidth(Du().X(36));

    WidenForLabels({provisions, funds, soldiers});

    // A slider reports its release whether the thumb was dragged or the channel clicked.
    for (QSlider* slider : {m_sliderProvisions, m_sliderFunds, m_sliderSoldiers})
        slider->installEventFilter(this);
    const struct {
        QLineEdit* edit;
        QSlider* slider;
        const int& maximum;
    } rows[] = {{m_editProvisions, m_sliderProvisions, m_nMaxProvisions},
                {m_editFunds, m_sliderFunds, m_nMaxFunds},
                {m_editSoldiers, m_sliderSoldiers, m_nMaxSoldiers}};
    for (const auto& row : rows)
        connect(row.edit, &QLineEdit::textEdited, this,
                [this, edit = row.edit, slider = row.slider, &maximum = row.maximum] {
                    OnAmountTyped(edit, slider, maximum);
                });
    connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    ok->setFocus();
}

int CMoveDlg::AmountAt(int position, int maximum)
{
    // Formed in 64 bits: a stock of tens of millions times 100 does not fit in 32.
    return static_cast<int>(static_cast<long long>(position) * maximum / 100);
}

int CMoveDlg::PositionOf(int amount, int maximum)
{
    if (maximum <= 0 || amount <= 0)
        return 0;
    if (amount >= maximum)
        return 100;
    // Rounded to the nearest step, in 64 bits as AmountAt.
    return static_cast<int>((static_cast<long long>(amount) * 200 + maximum) / (2LL * maximum));
}

void CMoveDlg::OnAmountTyped(QLineEdit* edit, QSlider* slider, int maximum)
{
    // Only the slider moves: the amount is the figure as typed, read at confirmation. A
    // text that is no integer (yet) leaves the slider where it is.
    int amount = 0;
    if (platform::ParseDialogInteger(edit->text(), amount))
        slider->setValue(PositionOf(amount, maximum));
}

bool CMoveDlg::DoDataExchange(bool saveAndValidate)
{
    if (!saveAndValidate) {
        m_title->setText(m_strTitle);
        m_maxSoldiers->setText(m_strMaxSoldiers);
        m_maxFunds->setText(m_strMaxFunds);
        m_maxProvisions->setText(m_strMaxProvisions);
        m_editSoldiers->setText(QString::number(m_nSoldiers));
        m_editProvisions->setText(QString::number(m_nProvisions));
        m_editFunds->setText(QString::number(m_nFunds));
        FitStaticTexts();
        return true;
    }
    const std::pair<QLineEdit*, int*> integers[] = {
        {m_editSoldiers, &m_nSoldiers}, {m_editProvisions, &m_nProvisions}, {m_editFunds, &m_nFunds}};
    for (const auto& [edit, member] : integers) {
        int value = 0;
        if (!platform::ParseDialogInteger(edit->text(), value)) {
            platform::ShowMessageBox(this, QCoreApplication::translate("TemplateDialog", platform::kIntegerPrompt));
            edit->setFocus();
            edit->selectAll();
            return false;
        }
        *member = value;
    }
    return true;
}

void CMoveDlg::WidenForLabels(std::initializer_list<QLabel*> labels)
{
    // Words wider than the three labels' place (a language other than Japanese) move
    // everything to their right and widen the window by as much; the Japanese window
    // keeps its designed layout.
    int extra = 0;
    for (QLabel* label : labels)
        extra = std::max(extra, label->fontMetrics().horizontalAdvance(label->text()) - label->width());
    if (extra <= 0)
        return;
    const QList<QWidget*> children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (std::find(labels.begin(), labels.end(), child) != labels.end())
            child->resize(child->width() + extra, child->height());
        else
            child->move(child->x() + extra, child->y());
    }
    setFixedSize(width() + extra, height());
}

void CMoveDlg::OnInitDialog()
{
    m_sliderProvisions->setValue(0);
    m_strMaxProvisions = QStringLiteral("/ %1").arg(m_nMaxProvisions);
    m_sliderFunds->setValue(0);
    m_strMaxFunds = QStringLiteral("/ %1").arg(m_nMaxFunds);
    m_sliderSoldiers->setValue(0);
    m_strMaxSoldiers = QStringLiteral("/ %1").arg(m_nMaxSoldiers);
    DoDataExchange(false);
}

void CMoveDlg::OnSliderReleased(Row row)
{
    DoDataExchange(true); // a failure shows the prompt; the amount is still set
    switch (row) {
    case Row::Provisions:
        m_nProvisions = AmountAt(m_sliderProvisions->value(), m_nMaxProvisions);
        break;
    case Row::Funds:
        m_nFunds = AmountAt(m_sliderFunds->value(), m_nMaxFunds);
        break;
    case Row::Soldiers:
        m_nSoldiers = AmountAt(m_sliderSoldiers->value(), m_nMaxSoldiers);
        break;
    }
    DoDataExchange(false);
}

bool CMoveDlg::eventFilter(QObject* watched, QEvent* event)
{
    auto* slider = qobject_cast<QSlider*>(watched);
    if (!slider)
        return TemplateDialog::eventFilter(watched, event);
    const Row row = slider == m_sliderProvisions ? Row::Provisions
                    : slider == m_sliderFunds    ? Row::Funds
                                                 : Row::Soldiers;
    // Let the slider take its final position first, then read it.
    auto releaseLater = [this, row] {
        QMetaObject::invokeMethod(this, [this, row] { OnSliderReleased(row); }, Qt::QueuedConnection);
    };
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        // Only the left button moves a slider: the others neither jump it to the
        // pointer nor count as its release.
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
            return true;
        if (event->type() == QEvent::MouseButtonRelease)
            releaseLater(); // the end of a drag or of a click in the channel
        break;
    case QEvent::KeyPress: {
        // A step with the keyboard ends where it is: it counts as a release when the
        // key has moved the slider.
        const int before = slider->value();
        QMetaObject::invokeMethod(
            this,
            [this, slider, row, before] {
                if (slider->value() != before)
                    OnSliderReleased(row);
            },
            Qt::QueuedConnection);
        break;
    }
    default:
        break;
    }
    return TemplateDialog::eventFilter(watched, event);
}

void CMoveDlg::OnOK()
{
    if (!DoDataExchange(true))
        return;
    // Typed amounts must lie within what the country holds, so that a move never
    // leaves a country with negative soldiers, provisions or funds.
    const struct {
        QLineEdit* edit;
        int amount;
        int maximum;
        const char* what;
    } rows[] = {
        {m_editSoldiers, m_nSoldiers, m_nMaxSoldiers, QT_TR_NOOP("兵士")},
        {m_editProvisions, m_nProvisions, m_nMaxProvisions, QT_TR_NOOP("兵糧")},
        {m_editFunds, m_nFunds, m_nMaxFunds, QT_TR_NOOP("資金")},
    };
    for (const auto& row : rows) {
        if (row.amount < 0 || row.amount > row.maximum) {
            platform::ShowMessageBox(this, tr("%1は 0 から %2 までの数を入力してください。")
                                               .arg(tr(row.what))
                                               .arg(row.maximum));
            row.edit->setFocus();
            row.edit->selectAll();
            return;
        }
    }
    accept();
}
