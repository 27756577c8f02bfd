// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/editor/scenario_editor.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "dialogs/scenario_dlg.h"
#include "platform/data_directory.h"
#include "platform/message_box.h"
#include "platform/path_bytes.h"
#include "platform/windows.h"
#include "view/editor/editor_map.h"
#include "view/editor/fairness_panel.h"
#include "words/shown_text.h"

namespace editor {

namespace {

constexpr int kNoteMs = 8000;
constexpr int kLastYear = 9999;

// A small square of the ruler's colour on the map.
QIcon RulerSwatch(RulerId ruler)
{
    const Colour colour = kRulerColours[static_cast<std::size_t>(ruler)];
    QPixmap swatch(12, 12);
    swatch.fill(QColor(ColourRed(colour), ColourGreen(colour), ColourBlue(colour)));
    QPainter painter(&swatch);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 11, 11);
    return QIcon(swatch);
}

} // namespace

ScenarioEditor::ScenarioEditor(const QString& bundledDir, const QString& ownDir, QWidget* parent)
    : QMainWindow(parent, Qt::Window), m_bundledDir(bundledDir), m_ownDir(ownDir)
{
    setObjectName(QStringLiteral("scenarioEditor"));
    m_askReplace = [this](const QString& name) {
        return QMessageBox::question(this, QStringLiteral("Velcor"),
                                     tr("「%1」はもうあります。置き換えますか？").arg(name)) == QMessageBox::Yes;
    };
    m_askKeep = [this](const QString& name) {
        return static_cast<QMessageBox::StandardButton>(QMessageBox::question(
            this, QStringLiteral("Velcor"), tr("ｼﾅﾘｵ「%1」の変更は保存されていません。保存しますか？").arg(name),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save));
    };
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    m_map = new EditorMap(central);
    m_fairness = new FairnessPanel(central);
    layout->addWidget(m_map, 3);
    layout->addWidget(BuildFields(), 0);
    layout->addWidget(m_fairness, 2);
    setCentralWidget(central);
    BuildMenus();
    statusBar();

    connect(m_map, &EditorMap::countryChosen, this, &ScenarioEditor::ChooseCountry);
    connect(m_map, &EditorMap::fieldsWanted, this, [this] { m_ruler->setFocus(); });
    connect(&m_draft, &ScenarioDraft::changed, this, &ScenarioEditor::FillFromDraft);
    connect(&m_draft.Steps(), &QUndoStack::cleanChanged, this, &ScenarioEditor::UpdateTitle);
    // The editor's own keys come before the game's, which work from every window.
    qApp->installEventFilter(this);
    // The game's window closing ends the program: unsaved steps are offered a save.
    if (parent)
        parent->installEventFilter(this);

    Retranslate();
    const std::vector<ScenarioEntry> entries =
        ListScenarios(platform::PathToBytes(m_bundledDir), std::string());
    m_map->Choose(0);
    if (!entries.empty())
        OpenEntry(entries.front());
    m_draft.Steps().clear();
}

ScenarioEditor::~ScenarioEditor() = default;

