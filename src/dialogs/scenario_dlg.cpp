// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/scenario_dlg.h"

#include <QButtonGroup>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpressionValidator>

#include <limits>

#include "dialogs/radio_group.h"
#include "dialogs/random_start.h"
#include "platform/fonts.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/path_bytes.h"
#include "words/shown_text.h"

namespace {
const char* const kCaptions[CScenarioDlg::kScenarioCount] = {
    QT_TRANSLATE_NOOP("CScenarioDlg", "189年 12月    群雄割拠"),
    QT_TRANSLATE_NOOP("CScenarioDlg", "200年 4月    官渡の戦い"),
    QT_TRANSLATE_NOOP("CScenarioDlg", "219年 5月    三国鼎立"),
};
const int kButtonY[CScenarioDlg::kScenarioCount] = {25, 55, 85};

// The dialog as designed is 139 units wide; the own scenarios and 乱世 stand in a
// column to the right of it, everything of the design left where it is.
constexpr int kDialogWidth = 300;
constexpr int kOwnColumnX = 146;
constexpr int kOwnColumnWidth = 147;
// Tries at another name for 乱世 when its own name holds a scenario of another kind.
constexpr int kRandomNameTries = 100;
} // namespace

QString CScenarioDlg::CaptionOfYear(int year)
{
    // Each caption begins with its year.
    for (const char* caption : kCaptions)
        if (platform::AtoI(caption) == year)
            return tr(caption);
    return {};
}

CScenarioDlg::CScenarioDlg(QWidget* owner)
    : TemplateDialog(owner, tr("シナリオ選択"), kDialogWidth, 137, platform::Font(platform::GameFont::Dialog))
{
    QPushButton* ok = AddPushButton(tr("選択"), 77, 116, 50, 14, true);
    m_ok = ok;
    QPushButton* cancel = AddPushButton(tr("ｷｬﾝｾﾙ"), 13, 116, 50, 14);
    AddText(tr("ｼﾅﾘｵを選択してください"), 10, 11, 70, 8);
    m_group = new QButtonGroup(this);
    for (int i = 0; i < kScenarioCount; ++i) {
        QPushButton* button = dialogs::MakeRadioPushButton(this, m_group, i, tr(kCaptions[i]));
        Place(button, 7, kButtonY[i], 126, 16);
        button->setObjectName(QStringLiteral("scenario%1").arg(i));
    }
    QPushButton* random = dialogs::MakeRadioPushButton(this, m_group, kRandomScenario, tr("乱世"));
    Place(random, kOwnColumnX, 85, 50, 16);
    random->setObjectName(QStringLiteral("randomScenario"));
    random->setToolTip(tr("種から作り、どの君主にも勝ち目があるように整えたｼﾅﾘｵ。同じ種からは同じｼﾅﾘｵができます"));
    connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    dialogs::AddChoiceKeys(this, m_group);

    // Made after the choice's keys: the list and the seed keep their own keys.
    AddText(tr("自作ｼﾅﾘｵ"), kOwnColumnX, 11, kOwnColumnWidth, 8);
    m_ownList = new QListWidget(this);
    m_ownList->setObjectName(QStringLiteral("ownScenarios"));
    m_ownList->setWordWrap(true);
    m_ownList->setTextElideMode(Qt::ElideMiddle);
    Place(m_ownList, kOwnColumnX, 25, kOwnColumnWidth, 54);
    AddText(tr("種"), kOwnColumnX + 54, 89, 18, 8);
    m_seed = new QLineEdit(this);
    m_seed->setObjectName(QStringLiteral("seed"));
    m_seed->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,10}")), m_seed));
    Place(m_seed, kOwnColumnX + 74, 86, kOwnColumnWidth - 74, 14);
    m_making = AddText(QString(), kOwnColumnX, 104, kOwnColumnWidth, 8);
    m_making->setObjectName(QStringLiteral("making"));
    SetSeed(QRandomGenerator::system()->generate());
    m_random = new dialogs::RandomStart(this);
    setTabOrder(cancel, m_ownList);
    setTabOrder(m_ownList, m_seed);

    // One choice at a time: a scenario button, an own scenario or 乱世.
    connect(m_group, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            m_ownList->clearSelection();
    });
    connect(m_ownList, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_ownList->selectedItems().isEmpty())
            dialogs::CheckPlace(m_group, -1);
    });
    connect(m_ownList, &QListWidget::itemDoubleClicked, this, [this] { OnOK(); });
    connect(m_seed, &QLineEdit::textEdited, this, [this] { dialogs::CheckPlace(m_group, kRandomScenario); });
    connect(m_random, &dialogs::RandomStart::finished, this, &CScenarioDlg::OnRandomMade);
    connect(this, &QDialog::rejected, m_random, &dialogs::RandomStart::Cancel);
    ok->setFocus();
}

