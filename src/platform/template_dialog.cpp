#include "platform/template_dialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <limits>

#include "platform/windows.h"

namespace platform {

TemplateDialog::TemplateDialog(QWidget* owner, const QString& title, int widthDu, int heightDu,
                               const QFont& font, int frame)
    : QDialog(owner ? owner : MainWindow()), m_du(font)
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint;
    if (frame & Caption)
        flags |= Qt::WindowTitleHint;
    if (frame & CloseBox)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    setModal(true);
    setWindowTitle(title);
    setFont(font);
    setFixedSize(m_du.Size(widthDu, heightDu));
}

int TemplateDialog::exec()
{
    OnInitDialog();
    CentreOnOwner(this, parentWidget());
    return QDialog::exec();
}

void TemplateDialog::Place(QWidget* widget, int x, int y, int width, int height) const
{
    widget->setGeometry(m_du.Rect(x, y, width, height));
}

QPushButton* TemplateDialog::AddPushButton(const QString& text, int x, int y, int width, int height, bool isDefault)
{
    auto* button = new QPushButton(text, this);
    Place(button, x, y, width, height);
    button->setAutoDefault(false);
    button->setDefault(isDefault);
    return button;
}

QLabel* TemplateDialog::AddText(const QString& text, int x, int y, int width, int height, Qt::Alignment alignment,
                                bool sunken)
{
    auto* label = new QLabel(text, this);
    Place(label, x, y, width, height);
    label->setAlignment(alignment);
    if (sunken)
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return label;
}

void TemplateDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            OnOK();
            return;
        }
    }
    QDialog::keyPressEvent(event); // Escape rejects
}

bool ParseDialogInteger(const QString& text, int& value)
{
    const QString trimmed = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < trimmed.size() && (trimmed[i] == u'+' || trimmed[i] == u'-')) {
        negative = trimmed[i] == u'-';
        ++i;
    }
    if (i == trimmed.size())
        return false;
    long long magnitude = 0;
    for (; i < trimmed.size(); ++i) {
        const QChar c = trimmed[i];
        if (c < u'0' || c > u'9')
            return false;
        magnitude = magnitude * 10 + (c.unicode() - u'0');
        if (magnitude > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    const long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<int>::max() || signedValue < std::numeric_limits<int>::min())
        return false;
    value = static_cast<int>(signedValue);
    return true;
}

} // namespace platform