QWidget* ScenarioEditor::BuildFields()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    m_countryBox = new QGroupBox(column);
    auto* country = new QGridLayout(m_countryBox);
    m_rulerLabel = new QLabel(m_countryBox);
    m_ruler = new QComboBox(m_countryBox);
    m_ruler->setObjectName(QStringLiteral("ruler"));
    for (RulerId r = 0; r < kRulerCount; ++r)
        m_ruler->addItem(RulerSwatch(r), QString(), r);
    m_rulerLabel->setBuddy(m_ruler);
    country->addWidget(m_rulerLabel, 0, 0);
    country->addWidget(m_ruler, 0, 1);
    connect(m_ruler, &QComboBox::activated, this, [this](int index) { m_draft.SetRuler(m_country, index); });
    for (std::size_t f = 0; f < Figures().size(); ++f) {
        const FigureInfo& info = Figures()[f];
        auto* label = new QLabel(m_countryBox);
        auto* field = new QSpinBox(m_countryBox);
        field->setObjectName(QStringLiteral("figure%1").arg(f));
        field->setRange(0, info.maximum);
        field->setGroupSeparatorShown(true);
        // A number typed counts once it is whole (Enter, or the keys elsewhere).
        field->setKeyboardTracking(false);
        label->setBuddy(field);
        country->addWidget(label, static_cast<int>(f) + 1, 0);
        country->addWidget(field, static_cast<int>(f) + 1, 1);
        connect(field, &QSpinBox::valueChanged, this,
                [this, figure = info.figure](int value) { m_draft.SetFigure(m_country, figure, value); });
        m_figureLabels[f] = label;
        m_figures[f] = field;
    }
    layout->addWidget(m_countryBox);

    m_scenarioBox = new QGroupBox(column);
    auto* scenario = new QGridLayout(m_scenarioBox);
    m_nameLabel = new QLabel(m_scenarioBox);
    m_name = new QLineEdit(m_scenarioBox);
    m_name->setObjectName(QStringLiteral("name"));
    m_nameLabel->setBuddy(m_name);
    connect(m_name, &QLineEdit::textEdited, this, [this](const QString& text) { m_draft.SetName(text); });
    m_dateLabel = new QLabel(m_scenarioBox);
    m_year = new QSpinBox(m_scenarioBox);
    m_year->setObjectName(QStringLiteral("year"));
    m_year->setRange(0, kLastYear);
    m_year->setKeyboardTracking(false);
    m_month = new QSpinBox(m_scenarioBox);
    m_month->setObjectName(QStringLiteral("month"));
    m_month->setRange(1, 12);
    m_month->setKeyboardTracking(false);
    m_dateLabel->setBuddy(m_year);
    auto date = [this] { m_draft.SetDate(m_year->value(), m_month->value()); };
    connect(m_year, &QSpinBox::valueChanged, this, date);
    connect(m_month, &QSpinBox::valueChanged, this, date);
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(m_year, 1);
    dateRow->addWidget(m_month, 1);
    m_offeredLabel = new QLabel(m_scenarioBox);
    m_offeredLabel->setWordWrap(true);
    m_offered = new QListWidget(m_scenarioBox);
    m_offered->setObjectName(QStringLiteral("offered"));
    m_offeredLabel->setBuddy(m_offered);
    m_offered->installEventFilter(this);
    connect(m_offered, &QListWidget::itemChanged, this, &ScenarioEditor::OnOfferedChanged);
    m_earlier = new QToolButton(m_scenarioBox);
    m_earlier->setArrowType(Qt::UpArrow);
    m_later = new QToolButton(m_scenarioBox);
    m_later->setArrowType(Qt::DownArrow);
    connect(m_earlier, &QToolButton::clicked, this, [this] { MoveOffered(-1); });
    connect(m_later, &QToolButton::clicked, this, [this] { MoveOffered(1); });
    auto* moves = new QVBoxLayout;
    moves->addWidget(m_earlier);
    moves->addWidget(m_later);
    moves->addStretch(1);
    m_problem = new QLabel(m_scenarioBox);
    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #a00000"));
    scenario->addWidget(m_nameLabel, 0, 0);
    scenario->addWidget(m_name, 0, 1, 1, 2);
    scenario->addWidget(m_dateLabel, 1, 0);
    scenario->addLayout(dateRow, 1, 1, 1, 2);
    scenario->addWidget(m_offeredLabel, 2, 0, 1, 3);
    scenario->addWidget(m_offered, 3, 0, 1, 2);
    scenario->addLayout(moves, 3, 2);
    scenario->addWidget(m_problem, 4, 0, 1, 3);
    layout->addWidget(m_scenarioBox, 1);

    m_keysHint = new QLabel(column);
    m_keysHint->setWordWrap(true);
    layout->addWidget(m_keysHint);
    return column;
}

void ScenarioEditor::BuildMenus()
{
    m_fileMenu = menuBar()->addMenu(QString());
    m_openMenu = m_fileMenu->addMenu(QString());
    connect(m_openMenu, &QMenu::aboutToShow, this, &ScenarioEditor::FillOpenMenu);
    m_save = m_fileMenu->addAction(QString(), this, [this] { Save(); });
    m_save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_fileMenu->addSeparator();
    m_close = m_fileMenu->addAction(QString(), this, &QWidget::close);
    m_close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    m_editMenu = menuBar()->addMenu(QString());
    m_undo = m_editMenu->addAction(QString(), &m_draft.Steps(), &QUndoStack::undo);
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo = m_editMenu->addAction(QString(), &m_draft.Steps(), &QUndoStack::redo);
    m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(&m_draft.Steps(), &QUndoStack::canUndoChanged, m_undo, &QAction::setEnabled);
    connect(&m_draft.Steps(), &QUndoStack::canRedoChanged, m_redo, &QAction::setEnabled);
    m_undo->setEnabled(false);
    m_redo->setEnabled(false);
}