bool CScenarioDlg::Seed(std::uint32_t& seed) const
{
    bool read = false;
    const qulonglong value = m_seed->text().trimmed().toULongLong(&read);
    if (!read || value > std::numeric_limits<std::uint32_t>::max())
        return false;
    seed = static_cast<std::uint32_t>(value);
    return true;
}

void CScenarioDlg::SetSeed(std::uint32_t seed) { m_seed->setText(QString::number(seed)); }

qint64 CScenarioDlg::RandomMs() const { return m_random->ElapsedMs(); }

void CScenarioDlg::FillOwnList()
{
    const std::vector<ScenarioEntry> entries =
        ListScenarios(platform::PathToBytes(dataDirectory), platform::PathToBytes(ownDirectory));
    m_bundled.assign(entries.begin(), entries.begin() + kScenarioCount);
    m_own.assign(entries.begin() + kScenarioCount, entries.end());
    m_ownList->clear();
    for (const ScenarioEntry& entry : m_own) {
        const QString name = platform::PathFromBytes(entry.name);
        auto* item = new QListWidgetItem(m_ownList);
        if (entry.playable) {
            item->setText(tr("%1年 %2月    %3").arg(entry.pair.world.year).arg(entry.pair.world.month).arg(name));
            item->setToolTip(item->text());
        } else {
            // Listed, greyed, with why it cannot start a game: in the list without the
            // file's path (its folder's name is the scenario's), whole in the tooltip.
            const QString reason = shown::Text(entry.reason);
            const QString folder = platform::PathFromBytes(entry.directory);
            QStringList why = reason.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            why.removeIf([&](const QString& line) { return !folder.isEmpty() && line.contains(folder); });
            item->setText(name + QLatin1Char('\n') + why.join(QLatin1Char('\n')));
            item->setToolTip(reason);
            item->setFlags(Qt::NoItemFlags);
        }
    }
    if (m_own.empty()) {
        auto* hint = new QListWidgetItem(tr("ﾌｧｲﾙ → ｼﾅﾘｵ編集 で保存したｼﾅﾘｵがここに並びます"), m_ownList);
        hint->setFlags(Qt::NoItemFlags);
    }
}

void CScenarioDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_nScenario = dialogs::CheckedPlace(m_group);
        const QList<QListWidgetItem*> selected = m_ownList->selectedItems();
        const int row = selected.isEmpty() ? -1 : m_ownList->row(selected.front());
        if (m_nScenario == -1 && row >= 0 && row < static_cast<int>(m_own.size()) && m_own[row].playable)
            m_nScenario = kFirstOwnScenario + row;
        return;
    }
    dialogs::CheckPlace(m_group, m_nScenario < kFirstOwnScenario ? m_nScenario : -1);
    if (m_nScenario >= kFirstOwnScenario)
        m_ownList->setCurrentRow(m_nScenario - kFirstOwnScenario);
    else
        m_ownList->clearSelection();
}

void CScenarioDlg::OnInitDialog()
{
    FillOwnList();
    DoDataExchange(false);
}

void CScenarioDlg::OnOK()
{
    if (m_random->Running())
        return;
    DoDataExchange(true);
    if (m_nScenario == -1) {
        platform::ShowMessageBox(this, tr("シナリオを選択してください"));
        return;
    }
    if (m_nScenario == kRandomScenario) {
        StartRandom();
        return;
    }
    if (m_nScenario >= kFirstOwnScenario) {
        m_chosen = m_own[static_cast<std::size_t>(m_nScenario - kFirstOwnScenario)];
    } else {
        m_chosen = ScenarioEntry{};
        m_chosen.number = m_nScenario + 1;
        m_chosen.directory = platform::PathToBytes(dataDirectory);
        m_chosen.fileNumber = m_nScenario + 1;
        if (static_cast<std::size_t>(m_nScenario) < m_bundled.size())
            m_chosen = m_bundled[static_cast<std::size_t>(m_nScenario)];
    }
    accept();
}

void CScenarioDlg::SetMaking(bool making)
{
    // Only ｷｬﾝｾﾙ is left while 乱世 is made: it ends the work.
    for (QAbstractButton* button : m_group->buttons())
        button->setEnabled(!making);
    m_ok->setEnabled(!making);
    m_ownList->setEnabled(!making);
    m_seed->setEnabled(!making);
}

void CScenarioDlg::StartRandom()
{
    std::uint32_t seed = 0;
    if (!Seed(seed)) {
        platform::ShowMessageBox(this, tr("種は 0 から %1 までの整数で入力してください")
                                           .arg(std::numeric_limits<std::uint32_t>::max()));
        m_seed->setFocus();
        return;
    }
    if (ownDirectory.isEmpty())
        return;
    // The map, its names and borders, are the first bundled scenario's.
    if (m_bundled.empty() || !m_bundled.front().playable) {
        platform::ShowMessageBox(this, m_bundled.empty() ? QString() : shown::Text(m_bundled.front().reason));
        return;
    }
    m_randomSeed = seed;
    if (!m_random->Start(seed, m_bundled.front().pair.world))
        return;
    SetMaking(true);
    m_making->setText(tr("乱世を作っています (種 %1)...").arg(seed));
}

void CScenarioDlg::OnRandomMade()
{
    SetMaking(false);
    m_making->clear();
    if (!isVisible())
        return;
    const std::optional<foresight::RandomScenario>& made = m_random->Result();
    if (!made) {
        platform::ShowMessageBox(this, tr("種 %1 から乱世を作れませんでした").arg(m_randomSeed));
        return;
    }
    // Kept in the own folder, so that saves and records of its game are those of any
    // other; a scenario of another kind under its name is left as it is.
    const std::string ownDir = platform::PathToBytes(ownDirectory);
    std::string name;
    for (int n = 1; n <= kRandomNameTries && name.empty(); ++n) {
        const QString tried = n == 1 ? tr("乱世 %1").arg(made->seed) : tr("乱世 %1 (%2)").arg(made->seed).arg(n);
        const std::string bytes = tried.toStdString();
        const std::string folder = OwnScenarioDirectory(ownDir, bytes);
        if (!QDir(platform::PathFromBytes(folder)).exists()) {
            name = bytes;
            break;
        }
        // The same 乱世 played before is played again from its own folder.
        ScenarioPairRead there = ReadScenarioPair(ScenarioFilePath(folder, 1), CountryFilePath(folder, 1));
        there.pair.world.playerRuler = made->pair.world.playerRuler;
        there.pair.world.turnCountry = made->pair.world.turnCountry;
        if (there.read && there.pair == made->pair)
            name = bytes;
    }
    std::string error = "?";
    if (name.empty() || !WriteOwnScenario(ownDir, name, made->pair, &error)) {
        platform::ShowMessageBox(this, tr("乱世を保存できませんでした\n%1").arg(platform::PathFromBytes(error)));
        return;
    }
    m_chosen = ScenarioEntry{};
    m_chosenSeed = made->seed;
    m_chosen.own = true;
    m_chosen.name = name;
    m_chosen.directory = OwnScenarioDirectory(ownDir, name);
    m_chosen.fileNumber = 1;
    m_chosen.playable = true;
    m_chosen.pair = made->pair;
    accept();
}