void ScenarioEditor::Retranslate()
{
    m_fileMenu->setTitle(tr("ﾌｧｲﾙ(&F)"));
    m_openMenu->setTitle(tr("開く(&O)"));
    m_save->setText(tr("保存(&S)"));
    m_close->setText(tr("閉じる(&C)"));
    m_editMenu->setTitle(tr("編集(&E)"));
    m_undo->setText(tr("元に戻す(&U)"));
    m_redo->setText(tr("やり直し(&R)"));
    m_scenarioBox->setTitle(tr("ｼﾅﾘｵ"));
    m_nameLabel->setText(tr("名前(&N)"));
    m_dateLabel->setText(tr("開始(&D)"));
    m_year->setSuffix(tr("年"));
    m_month->setSuffix(tr("月"));
    m_offeredLabel->setText(tr("選べる君主(&L): 印をつけた順に君主選択に並ぶ (最大 %1 人)").arg(kRulerSlotCount));
    m_earlier->setToolTip(tr("前へ (Ctrl+↑)"));
    m_later->setToolTip(tr("後へ (Ctrl+↓)"));
    m_rulerLabel->setText(tr("君主(&R)"));
    for (RulerId r = 0; r < kRulerCount; ++r)
        m_ruler->setItemText(r, shown::RulerName(r));
    for (std::size_t f = 0; f < Figures().size(); ++f)
        m_figureLabels[f]->setText(QStringLiteral("%1(&%2)")
                                       .arg(QCoreApplication::translate("StatusPanel", Figures()[f].label))
                                       .arg(f + 1));
    m_keysHint->setText(tr("地図: クリックか矢印キーで国を選び、Enter で君主の欄へ。Esc で地図へ戻る。"));
    FillFromDraft();
}

QString ScenarioEditor::EntryCaption(const ScenarioEntry& entry)
{
    if (entry.own)
        return platform::PathFromBytes(entry.name);
    const QString caption = CScenarioDlg::CaptionOfYear(entry.pair.world.year);
    return caption.isEmpty() ? tr("ｼﾅﾘｵ%1").arg(entry.number) : caption;
}

void ScenarioEditor::FillOpenMenu()
{
    m_openMenu->clear();
    const std::vector<ScenarioEntry> entries =
        ListScenarios(platform::PathToBytes(m_bundledDir), platform::PathToBytes(m_ownDir));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i == static_cast<std::size_t>(kBundledScenarioCount))
            m_openMenu->addSeparator();
        const ScenarioEntry& entry = entries[i];
        QAction* action = m_openMenu->addAction(EntryCaption(entry), this, [this, entry] { OpenEntry(entry); });
        // One that offers no ruler, or a ruler without land, is opened to be mended.
        if (!entry.playable)
            action->setToolTip(shown::Text(entry.reason));
    }
    m_openMenu->setToolTipsVisible(true);
}

bool ScenarioEditor::OpenEntry(const ScenarioEntry& entry)
{
    const ScenarioPairRead read = ReadScenarioPair(entry.ScenarioPath(), entry.CountryPath());
    if (!read.read) {
        platform::ShowMessageBox(this, shown::Text(read.words));
        return false;
    }
    QString name = EntryCaption(entry);
    if (!entry.own) // the title without the date before it (a name holds no '/')
        name = name.remove(QRegularExpression(QStringLiteral("^.*\\s{2,}"))).trimmed();
    m_savedAs = entry.own ? name : QString();
    m_draft.Open(read.pair, name);
    Note(tr("「%1」を開きました").arg(EntryCaption(entry).simplified()));
    return true;
}

bool ScenarioEditor::Save()
{
    const QString name = m_draft.Name();
    const std::string nameBytes = name.toStdString();
    if (const platform::Message refusal = ScenarioNameRefusal(nameBytes); !refusal.empty()) {
        platform::ShowMessageBox(this, shown::Text(refusal));
        m_name->setFocus();
        return false;
    }
    if (const platform::Message reason = UnplayableReason(m_draft.Pair()); !reason.empty()) {
        platform::ShowMessageBox(this, tr("このｼﾅﾘｵではｹﾞｰﾑを始められません\n%1").arg(shown::Text(reason)));
        return false;
    }
    const std::string ownDir = platform::PathToBytes(m_ownDir);
    const QString folder = platform::PathFromBytes(OwnScenarioDirectory(ownDir, nameBytes));
    if (name != m_savedAs && QDir(folder).exists() && !(m_askReplace && m_askReplace(name)))
        return false;
    std::string error;
    if (!WriteOwnScenario(ownDir, nameBytes, m_draft.Pair(), &error)) {
        platform::ShowMessageBox(this, tr("保存できませんでした\n%1").arg(platform::PathFromBytes(error)));
        return false;
    }
    m_savedAs = name;
    m_draft.Steps().setClean();
    Note(tr("「%1」を保存しました: %2").arg(name, QDir::toNativeSeparators(folder)));
    return true;
}

void ScenarioEditor::ChooseCountry(int country)
{
    if (!GameState::IsCountryIndex(country))
        return;
    m_country = country;
    m_map->Choose(country);
    FillCountry();
}

void ScenarioEditor::FillFromDraft()
{
    const ScenarioPair& pair = m_draft.Pair();
    m_map->ShowWorld(pair.world);
    FillCountry();
    {
        const QSignalBlocker a(m_year), b(m_month);
        m_year->setValue(pair.world.year);
        m_month->setValue(pair.world.month);
    }
    if (m_name->text() != m_draft.Name())
        m_name->setText(m_draft.Name());
    FillOffered();
    m_problem->setText(shown::Text(UnplayableReason(pair)));
    UpdateTitle();
    if (pair != m_measured) {
        m_measured = pair;
        m_fairness->Measure(pair);
    }
}

void ScenarioEditor::FillCountry()
{
    const CountryRecord& c = m_draft.Pair().world.countries[static_cast<std::size_t>(m_country)];
    GameState names;
    ApplyWorld(names, m_draft.Pair().world);
    m_countryBox->setTitle(tr("国 %1 %2").arg(m_country).arg(shown::CountryName(names, m_country)));
    m_ruler->setCurrentIndex(c.ruler);
    for (std::size_t f = 0; f < Figures().size(); ++f) {
        const QSignalBlocker hold(m_figures[f]);
        m_figures[f]->setValue(c.*Figures()[f].field);
    }
}

void ScenarioEditor::FillOffered()
{
    const std::vector<RulerId>& offered = m_draft.Pair().offered;
    const QSignalBlocker hold(m_offered);
    const int current = m_offered->currentItem() ? m_offered->currentItem()->data(Qt::UserRole).toInt() : -1;
    m_offered->clear();
    auto add = [this](RulerId r, bool checked) {
        auto* item = new QListWidgetItem(RulerSwatch(r), shown::RulerName(r), m_offered);
        item->setData(Qt::UserRole, r);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
        const int held = CountriesHeld(m_draft.Pair().world, r);
        item->setToolTip(tr("国 %1").arg(held));
    };
    for (RulerId r : offered)
        add(r, true);
    for (RulerId r = 1; r < kRulerCount; ++r)
        if (std::find(offered.begin(), offered.end(), r) == offered.end())
            add(r, false);
    for (int i = 0; i < m_offered->count(); ++i)
        if (m_offered->item(i)->data(Qt::UserRole).toInt() == current)
            m_offered->setCurrentRow(i);
}

void ScenarioEditor::OnOfferedChanged(QListWidgetItem* item)
{
    const RulerId ruler = item->data(Qt::UserRole).toInt();
    std::vector<RulerId> offered = m_draft.Pair().offered;
    if (item->checkState() == Qt::Checked) {
        if (offered.size() >= static_cast<std::size_t>(kRulerSlotCount)) {
            Note(tr("選べる君主は %1 人までです").arg(kRulerSlotCount));
            FillOffered();
            return;
        }
        offered.push_back(ruler);
    } else {
        std::erase(offered, ruler);
    }
    m_draft.SetOffered(std::move(offered));
}

void ScenarioEditor::MoveOffered(int direction)
{
    QListWidgetItem* item = m_offered->currentItem();
    if (!item)
        return;
    std::vector<RulerId> offered = m_draft.Pair().offered;
    const auto at = std::find(offered.begin(), offered.end(), item->data(Qt::UserRole).toInt());
    if (at == offered.end())
        return;
    const auto to = at + direction;
    if (to < offered.begin() || to >= offered.end())
        return;
    std::iter_swap(at, to);
    m_draft.SetOffered(std::move(offered));
}

void ScenarioEditor::UpdateTitle()
{
    const QString name = m_draft.Name().isEmpty() ? tr("(名前なし)") : m_draft.Name();
    setWindowTitle(tr("ｼﾅﾘｵ編集 - %1%2").arg(name, m_draft.Steps().isClean() ? QString() : QStringLiteral(" *")));
}

void ScenarioEditor::Note(const QString& text) { statusBar()->showMessage(text, kNoteMs); }

bool ScenarioEditor::KeepChanges()
{
    if (m_draft.Steps().isClean() || !m_askKeep)
        return true;
    show();
    raise();
    switch (m_askKeep(m_draft.Name().isEmpty() ? tr("(名前なし)") : m_draft.Name())) {
    case QMessageBox::Save:
        return Save();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

bool ScenarioEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Close && !KeepChanges()) {
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        auto* widget = qobject_cast<QWidget*>(watched);
        const QKeySequence keys(static_cast<QKeyEvent*>(event)->keyCombination());
        if (widget && widget->window() == this) {
            // Ctrl+S saves the scenario here, not the game.
            if (keys == m_save->shortcut()) {
                event->accept();
                return true;
            }
            // Undo and redo are the scenario's, in a number or name field too (whose
            // own would take back only its typing).
            if (m_undo->shortcuts().contains(keys) || m_redo->shortcuts().contains(keys)) {
                event->ignore();
                return true;
            }
        }
    }
    if (watched == m_offered && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::ControlModifier && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            MoveOffered(key->key() == Qt::Key_Up ? -1 : 1);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void ScenarioEditor::keyPressEvent(QKeyEvent* event)
{
    if (QKeySequence(event->keyCombination()) == m_save->shortcut()) {
        Save();
        return;
    }
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_map->setFocus();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void ScenarioEditor::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        Retranslate();
    QMainWindow::changeEvent(event);
}

QAction* AddScenarioEditorCommand(QMenu& menu, QAction* before, QWidget& parent,
                                  std::function<QString()> dataDirectory)
{
    auto* action = new QAction(&menu);
    action->setObjectName(QStringLiteral("scenarioEditorCommand"));
    menu.insertAction(before, action);
    auto retranslate = [action] { action->setText(ScenarioEditor::tr("ｼﾅﾘｵ編集(&E)...")); };
    retranslate();
    // The menu's words follow the language with the window that shows them.
    class Follower : public QObject {
    public:
        Follower(QWidget& watched, std::function<void()> again) : QObject(&watched), m_again(std::move(again))
        {
            watched.installEventFilter(this);
        }
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::LanguageChange)
                m_again();
            return false;
        }

    private:
        std::function<void()> m_again;
    };
    new Follower(parent, retranslate);
    QObject::connect(action, &QAction::triggered, &parent, [&parent, dataDirectory = std::move(dataDirectory)] {
        auto* editor = parent.findChild<ScenarioEditor*>(QStringLiteral("scenarioEditor"));
        if (!editor) {
            editor = new ScenarioEditor(dataDirectory(), platform::OwnScenarioFolder(), &parent);
            // As large as its map and tables ask at the windows' zoom, as the game's
            // window is, within the screen; over the game's window.
            const QRect area = platform::AvailableArea(&parent);
            editor->resize(editor->sizeHint().boundedTo(area.size().shrunkBy(platform::FrameMargins(editor))));
            platform::CentreOnOwner(editor, &parent);
        }
        editor->show();
        editor->raise();
        editor->activateWindow();
    });
    return action;
}

} // namespace editor
